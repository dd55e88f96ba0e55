// The hosted WebBrowser control as far as Wine takes it: Wine creates, sites, activates and
// navigates the control, but without an HTML engine no document ever arrives. Everything that
// needs a document is checked for its "no document" answer only.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "framework/browser_webbrowser.h"
#include "framework/dispatcher.h"
#include "framework/owner.h"

namespace {

class RecordingHost final : public fx::BrowserHost {
 public:
  IDispatch* GetExternal() override { return nullptr; }
  HRESULT ShowContextMenu(DWORD, const POINT&) override { return S_OK; }
  HRESULT TranslateAccelerator(const MSG&) override { return S_FALSE; }
  void OnDocumentComplete(IDispatch*, const std::wstring& url) override {
    completions.push_back(url);
  }
  std::vector<std::wstring> completions;
};

// A plain top-level window to host the control in, destroyed with the fixture.
class TestWindow {
 public:
  TestWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    ::RegisterClassW(&wc);  // fails harmlessly when a previous test registered it
    hwnd_ = ::CreateWindowExW(0, kClass, L"browser host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                              0, 400, 300, nullptr, nullptr, wc.hInstance, nullptr);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  ~TestWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);
  }
  HWND hwnd() const { return hwnd_; }

 private:
  static constexpr const wchar_t* kClass = L"MiravoltWebBrowserTest";
  HWND hwnd_ = nullptr;
};

int ChildCount(HWND parent) {
  int count = 0;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    ++count;
  return count;
}

// The child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND parent) {
  RECT r{};
  HWND child = ::GetWindow(parent, GW_CHILD);
  if (!child) return r;
  ::GetWindowRect(child, &r);
  ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Lets the control run what it posted to itself; bounded in rounds.
void PumpMessages() {
  for (int round = 0; round < 20; ++round) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10 /*ms*/, QS_ALLINPUT);
    MSG msg;
    for (int i = 0; i < 1000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

// What a browser without a document answers.
void ExpectNoDocument(fx::Browser& browser, IDispatch* frame) {
  EXPECT_EQ(S_FALSE, browser.ExecScript(L"window.x = 1;"));
  EXPECT_EQ(L"", browser.Title());
  EXPECT_TRUE(browser.Elements(frame).empty());
}

// Any automation object that is not a browser.
class NotABrowser final : public fx::DispatchTarget {
 public:
  const fx::DispatchTable* GetDispatchTable() const override { return &kTable; }
  IDispatch* dispatch() { return &dispatcher_; }

 private:
  static constexpr fx::DispatchTable kTable{nullptr, nullptr, 0};
  fx::Dispatcher dispatcher_{*this};
};

// A small page in the temporary directory, removed with the object.
class PageFile {
 public:
  PageFile() {
    wchar_t dir[MAX_PATH];
    const DWORD n = ::GetTempPathW(MAX_PATH, dir);
    path_ = std::wstring(dir, n) + L"miravolt_webbrowser_test.html";
    fx::UniqueFile file(::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    const char kPage[] =
        "<html><head><title>T</title></head><body><div class=\"container\">x</div></body>"
        "</html>";
    DWORD written = 0;
    ::WriteFile(file.get(), kPage, sizeof(kPage) - 1, &written, nullptr);
  }
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;
  ~PageFile() { ::DeleteFileW(path_.c_str()); }
  std::wstring url() const { return L"file:///" + path_; }

 private:
  std::wstring path_;
};

TEST(WebBrowser, AnswersSafelyBeforeCreateAndAfterDestroy) {
  auto browser = fx::NewWebBrowser();
  EXPECT_TRUE(FAILED(browser->Navigate(L"about:blank")));
  EXPECT_EQ(L"", browser->LocationUrl());
  ExpectNoDocument(*browser, nullptr);
  browser->Resize(RECT{0, 0, 10, 10});
  browser->Destroy();
  browser->Destroy();
  EXPECT_TRUE(FAILED(browser->Navigate(L"about:blank")));
}

TEST(WebBrowser, CreateWithoutALiveWindowFailsAndLeavesNothing) {
  RecordingHost host;
  HWND gone;
  {
    TestWindow window;
    gone = window.hwnd();
  }
  for (HWND parent : {HWND(nullptr), gone}) {
    auto browser = fx::NewWebBrowser();
    EXPECT_TRUE(FAILED(browser->Create(parent, &host)));
    EXPECT_TRUE(FAILED(browser->Navigate(L"about:blank")));
    browser->Destroy();
  }
}

TEST(WebBrowser, HostsTheControlInPlaceOverTheClientArea) {
  TestWindow window;
  ASSERT_TRUE(window.hwnd());
  RecordingHost host;
  auto browser = fx::NewWebBrowser();
  ASSERT_EQ(S_OK, browser->Create(window.hwnd(), &host));

  // In-place activation put the control's window over the whole client area.
  ASSERT_EQ(1, ChildCount(window.hwnd()));
  RECT client{};
  ::GetClientRect(window.hwnd(), &client);
  RECT placed = ChildRect(window.hwnd());
  EXPECT_TRUE(::EqualRect(&client, &placed));

  const RECT smaller{0, 0, 120, 80};
  browser->Resize(smaller);
  placed = ChildRect(window.hwnd());
  EXPECT_TRUE(::EqualRect(&smaller, &placed));

  // A second Create is refused and leaves the first control in place.
  EXPECT_TRUE(FAILED(browser->Create(window.hwnd(), &host)));
  EXPECT_EQ(1, ChildCount(window.hwnd()));

  browser->Destroy();
  PumpMessages();
  EXPECT_EQ(0, ChildCount(window.hwnd()));
  browser->Destroy();
  ExpectNoDocument(*browser, nullptr);
}

TEST(WebBrowser, NavigatesWhileNoDocumentArrives) {
  TestWindow window;
  ASSERT_TRUE(window.hwnd());
  RecordingHost host;
  const PageFile page;
  NotABrowser not_a_browser;
  auto browser = fx::NewWebBrowser();
  ASSERT_EQ(S_OK, browser->Create(window.hwnd(), &host));
  ExpectNoDocument(*browser, nullptr);

  EXPECT_EQ(L"", browser->LocationUrl());
  EXPECT_EQ(S_OK, browser->Navigate(page.url()));
  PumpMessages();
  // The control writes the location in its own form; it names the page.
  EXPECT_NE(std::wstring::npos, browser->LocationUrl().find(L"miravolt_webbrowser_test.html"));
  ExpectNoDocument(*browser, nullptr);
  EXPECT_TRUE(browser->Elements(not_a_browser.dispatch()).empty());

  browser->Destroy();
  browser->Destroy();
  // Whatever the control still has queued finds nobody to report to.
  PumpMessages();
}

// DocumentComplete(pDisp, URL) arrives with its arguments last first, the URL usually as a
// reference to a VARIANT holding the string.
TEST(WebBrowser, ReadsDocumentCompletionArguments) {
  NotABrowser frame_object;
  IDispatch* frame = frame_object.dispatch();
  const fx::UniqueBstr url(::SysAllocString(L"file:///C:\\P\\res/index.html"));
  BSTR url_value = url.get();

  VARIANT url_string{};
  url_string.vt = VT_BSTR;
  url_string.bstrVal = url.get();
  VARIANT url_by_ref{};
  url_by_ref.vt = VT_BYREF | VT_VARIANT;
  url_by_ref.pvarVal = &url_string;
  VARIANT bstr_by_ref{};
  bstr_by_ref.vt = VT_BYREF | VT_BSTR;
  bstr_by_ref.pbstrVal = &url_value;
  VARIANT null_url{};
  null_url.vt = VT_BSTR;
  VARIANT frame_value{};
  frame_value.vt = VT_DISPATCH;
  frame_value.pdispVal = frame;
  VARIANT frame_by_ref{};
  frame_by_ref.vt = VT_BYREF | VT_DISPATCH;
  frame_by_ref.ppdispVal = &frame;
  VARIANT number{};
  number.vt = VT_I4;
  number.lVal = 259;
  VARIANT null_ref{};
  null_ref.vt = VT_BYREF | VT_VARIANT;

  struct Case {
    const char* name;
    std::vector<VARIANT> args;  // rgvarg order: last argument first
    bool read;
    const wchar_t* url;
  };
  const Case cases[] = {
      {"url by reference", {url_by_ref, frame_value}, true, url.get()},
      {"both plain", {url_string, frame_value}, true, url.get()},
      {"both by reference", {bstr_by_ref, frame_by_ref}, true, url.get()},
      {"null url string", {null_url, frame_value}, true, L""},
      {"arguments swapped", {frame_value, url_by_ref}, false, L""},
      {"url not a string", {number, frame_value}, false, L""},
      {"null reference", {null_ref, frame_value}, false, L""},
      {"one argument", {frame_value}, false, L""},
      {"none", {}, false, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<VARIANT> args = c.args;
    DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()),
                      0};
    const auto completion = fx::ReadDocumentCompletion(params);
    ASSERT_EQ(c.read, completion.has_value());
    if (!completion) continue;
    EXPECT_EQ(frame, completion->frame);
    EXPECT_EQ(c.url, completion->url);
  }
}

}  // namespace
