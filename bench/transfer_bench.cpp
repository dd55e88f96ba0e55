// transfer_bench: times the page download and upload services against a plain WinInet loop
// with a 64 KiB buffer, on one file, and reports the process's peak working set.
//   transfer_bench.exe --download-url URL --upload-url URL --file PATH --out PATH [--runs N]
// The download URL must serve the bytes of --file; --out is overwritten and removed at the end.
// Output, one "name value" pair per line (seconds are medians over the runs):
//   ours_download_s, ours_upload_s, wininet_download_s, wininet_upload_s,
//   peak_ws_start_bytes (before any transfer), peak_ws_bytes (after our transfers, before the
//   baseline ran), ok (1 when every transfer succeeded and every download was complete).
// Exit codes: 0 all transfers succeeded; 1 one failed; 2 usage error.
#include <windows.h>
// psapi.h and wininet.h need the base types of windows.h.
#include <psapi.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/browser_script.h"
#include "framework/owner.h"
#include "framework/text.h"
#include "host/scripted_page_dialog.h"
#include "http/http_services.h"
#include "http/multipart_rules.h"
#include "http/url_rules.h"

namespace {

constexpr DWORD kBaselineBlockBytes = 64 * 1024;
constexpr wchar_t kBoundary[] = L"----MiravoltBenchBoundary7d93a1";
constexpr wchar_t kDisposition[] = L"name=\"file\"; filename=\"bench.bin\"";
constexpr wchar_t kUserAgent[] = L"transfer_bench";

struct Options {
  std::wstring download_url;
  std::wstring upload_url;
  std::wstring file;
  std::wstring out;
  int runs = 3;
};

bool ParseOptions(int argc, wchar_t** argv, Options* options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring name = argv[i];
    const std::wstring value = argv[i + 1];
    if (name == L"--download-url") {
      options->download_url = value;
    } else if (name == L"--upload-url") {
      options->upload_url = value;
    } else if (name == L"--file") {
      options->file = value;
    } else if (name == L"--out") {
      options->out = value;
    } else if (name == L"--runs") {
      options->runs = _wtoi(value.c_str());
    } else {
      return false;
    }
  }
  return argc % 2 == 1 && !options->download_url.empty() && !options->upload_url.empty() &&
         !options->file.empty() && !options->out.empty() && options->runs > 0;
}

ULONGLONG FileBytes(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return ~0ULL;
  return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

SIZE_T PeakWorkingSet() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters))) return 0;
  return counters.PeakWorkingSetSize;
}

// Runs transfer runs times; the median of the wall times in seconds. *ok turns false when any
// run failed.
double MedianSeconds(int runs, const std::function<bool()>& transfer, bool* ok) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  std::vector<double> seconds;
  for (int i = 0; i < runs; ++i) {
    LARGE_INTEGER start, stop;
    ::QueryPerformanceCounter(&start);
    const bool done = transfer();
    ::QueryPerformanceCounter(&stop);
    if (!done) *ok = false;
    seconds.push_back(static_cast<double>(stop.QuadPart - start.QuadPart) /
                      static_cast<double>(frequency.QuadPart));
  }
  std::sort(seconds.begin(), seconds.end());
  const size_t middle = seconds.size() / 2;
  return seconds.size() % 2 ? seconds[middle] : (seconds[middle - 1] + seconds[middle]) / 2;
}

