// report_bench: times the StartReport service while its requests hang. A loopback server in this
// program accepts every connection and never answers, so each event leaves its two workers
// blocked in their requests; batches of events then show whether the call time grows with the
// number of requests in progress. The call must only format two URLs and start two threads.
//   report_bench.exe [--batches 1,10,100,500] [--paced] [--settle-ms N] [--drain-ms N]
// Output, one record per line: "first_call_us US" (the call that opens the shared session), then
// per batch "batch events in_progress_before median_us max_us ratio_median ratio_max
// thread_pair_us in_progress_after held" (ratios against the first batch of the same run;
// thread_pair_us: the median time to start two empty threads right before the batch, the
// platform's share of a call), then "drained 0|1 still_in_progress" and "ok 0|1".
// Exit codes: 0 every batch settled and every worker ended; 1 otherwise; 2 usage error.
#include <winsock2.h>
// winsock2.h must come before windows.h.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fixtures/loopback_socket.h"
#include "framework/browser_script.h"
#include "framework/thread.h"
#include "host/scripted_page_dialog.h"
#include "report/report_services.h"
#include "report/report_settings.h"

namespace {

// Thread pairs timed before each batch, for the platform's share of a call.
constexpr int kThreadPairs = 20;

struct Options {
  std::vector<int> batches = {1, 10, 100, 500};
  // How long each batch may take until all its workers are in progress and connected.
  DWORD settle_ms = 60000;
  // How long the workers may take to end once the server has closed their connections.
  DWORD drain_ms = 60000;
  // Each call waits (untimed) for the previous event's workers to connect, so that the calls
  // differ only in the number of requests hanging, not in how many workers are still starting.
  bool paced = false;
};

bool ParseBatches(const std::wstring& text, std::vector<int>* batches) {
  batches->clear();
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(L',', start), text.size());
    const std::wstring part = text.substr(start, comma - start);
    if (part.empty() || part.size() > 5 || part.find_first_not_of(L"0123456789") != part.npos) {
      return false;
    }
    const int events = std::stoi(part);
    if (events < 1) return false;
    batches->push_back(events);
    start = comma + 1;
  }
  return !batches->empty();
}

bool ParseMs(const std::wstring& text, DWORD* ms) {
  if (text.empty() || text.size() > 7 || text.find_first_not_of(L"0123456789") != text.npos) {
    return false;
  }
  *ms = static_cast<DWORD>(std::stoul(text));
  return true;
}

bool ParseOptions(int argc, wchar_t** argv, Options* options) {
  for (int i = 1; i < argc; i += 2) {
    const std::wstring name = argv[i];
    if (name == L"--paced") {
      options->paced = true;
      --i;
      continue;
    }
    if (i + 1 >= argc) return false;
    const std::wstring value = argv[i + 1];
    bool good = false;
    if (name == L"--batches") {
      good = ParseBatches(value, &options->batches);
    } else if (name == L"--settle-ms") {
      good = ParseMs(value, &options->settle_ms);
    } else if (name == L"--drain-ms") {
      good = ParseMs(value, &options->drain_ms);
    }
    if (!good) return false;
  }
  return true;
}

