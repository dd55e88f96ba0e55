// The updater's download worker against a loopback server: what lands in the target file, the
// reports and their order, and the worker's behaviour once its dialog's window is gone.
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "fixtures/file_bytes.h"
#include "fixtures/loopback_http_server.h"
#include "fixtures/message_pump.h"
#include "updater/download_worker.h"

namespace {

using updater::kReportFailed;
using updater::kReportProgress;

constexpr DWORD kReportTimeoutMs = 20000;

struct Report {
  WPARAM kind;
  LPARAM value;
  bool sent;  // delivered synchronously (SendMessage) rather than posted
};

// A message-only window standing in for the dialog: records every update notification.
class ReportWindow {
 public:
  ReportWindow() {
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = &Proc;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"UpdateReportWindow";
    ::RegisterClassW(&window_class);
    hwnd_ = ::CreateWindowExW(0, window_class.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, window_class.hInstance, nullptr);
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ReportWindow(const ReportWindow&) = delete;
  ReportWindow& operator=(const ReportWindow&) = delete;
  ~ReportWindow() { Destroy(); }

  HWND hwnd() const { return hwnd_; }
  const std::vector<Report>& reports() const { return reports_; }
  void Destroy() {
    if (hwnd_) ::DestroyWindow(std::exchange(hwnd_, nullptr));
  }

  // Runs the message loop until a done or failed report has arrived or the time is up.
  bool PumpUntilEnd(DWORD timeout_ms = kReportTimeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeout_ms;
    while (!HasEnded()) {
      if (::GetTickCount64() >= deadline) return false;
      fixtures::PumpMessagesFor(50);
    }
    return true;
  }
  bool HasEnded() const {
    for (const Report& r : reports_) {
      if (r.kind != kReportProgress) return true;
    }
    return false;
  }
  std::vector<LPARAM> Progress() const {
    std::vector<LPARAM> values;
    for (const Report& r : reports_) {
      if (r.kind == kReportProgress) values.push_back(r.value);
    }
    return values;
  }
  std::vector<WPARAM> Endings() const {
    std::vector<WPARAM> kinds;
    for (const Report& r : reports_) {
      if (r.kind != kReportProgress) kinds.push_back(r.kind);
    }
    return kinds;
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<ReportWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == updater::WM_UPDATE_NOTIFY) {
      const bool sent = (::InSendMessageEx(nullptr) & ISMEX_SEND) != 0;
      self->reports_.push_back({wparam, lparam, sent});
      return 0;
    }
    return ::DefWindowProcW(hwnd, message, wparam, lparam);
  }

  HWND hwnd_ = nullptr;
  std::vector<Report> reports_;
};

std::wstring TempFile(const wchar_t* name) {
  return fixtures::TempFolder() + L"update_worker_" + name;
}

std::string Pattern(std::size_t size) {
  std::string s(size, '\0');
  for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>('a' + i * 7 % 26);
  return s;
}

// A server handler answering every request with status 200 and body, holding all but its
// first hold_after bytes until the server's Release().
fixtures::LoopbackHttpServer::Handler AnswerWith(std::string body,
                                                 std::size_t hold_after = std::string::npos) {
  return [body = std::move(body), hold_after](const fixtures::HttpRequestSeen&) {
    fixtures::HttpResponse response;
    response.body = body;
    response.hold_after = hold_after;
    return response;
  };
}

class DownloadWorkerTest : public ::testing::Test {
 protected:
  // Starts one download to target, reporting to window, with the dialog's stage at stage.
  void StartFor(const ReportWindow& window, const std::wstring& url, const std::wstring& target,
                std::int32_t stage = 2) {
    link_->stage = stage;
    updater::DownloadRequest request;
    request.window = window.hwnd();
    request.url = url;
    request.target = target;
    request.agent = L"update-test-agent";
    request.link = link_;
    ASSERT_TRUE(updater::StartDownloadWorker(std::move(request)));
  }
  void Start(const std::wstring& url, const std::wstring& target, std::int32_t stage = 2) {
    StartFor(window_, url, target, stage);
  }