// The baseline: the requests our services make (same verbs, flags and protocol version, the
// same multipart body), but copied through one 64 KiB buffer. Only the block size differs.
class WinInetLoop {
 public:
  bool Download(const std::wstring& url, const std::wstring& path) {
    fx::UniqueInternet session, connection, request;
    if (!Open(url, L"GET", INTERNET_FLAG_RELOAD, &session, &connection, &request)) return false;
    if (!::HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return false;
    if (Status(request.get()) != HTTP_STATUS_OK) return false;
    fx::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr /*template*/));
    if (!file) return false;
    for (;;) {
      DWORD read = 0;
      if (!::InternetReadFile(request.get(), block_.data(), kBaselineBlockBytes, &read)) {
        return false;
      }
      if (read == 0) return true;
      DWORD written = 0;
      if (!::WriteFile(file.get(), block_.data(), read, &written, nullptr) || written != read) {
        return false;
      }
    }
  }

  bool Upload(const std::wstring& url, const std::wstring& path) {
    fx::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr /*template*/));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size)) return false;
    const std::string head = http::PartHead(fx::AsU16(kBoundary), fx::AsU16(kDisposition));
    const std::string tail = http::PartTail(fx::AsU16(kBoundary));
    const std::wstring headers =
        fx::ToWide(http::UploadHeaderText(fx::AsU16(kBoundary), fx::AsU16(kUserAgent)));

    fx::UniqueInternet session, connection, request;
    if (!Open(url, L"POST", INTERNET_FLAG_EXISTING_CONNECT, &session, &connection, &request)) {
      return false;
    }
    if (!::HttpAddRequestHeadersW(request.get(), headers.c_str(),
                                  static_cast<DWORD>(headers.size()),
                                  HTTP_ADDREQ_FLAG_ADD_IF_NEW)) {
      return false;
    }
    INTERNET_BUFFERSW buffers = {};
    buffers.dwStructSize = sizeof(buffers);
    buffers.dwBufferTotal =
        static_cast<DWORD>(head.size() + static_cast<ULONGLONG>(size.QuadPart) + tail.size());
    if (!::HttpSendRequestExW(request.get(), &buffers, nullptr, HSR_INITIATE, 1 /*context*/)) {
      return false;
    }
    if (!Write(request.get(), head.data(), static_cast<DWORD>(head.size()))) return false;
    for (;;) {
      DWORD read = 0;
      if (!::ReadFile(file.get(), block_.data(), kBaselineBlockBytes, &read, nullptr)) {
        return false;
      }
      if (read == 0) break;
      if (!Write(request.get(), block_.data(), read)) return false;
    }
    if (!Write(request.get(), tail.data(), static_cast<DWORD>(tail.size()))) return false;
    if (!::HttpEndRequestW(request.get(), nullptr, 0 /*flags*/, 1 /*context*/)) return false;
    return Status(request.get()) == HTTP_STATUS_OK;
  }

 private:
  static bool Open(const std::wstring& url, const wchar_t* verb, DWORD flags,
                   fx::UniqueInternet* session, fx::UniqueInternet* connection,
                   fx::UniqueInternet* request) {
    const http::UrlParts parts = http::SplitUrl(fx::AsU16(url));
    session->reset(::InternetOpenW(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr /*proxy*/,
                                   nullptr /*bypass*/, 0 /*flags*/));
    if (!*session) return false;
    connection->reset(::InternetConnectW(session->get(), fx::ToWide(parts.server).c_str(),
                                         parts.port, nullptr /*user*/, nullptr /*password*/,
                                         INTERNET_SERVICE_HTTP, 0 /*flags*/, 1 /*context*/));
    if (!*connection) return false;
    request->reset(::HttpOpenRequestW(connection->get(), verb, fx::ToWide(parts.object).c_str(),
                                      L"HTTP/1.0", nullptr /*referrer*/, nullptr /*accept*/, flags,
                                      1 /*context*/));
    return static_cast<bool>(*request);
  }

  static bool Write(HINTERNET request, const void* data, DWORD bytes) {
    DWORD written = 0;
    return ::InternetWriteFile(request, data, bytes, &written) && written == bytes;
  }

  static DWORD Status(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                          nullptr /*index*/)) {
      return 0;
    }
    return status;
  }

  std::vector<char> block_ = std::vector<char>(kBaselineBlockBytes);
};

void PrintValue(const char* name, double value) {
  std::printf("%s %.6f\n", name, value);
  std::fflush(stdout);
}

}  // namespace

namespace fx {
// The window is never created, so its browser never runs; the lightest one will do.
std::unique_ptr<Browser> NewBrowser() { return std::make_unique<ScriptBrowser>(); }
}  // namespace fx

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: transfer_bench --download-url URL --upload-url URL --file PATH "
                 "--out PATH [--runs N]\n");
    return 2;
  }
  const ULONGLONG file_bytes = FileBytes(options.file);
  if (file_bytes == ~0ULL) {
    std::fprintf(stderr, "transfer_bench: cannot read the size of --file\n");
    return 2;
  }
  // A download only counts when the whole file arrived.
  auto complete = [&](bool done) { return done && FileBytes(options.out) == file_bytes; };

  CBaseDHtmlPgDlg window(L"bench.html", L".container", nullptr /*parent*/);
  bool ok = true;
  std::printf("peak_ws_start_bytes %llu\n", static_cast<unsigned long long>(PeakWorkingSet()));

  // Warm-up, untimed: loads the internet and socket libraries and opens the first connection.
  ok &= complete(services::DownLoadFile(window, options.download_url, options.out));

  PrintValue("ours_download_s", MedianSeconds(
                                    options.runs,
                                    [&] {
                                      return complete(services::DownLoadFile(
                                          window, options.download_url, options.out));
                                    },
                                    &ok));
  PrintValue("ours_upload_s", MedianSeconds(
                                  options.runs,
                                  [&] {
                                    return services::UploadFile(window, options.upload_url,
                                                                options.file, kUserAgent, kBoundary,
                                                                kDisposition);
                                  },
                                  &ok));
  // The baseline has not run yet: the peak so far belongs to our transfers and start-up.
  std::printf("peak_ws_bytes %llu\n", static_cast<unsigned long long>(PeakWorkingSet()));

  WinInetLoop baseline;
  PrintValue(
      "wininet_download_s",
      MedianSeconds(
          options.runs,
          [&] { return complete(baseline.Download(options.download_url, options.out)); }, &ok));
  PrintValue(
      "wininet_upload_s",
      MedianSeconds(
          options.runs, [&] { return baseline.Upload(options.upload_url, options.file); }, &ok));

  ::DeleteFileW(options.out.c_str());
  std::printf("ok %d\n", ok ? 1 : 0);
  return ok ? 0 : 1;
}