// A server on 127.0.0.1 with an ephemeral port that accepts connections and never answers nor
// reads. It holds what it accepted until ReleaseHeld or Stop closes it, which makes the waiting
// requests fail. It stops accepting after max_connections or lifetime_ms, and Stop (or the
// destructor) ends its thread and closes every socket.
class SilentServer {
 public:
  SilentServer(int max_connections, ULONGLONG lifetime_ms)
      : max_connections_(max_connections), lifetime_ms_(lifetime_ms) {
    listener_ = fixtures::ListenOnLoopback(SOMAXCONN, &port_);
    if (listener_ == INVALID_SOCKET) return;
    thread_ = std::thread([this] { Serve(); });
  }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;
  ~SilentServer() { Stop(); }

  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    ReleaseHeld();
    if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
    listener_ = INVALID_SOCKET;
  }

  // Closes the connections held so far; the server goes on accepting new ones.
  void ReleaseHeld() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (SOCKET client : held_) ::closesocket(client);
    held_.clear();
  }

  unsigned short port() const { return port_; }
  int accepted() const { return accepted_; }
  int held() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(held_.size());
  }

 private:
  void Serve() {
    const ULONGLONG deadline = ::GetTickCount64() + lifetime_ms_;
    while (!stop_ && accepted_ < max_connections_ && ::GetTickCount64() < deadline) {
      fd_set set;
      FD_ZERO(&set);
      FD_SET(listener_, &set);
      timeval tv{0, 50 * 1000};
      if (::select(0, &set, nullptr, nullptr, &tv) != 1) continue;
      const SOCKET client = ::accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) continue;
      std::lock_guard<std::mutex> lock(mutex_);
      held_.push_back(client);
      ++accepted_;
    }
  }

  const int max_connections_;
  const ULONGLONG lifetime_ms_;
  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> accepted_{0};
  std::mutex mutex_;
  std::vector<SOCKET> held_;
  std::thread thread_;
};