  ReportWindow window_;
  std::shared_ptr<updater::DownloadLink> link_ = std::make_shared<updater::DownloadLink>();
};

TEST_F(DownloadWorkerTest, WritesTheBodyAndReportsProgressPerChunkThenDone) {
  const std::string body = Pattern(10000);
  fixtures::LoopbackHttpServer server(AnswerWith(body));
  const std::wstring target = TempFile(L"body.bin");
  Start(server.Url(L"/files/Update.ini?channel=beta"), target, 3);
  ASSERT_TRUE(window_.PumpUntilEnd());

  EXPECT_EQ(fixtures::ReadFileBytes(target), body);
  // The done report carries the stage and comes last, once; progress is sent, never posted.
  EXPECT_EQ(window_.Endings(), std::vector<WPARAM>{3});
  EXPECT_EQ(window_.reports().back().kind, 3u);
  EXPECT_FALSE(window_.reports().back().sent);
  const std::vector<LPARAM> progress = window_.Progress();
  ASSERT_GE(progress.size(), 3u);  // chunks of at most 4000 bytes
  for (std::size_t i = 0; i + 1 < progress.size(); ++i) EXPECT_LE(progress[i], progress[i + 1]);
  EXPECT_EQ(progress.back(), 100);
  for (const Report& r : window_.reports()) {
    if (r.kind == kReportProgress) {
      EXPECT_TRUE(r.sent);
    }
  }

  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].target, "/files/Update.ini?channel=beta");
  EXPECT_NE(requests[0].head.find("User-Agent: update-test-agent"), std::string::npos)
      << requests[0].head;
  EXPECT_EQ(requests[0].head.rfind("GET ", 0), 0u);
}

TEST_F(DownloadWorkerTest, StatusOtherThan200LeavesAnEmptyFileAndFails) {
  fixtures::LoopbackHttpServer server([](const fixtures::HttpRequestSeen&) {
    fixtures::HttpResponse response;
    response.status = 404;
    response.body = "not here";
    return response;
  });
  const std::wstring target = TempFile(L"missing.bin");
  fixtures::WriteFileBytes(target, "old content");
  Start(server.Url(L"/missing"), target);
  ASSERT_TRUE(window_.PumpUntilEnd());

  EXPECT_TRUE(fixtures::PathExists(target));
  EXPECT_EQ(fixtures::ReadFileBytes(target), "");
  EXPECT_EQ(window_.Endings(), std::vector<WPARAM>{kReportFailed});
  EXPECT_TRUE(window_.Progress().empty());
}

TEST_F(DownloadWorkerTest, AnEmptyBodyGivesAnEmptyFileAndDoneWithoutProgress) {
  fixtures::LoopbackHttpServer server(
      [](const fixtures::HttpRequestSeen&) { return fixtures::HttpResponse{}; });
  const std::wstring target = TempFile(L"empty.bin");
  fixtures::WriteFileBytes(target, "old content");
  Start(server.Url(L"/empty"), target);
  ASSERT_TRUE(window_.PumpUntilEnd());

  EXPECT_EQ(fixtures::ReadFileBytes(target), "");
  EXPECT_EQ(window_.Endings(), std::vector<WPARAM>{2});
  EXPECT_TRUE(window_.Progress().empty());
}

TEST_F(DownloadWorkerTest, ProgressFollowsTheDeclaredLengthWhateverTheBodyHolds) {
  const std::string body = Pattern(9000);
  const struct {
    const char* name;
    bool chunked;
    bool content_length;
    std::string extra_headers;
    LPARAM last;  // the last progress value
  } cases[] = {
      // A chunked body with a Content-Length header that declares less than it holds.
      {"longer than declared", true, false, "Content-Length: 3000\r\n", 300},
      // Without a declared length there is nothing to measure against: the bar stays at 0.
      {"no declared length", false, false, "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReportWindow window;
    fixtures::LoopbackHttpServer server([&](const fixtures::HttpRequestSeen&) {
      fixtures::HttpResponse response;
      response.body = body;
      response.chunked = c.chunked;
      response.content_length = c.content_length;
      response.extra_headers = c.extra_headers;
      return response;
    });
    const std::wstring target = TempFile(L"declared.bin");
    StartFor(window, server.Url(L"/body"), target);
    ASSERT_TRUE(window.PumpUntilEnd());
    EXPECT_EQ(fixtures::ReadFileBytes(target), body);
    EXPECT_EQ(window.Endings(), std::vector<WPARAM>{2});
    const std::vector<LPARAM> progress = window.Progress();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), c.last);
  }
}

