// Window services on real windows: title, visibility, finding by title, and messages sent or
// posted through the 32-bit handles that pages hold.
#include "services/window_services.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

#include "framework/owner.h"
#include "host/scripted_page_dialog.h"
#include "services/window_handle.h"

namespace {

fx::UniqueBstr Bstr(const std::wstring& s) {
  return fx::UniqueBstr(::SysAllocStringLen(s.data(), static_cast<UINT>(s.size())));
}

// Sends what the process writes to its standard output into a file until Text() is called.
class StdoutCapture {
 public:
  StdoutCapture() {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    ::GetTempFileNameW(dir, L"out", 0, path_);
    std::fflush(stdout);
    saved_ = _dup(1);
    const int file = _wopen(path_, _O_WRONLY | _O_TRUNC | _O_BINARY);
    _dup2(file, 1);
    _close(file);
  }
  StdoutCapture(const StdoutCapture&) = delete;
  StdoutCapture& operator=(const StdoutCapture&) = delete;
  ~StdoutCapture() {
    Restore();
    ::DeleteFileW(path_);
  }

  // What was written, with the runtime's line-end translation undone.
  std::string Text() {
    Restore();
    std::ifstream in(path_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    std::string lines;
    for (char c : s) {
      if (c != '\r') lines += c;
    }
    return lines;
  }

 private:
  void Restore() {
    if (saved_ < 0) return;
    std::fflush(stdout);
    _dup2(saved_, 1);
    _close(saved_);
    saved_ = -1;
  }

  wchar_t path_[MAX_PATH] = {};
  int saved_ = -1;
};

class WindowServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window_.Create(nullptr));
    ::SetWindowTextW(window_.hwnd(), kTitle);
  }

  static constexpr const wchar_t* kTitle = L"Window Services 窗口 Probe";
  CBaseDHtmlPgDlg window_{L"x.html", L".container", nullptr};
};

TEST_F(WindowServicesTest, TitleAndVisibilityOfTheCallingWindow) {
  EXPECT_EQ(services::GetCurrWindowText(window_), kTitle);
  ::SetWindowTextW(window_.hwnd(), L"");
  EXPECT_EQ(services::GetCurrWindowText(window_), L"");

  ::ShowWindow(window_.hwnd(), SW_HIDE);
  EXPECT_FALSE(services::IsWindowVisible(window_));
  ::ShowWindow(window_.hwnd(), SW_SHOWNA);
  EXPECT_TRUE(services::IsWindowVisible(window_));
}

TEST_F(WindowServicesTest, FindWindowByNameMatchesTheWholeTitleInAnyLetterCase) {
  const int own = services::HandleToScript(window_.hwnd());
  const struct {
    const wchar_t* title;
    int expected;
  } cases[] = {
      {kTitle, own},
      {L"WINDOW SERVICES 窗口 PROBE", own},
      {L"window services 窗口 probe", own},
      {L"Window Services", 0},
      {L"Window Services 窗口 Probe and more", 0},
  };
  for (const auto& c : cases) {
    const fx::UniqueBstr title = Bstr(c.title);
    EXPECT_EQ(services::FindWindowByName(window_, title.get()), c.expected)
        << testing::PrintToString(std::wstring(c.title));
  }
  // A null title is the empty title, not a wildcard for any window.
  const fx::UniqueBstr empty = Bstr(L"");
  EXPECT_EQ(services::FindWindowByName(window_, nullptr),
            services::FindWindowByName(window_, empty.get()));
}

TEST_F(WindowServicesTest, SendMessageWritesItsLineAndReturnsTheResult) {
  const fx::UniqueBstr title = Bstr(kTitle);
  const int found = services::FindWindowByName(window_, title.get());
  ASSERT_NE(found, 0);

  // A window that no longer exists.
  int gone = 0;
  {
    CBaseDHtmlPgDlg other(L"y.html", L".container", nullptr);
    ASSERT_TRUE(other.Create(nullptr));
    gone = services::HandleToScript(other.hwnd());
  }
  ASSERT_FALSE(::IsWindow(services::HandleFromScript(gone)));

  StdoutCapture capture;
  // The handle a page got from FindWindowByName reaches the window.
  const int length = services::SendMessage(window_, found, WM_GETTEXTLENGTH, 0, 0);
  const int to_nobody = services::SendMessage(window_, gone, WM_NULL, -7, 3);
  const int to_null = services::SendMessage(window_, 0, 0x465, 1000, 0);
  const std::string out = capture.Text();

  EXPECT_EQ(length, static_cast<int>(std::wstring(kTitle).size()));
  EXPECT_EQ(to_nobody, 0);
  EXPECT_EQ(to_null, 0);
  EXPECT_EQ(out, "14 - >0\n0 - >-7\n1125 - >1000\n");
}

TEST_F(WindowServicesTest, PostMessageDeliversQuietly) {
  const int own = services::HandleToScript(window_.hwnd());
  StdoutCapture capture;
  const int posted = services::PostMessage(window_, own, WM_APP + 7, 5, -3);
  const int not_posted = services::PostMessage(window_, 0x7ffffff0, WM_APP + 7, 5, -3);
  EXPECT_EQ(capture.Text(), "");

  EXPECT_EQ(posted, 1);
  EXPECT_EQ(not_posted, 0);
  MSG msg{};
  ASSERT_TRUE(::PeekMessageW(&msg, window_.hwnd(), WM_APP + 7, WM_APP + 7, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 5u);
  EXPECT_EQ(msg.lParam, -3);
}

}  // namespace