// Winsock for the server; WinInet starts its own use independently.
class WinsockUse {
 public:
  WinsockUse() {
    WSADATA data;
    ok_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  WinsockUse(const WinsockUse&) = delete;
  WinsockUse& operator=(const WinsockUse&) = delete;
  ~WinsockUse() {
    if (ok_) ::WSACleanup();
  }
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

// Whether condition held within timeout_ms, looking every 10 ms.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeout_ms) {
  const ULONGLONG deadline = ::GetTickCount64() + timeout_ms;
  while (!condition()) {
    if (::GetTickCount64() >= deadline) return false;
    ::Sleep(10);
  }
  return true;
}

class Stopwatch {
 public:
  Stopwatch() { ::QueryPerformanceFrequency(&frequency_); }
  LARGE_INTEGER Now() const {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now;
  }
  double Microseconds(LARGE_INTEGER start, LARGE_INTEGER stop) const {
    return static_cast<double>(stop.QuadPart - start.QuadPart) * 1e6 /
           static_cast<double>(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_;
};

// A ratio against the baseline; 0 when the baseline is too short to measure.
double Ratio(double value, double baseline) { return baseline > 0 ? value / baseline : 0; }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The platform's share of a call: starting two threads whose bodies do nothing, as many times
// as pairs, each pair waited for (untimed) before the next. The per-pair times in microseconds.
std::vector<double> TimeThreadPairs(const Stopwatch& clock, int pairs) {
  std::vector<double> times;
  for (int i = 0; i < pairs; ++i) {
    const LARGE_INTEGER start = clock.Now();
    fx::UniqueHandle first = fx::StartThread([] {});
    fx::UniqueHandle second = fx::StartThread([] {});
    times.push_back(clock.Microseconds(start, clock.Now()));
    for (const fx::UniqueHandle* thread : {&first, &second}) {
      if (*thread) ::WaitForSingleObject(thread->get(), 5000);
    }
  }
  return times;
}

struct BatchResult {
  int events = 0;
  int in_progress_before = 0;
  double median_us = 0;
  double max_us = 0;
  double pair_median_us = 0;  // two empty threads started with the same requests hanging
  int in_progress_after = 0;
  int held = 0;
  bool settled = false;
};

}  // namespace

namespace fx {
// The window is never created, so its browser never runs; the lightest one will do.
std::unique_ptr<Browser> NewBrowser() { return std::make_unique<ScriptBrowser>(); }
}  // namespace fx

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: report_bench [--batches 1,10,100,500] [--paced] [--settle-ms N] "
                 "[--drain-ms N]\n");
    return 2;
  }
  WinsockUse winsock;
  int total_events = 1;  // the warm-up event
  for (int events : options.batches) total_events += events;
  // Room for every request of the run, and a lifetime that outlasts every bounded wait.
  const ULONGLONG lifetime_ms =
      static_cast<ULONGLONG>(options.settle_ms) * (options.batches.size() + 1) + options.drain_ms +
      60000;
  SilentServer server(2 * total_events + 16, lifetime_ms);
  if (!winsock.ok() || server.port() == 0) {
    std::fprintf(stderr, "report_bench: the loopback server did not start\n");
    return 1;
  }

  // The page's services act on the process's record; both endpoints point at the server.
  report::ReportSettings& settings = report::TheReportSettings();
  const std::wstring base = L"http://127.0.0.1:" + std::to_wstring(server.port());
  settings.m_strReportUrl = base + L"/report";
  settings.m_strAnalyticsUrl = base;
  const report::ReportChannel& channel = *settings.m_pChannel;
  CBaseDHtmlPgDlg window(L"bench.html", L".container", nullptr /*parent*/);
  Stopwatch clock;
  bool ok = true;

  // Warm-up, timed on its own: opens the shared session and starts the first threads. Its
  // requests are then released so that the first batch starts with none in progress.
  const LARGE_INTEGER first_start = clock.Now();
  services::StartReport(window, L"warmup", L"0");
  const double first_call_us = clock.Microseconds(first_start, clock.Now());
  if (!WaitFor([&] { return server.accepted() >= 2; }, options.settle_ms)) ok = false;
  server.ReleaseHeld();
  if (!WaitFor([&] { return channel.active == 0; }, options.drain_ms)) ok = false;
  const int released = server.accepted();

  std::vector<BatchResult> results;
  int started_events = 0;
  for (int events : options.batches) {
    BatchResult result;
    result.events = events;
    result.in_progress_before = channel.active;
    result.pair_median_us = Median(TimeThreadPairs(clock, kThreadPairs));
    std::vector<double> calls;
    calls.reserve(events);
    // Every worker of the events so far counted and connected: all of them hanging.
    auto all_hanging = [&] {
      const int expected = 2 * started_events;
      return WaitFor(
          [&] { return channel.active == expected && server.accepted() - released >= expected; },
          options.settle_ms);
    };
    result.settled = true;
    for (int i = 0; i < events; ++i) {
      const std::wstring label = std::to_wstring(results.size()) + L"-" + std::to_wstring(i);
      const LARGE_INTEGER start = clock.Now();
      services::StartReport(window, L"bench", label);
      calls.push_back(clock.Microseconds(start, clock.Now()));
      ++started_events;
      // After a wait that timed out, the rest of the batch runs unpaced: the run stays bounded.
      if (options.paced && result.settled) result.settled = all_hanging();
    }
    result.median_us = Median(calls);
    result.max_us = *std::max_element(calls.begin(), calls.end());
    // The next batch runs with all of these hanging.
    if (result.settled) result.settled = all_hanging();
    ok &= result.settled;
    result.in_progress_after = channel.active;
    result.held = server.held();
    results.push_back(result);
  }

  // Closing the held connections makes every waiting request fail, which ends its worker.
  server.Stop();
  const bool drained = WaitFor([&] { return channel.active == 0; }, options.drain_ms);
  ok &= drained;

  const BatchResult& baseline = results.front();
  std::printf("first_call_us %.1f\n", first_call_us);
  for (const BatchResult& r : results) {
    std::printf("batch %d %d %.1f %.1f %.2f %.2f %.1f %d %d%s\n", r.events, r.in_progress_before,
                r.median_us, r.max_us, Ratio(r.median_us, baseline.median_us),
                Ratio(r.max_us, baseline.max_us), r.pair_median_us, r.in_progress_after, r.held,
                r.settled ? "" : " unsettled");
  }
  std::printf("drained %d %d\n", drained ? 1 : 0, static_cast<int>(channel.active));
  std::printf("ok %d\n", ok ? 1 : 0);
  std::fflush(stdout);
  return ok ? 0 : 1;
}