TEST_F(DownloadWorkerTest, OnlyThePortChoosesTls) {
  // An https URL on a port other than 443 is requested in the clear.
  fixtures::LoopbackHttpServer server(AnswerWith("plain"));
  const std::wstring target = TempFile(L"plain.bin");
  Start(server.Url(L"/plain", L"https"), target);
  ASSERT_TRUE(window_.PumpUntilEnd());
  EXPECT_EQ(window_.Endings(), std::vector<WPARAM>{2});
  EXPECT_EQ(fixtures::ReadFileBytes(target), "plain");
}

TEST_F(DownloadWorkerTest, EveryErrorEndsInExactlyOneFailedReport) {
  const std::wstring no_folder = TempFile(L"no_such_folder\\x.bin");
  const std::wstring target = TempFile(L"unreachable.bin");
  ::DeleteFileW(target.c_str());
  fixtures::LoopbackHttpServer server(AnswerWith("body"));
  const struct {
    const char* name;
    std::wstring url;
    std::wstring target;
  } cases[] = {
      {"nothing listens",
       L"http://127.0.0.1:" + std::to_wstring(fixtures::LoopbackHttpServer::UnusedPort()) + L"/x",
       target},
      {"unreadable URL", L"not a url", target},
      {"empty URL", L"", target},
      {"target cannot be created", server.Url(L"/x"), no_folder},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReportWindow window;
    StartFor(window, c.url, c.target);
    ASSERT_TRUE(window.PumpUntilEnd());
    fixtures::PumpMessagesFor(200);  // a second report would arrive with the first
    EXPECT_EQ(window.Endings(), std::vector<WPARAM>{kReportFailed});
    EXPECT_TRUE(window.Progress().empty());
  }
  // Nothing is created when no response arrived.
  EXPECT_FALSE(fixtures::PathExists(target));
}

TEST_F(DownloadWorkerTest, TheDoneReportCarriesTheStageReadWhenTheDownloadEnds) {
  const std::string body = Pattern(6000);
  fixtures::LoopbackHttpServer server(AnswerWith(body, 100));
  const std::wstring target = TempFile(L"stage.bin");
  Start(server.Url(L"/held"), target, 2);
  ASSERT_TRUE(server.WaitForRequests(1, kReportTimeoutMs));
  link_->stage = 3;
  server.Release();
  ASSERT_TRUE(window_.PumpUntilEnd());
  EXPECT_EQ(window_.Endings(), std::vector<WPARAM>{3});
  EXPECT_EQ(fixtures::ReadFileBytes(target), body);
}

TEST_F(DownloadWorkerTest, AWorkerReportsNothingOnceTheWindowIsGone) {
  const std::string body = Pattern(20000);
  fixtures::LoopbackHttpServer server(AnswerWith(body, 100));
  const std::wstring target = TempFile(L"abandoned.bin");
  Start(server.Url(L"/held"), target);
  ASSERT_TRUE(server.WaitForRequests(1, kReportTimeoutMs));
  // As the dialog does when its window is destroyed.
  link_->window_gone = true;
  window_.Destroy();
  server.Release();
  // The worker stops at its next chunk and closes its connection.
  ASSERT_TRUE(server.WaitForFinishedConnections(1, kReportTimeoutMs));
  fixtures::PumpMessagesFor(200);
  EXPECT_TRUE(window_.reports().empty());
  EXPECT_LT(fixtures::ReadFileBytes(target).size(), body.size());
}

}  // namespace
