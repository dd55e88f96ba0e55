// Page windows on real windows under Wine, with test documents: creation, document set-up,
// the window methods and the scripted dialog's native-to-page channel.
#include <gtest/gtest.h>
#include <string>

#include "fixtures/message_box_watcher.h"
#include "fixtures/message_pump.h"
#include "fixtures/test_browser.h"
#include "framework/application.h"
#include "host/page_rules.h"
#include "host/process_objects.h"
#include "host/scripted_page_dialog.h"

namespace {

using fixtures::TestBrowser;
using fixtures::TestElement;

BYTE AlphaOf(HWND hwnd) {
  BYTE alpha = 0;
  DWORD flags = 0;
  ::GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags);
  return alpha;
}

// Pumps messages until the window is opaque or five seconds have passed.
BYTE AlphaOnceOpaque(HWND hwnd) {
  for (int i = 0; i < 100 && AlphaOf(hwnd) != 255; ++i) fixtures::PumpMessagesFor(50);
  return AlphaOf(hwnd);
}

SIZE SizeOf(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

RECT RegionBox(HWND hwnd) {
  RECT box{};
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  if (::GetWindowRgn(hwnd, region) != ERROR) ::GetRgnBox(region, &box);
  ::DeleteObject(region);
  return box;
}

std::shared_ptr<TestElement> Element(const wchar_t* id, const wchar_t* class_name,
                                     const wchar_t* tag, RECT rect) {
  auto e = std::make_shared<TestElement>();
  e->id = id;
  e->class_name = class_name;
  e->tag_name = tag;
  e->rect = rect;
  return e;
}

// A scripted page window created modelessly, with its test document.
struct Window {
  explicit Window(const wchar_t* element = L".container", HWND parent = nullptr)
      : dialog(L"page.html", element, parent) {
    EXPECT_TRUE(dialog.Create(parent));
    browser = TestBrowser::For(dialog.hwnd());
  }
  CBaseDHtmlPgDlg dialog;
  TestBrowser* browser = nullptr;
};

class PageWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_base_ = host::PageBaseDirectory(); }
  void TearDown() override { host::PageBaseDirectory() = saved_base_; }
  std::wstring saved_base_;
};

TEST_F(PageWindowTest, CreationMakesABorderlessTransparentLayeredWindow) {
  Window w;
  HWND hwnd = w.dialog.hwnd();
  ASSERT_NE(hwnd, nullptr);
  ASSERT_NE(w.browser, nullptr);
  // The system adds WS_CLIPSIBLINGS to every top-level window.
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE)) & ~(WS_VISIBLE | WS_CLIPSIBLINGS),
            0x800000C0u);
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_EXSTYLE)), 0x00080000u);
  EXPECT_EQ(AlphaOf(hwnd), 0);
  EXPECT_EQ(SizeOf(hwnd).cx, 1920);
  EXPECT_EQ(SizeOf(hwnd).cy, 1080);
  EXPECT_FALSE(::IsWindowVisible(hwnd));
  // The page gets the window's own dispatch object, and the page's URL was resolved.
  EXPECT_EQ(w.browser->external(), w.dialog.dispatch());
  EXPECT_EQ(w.browser->navigated(), L"file:///" + host::PageBaseDirectory() + L"\\page.html");
  EXPECT_NE(::SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0);
}

TEST_F(PageWindowTest, LocalDocumentShapesSizesCentresAndTitlesTheWindow) {
  Window w;
  HWND hwnd = w.dialog.hwnd();
  auto other = Element(L"x", L"container extra", L"DIV", {0, 0, 50, 50});
  auto first = Element(L"a", L"Container", L"DIV", {10, 20, 410, 320});
  auto second = Element(L"b", L"container", L"DIV", {0, 0, 10, 10});
  w.browser->elements = {other, first, second};
  w.browser->title = L"Miravolt";
  w.browser->Complete(L"file:///C:/P/res/page.html");

  EXPECT_TRUE(first->placed_at_top_left);
  EXPECT_FALSE(second->placed_at_top_left);
  EXPECT_FALSE(other->placed_at_top_left);
  EXPECT_EQ(w.dialog.m_rcElement.left, 0);
  EXPECT_EQ(w.dialog.m_rcElement.right, 400);
  EXPECT_EQ(SizeOf(hwnd).cx, 400);
  EXPECT_EQ(SizeOf(hwnd).cy, 300);
  const RECT box = RegionBox(hwnd);
  EXPECT_EQ(box.right - box.left, 400);
  EXPECT_EQ(box.bottom - box.top, 300);
  wchar_t title[64] = {};
  ::GetWindowTextW(hwnd, title, 64);
  EXPECT_STREQ(title, L"Miravolt");
  EXPECT_EQ(w.dialog.m_strTitle, L"Miravolt");
  EXPECT_EQ(w.dialog.m_nDocComplete, 1);
  // Centred on the screen (no owner).
  RECT desktop{}, r{};
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  ::GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, ((desktop.right - desktop.left) - 400) / 2);
  EXPECT_EQ(r.top, ((desktop.bottom - desktop.top) - 300) / 2);
  // The page base directory follows the completed page.
  EXPECT_EQ(host::PageBaseDirectory(), L"file:\\\\\\C:\\P\\res");
  // Opaque 100 ms later, in one step.
  EXPECT_EQ(AlphaOf(hwnd), 0);
  EXPECT_EQ(AlphaOnceOpaque(hwnd), 255);
}

TEST_F(PageWindowTest, SelectorsMatchWholeAttributesIgnoringCase) {
  const struct {
    const wchar_t* selector;
    bool found;
  } cases[] = {
      {L"#MAIN", true},        // id in another letter case
      {L".container", false},  // only "container extra" is there
      {L".container extra", true},
      {L"div", true},  // tag names come in upper case
      {L"##main", false},
      {L"span", false},
  };
  for (const auto& c : cases) {
    fixtures::MessageBoxWatcher watcher;
    Window w(c.selector);
    w.browser->elements = {Element(L"main", L"container extra", L"DIV", {0, 0, 200, 100})};
    w.browser->Complete(L"file:///C:/P/page.html");
    EXPECT_EQ(watcher.WaitFor(c.found ? 0 : 1, 5000).size(), c.found ? 0u : 1u) << c.selector;
    EXPECT_EQ(SizeOf(w.dialog.hwnd()).cx, c.found ? 200 : 400) << c.selector;
  }
}

TEST_F(PageWindowTest, MissingElementShowsTheMessageAndFallsBack) {
  fixtures::MessageBoxWatcher watcher;
  Window w;
  w.browser->Complete(L"C:\\P\\page.html");  // a drive path is local too
  const auto boxes = watcher.WaitFor(1, 5000);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, fx::ProgramName());
  EXPECT_EQ(boxes[0].text, L"找不到指定元素");
  EXPECT_EQ(SizeOf(w.dialog.hwnd()).cx, 400);
  EXPECT_EQ(SizeOf(w.dialog.hwnd()).cy, 300);
  EXPECT_EQ(AlphaOnceOpaque(w.dialog.hwnd()), 255);
}

TEST_F(PageWindowTest, RemotePageKeepsTheWindowSizeAndTheElementWhereItIs) {
  Window w;
  auto e = Element(L"", L"container", L"DIV", {100, 50, 500, 350});
  w.browser->elements = {e};
  w.browser->Complete(L"http://example.test/page.html");
  EXPECT_FALSE(e->placed_at_top_left);
  EXPECT_EQ(SizeOf(w.dialog.hwnd()).cx, 1920);
  EXPECT_EQ(w.dialog.m_rcElement.left, 100);
  const RECT box = RegionBox(w.dialog.hwnd());
  EXPECT_EQ(box.left, 100);
  EXPECT_EQ(box.top, 50);
}

TEST_F(PageWindowTest, FramesAndLaterNavigationsAreHandledOnce) {
  Window w;
  HWND hwnd = w.dialog.hwnd();
  w.browser->elements = {Element(L"", L"container", L"DIV", {0, 0, 300, 200})};
  w.browser->Complete(L"file:///C:/P/page.html");
  // A frame of the page completes: nothing changes.
  w.browser->elements = {Element(L"", L"container", L"DIV", {0, 0, 100, 100})};
  w.browser->Complete(L"file:///C:/P/frame.html", /*top_level=*/false);
  EXPECT_EQ(w.dialog.m_nDocComplete, 1);
  EXPECT_EQ(SizeOf(hwnd).cx, 300);
  // A second top-level page: resized, re-titled, not moved.
  w.dialog.Move(7, 9);
  w.browser->title = L"Second";
  w.browser->Complete(L"file:///C:/P/second.html");
  EXPECT_EQ(w.dialog.m_nDocComplete, 2);
  EXPECT_EQ(SizeOf(hwnd).cx, 100);
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 7);
  EXPECT_EQ(r.top, 9);
  EXPECT_EQ(w.dialog.m_strTitle, L"Second");
}

TEST_F(PageWindowTest, WindowMethods) {
  Window w;
  HWND hwnd = w.dialog.hwnd();
  w.browser->elements = {Element(L"", L"container", L"DIV", {0, 0, 200, 100})};
  w.browser->Complete(L"file:///C:/P/page.html");

  w.dialog.SetTransparent(256);  // only the low 8 bits count
  EXPECT_EQ(AlphaOf(hwnd), 0);
  w.dialog.SetTransparent(0x180);
  EXPECT_EQ(AlphaOf(hwnd), 0x80);

  w.dialog.Move(30, 40);
  w.dialog.SetSize(500, 450);
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(r.right - r.left, 500);
  // The region stays the element's until the page sets another.
  EXPECT_EQ(RegionBox(hwnd).right, 200);
  // The rounded region reaches dx and dy beyond the element.
  w.dialog.SetWindowRound(10, 0, 0);
  const RECT plain = RegionBox(hwnd);
  w.dialog.SetWindowRound(10, 5, 7);
  EXPECT_EQ(RegionBox(hwnd).right, plain.right + 5);
  EXPECT_EQ(RegionBox(hwnd).bottom, plain.bottom + 7);

  w.dialog.Show(true);
  EXPECT_TRUE(::IsWindowVisible(hwnd));
  w.dialog.Hide();
  EXPECT_FALSE(::IsWindowVisible(hwnd));
  w.dialog.Show(true);
  w.dialog.MinWindow();
  EXPECT_TRUE(::IsIconic(hwnd));
  w.dialog.Show(true);
  EXPECT_FALSE(::IsIconic(hwnd));
}

TEST_F(PageWindowTest, CentringOverTheOwnerUsesBothShapingElements) {
  Window owner;
  owner.browser->elements = {Element(L"", L"container", L"DIV", {0, 0, 800, 600})};
  owner.browser->Complete(L"file:///C:/P/owner.html");
  owner.dialog.Move(100, 50);
  Window child(L".container", owner.dialog.hwnd());
  child.browser->elements = {Element(L"", L"container", L"DIV", {0, 0, 200, 100})};
  child.browser->Complete(L"file:///C:/P/child.html");
  RECT r{};
  ::GetWindowRect(child.dialog.hwnd(), &r);
  EXPECT_EQ(r.left, 100 + 300);
  EXPECT_EQ(r.top, 50 + 250);
}

TEST_F(PageWindowTest, CloseWindowInAModelessWindowDestroysItAndReturnsTheCode) {
  Window w;
  EXPECT_EQ(w.dialog.CloseWindow(5), 5);
  EXPECT_EQ(w.dialog.hwnd(), nullptr);
}

// Closes the first modal page window that appears with CloseWindow(code) through its page's
// dispatch object, as its page script would.
struct ModalCloser {
  static int code;
  static int result;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND active = ::GetActiveWindow();
    auto* page = dynamic_cast<CBaseDHtmlDlg*>(fx::HtmlDialog::FromHandle(active));
    if (!page || !page->in_modal_loop()) return;
    ::KillTimer(nullptr, id);
    result = page->CloseWindow(code);
  }
};
int ModalCloser::code = 0;
int ModalCloser::result = -99;

TEST_F(PageWindowTest, ModalNewInstanceReturnsTheCodeItsPageClosedWith) {
  Window opener;
  ModalCloser::code = 5;
  ModalCloser::result = -99;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &ModalCloser::Tick);
  EXPECT_EQ(opener.dialog.NewInstance(true, L"child.html", L".container"), 5);
  ::KillTimer(nullptr, timer);
  EXPECT_EQ(ModalCloser::result, 0);
}

TEST_F(PageWindowTest, ModelessNewInstanceShowsAScriptedWindowOwnedByTheActiveWindow) {
  Window opener;
  ::ShowWindow(opener.dialog.hwnd(), SW_SHOW);
  ::SetActiveWindow(opener.dialog.hwnd());
  EXPECT_EQ(opener.dialog.NewInstance(false, L"child.html", L"#x"), 0);
  HWND child = nullptr;
  for (HWND h = ::GetTopWindow(nullptr); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (::GetWindow(h, GW_OWNER) == opener.dialog.hwnd()) child = h;
  }
  ASSERT_NE(child, nullptr);
  EXPECT_TRUE(::IsWindowVisible(child));
  EXPECT_NE(dynamic_cast<CBaseDHtmlPgDlg*>(fx::HtmlDialog::FromHandle(child)), nullptr);
  // Its object goes some time after the window.
  ::DestroyWindow(child);
  fixtures::PumpMessagesFor(100);
}

TEST_F(PageWindowTest, UserMessagesRunTheCallbackInThePage) {
  Window w;
  HWND hwnd = w.dialog.hwnd();
  // No document yet: nothing runs, the result is 1.
  EXPECT_EQ(::SendMessageW(hwnd, WM_PAGE_MESSAGE, 5, -1), 1);
  EXPECT_TRUE(w.browser->scripts.empty());
  w.browser->elements = {Element(L"", L"container", L"DIV", {0, 0, 10, 10})};
  w.browser->Complete(L"file:///C:/P/page.html");
  EXPECT_EQ(::SendMessageW(hwnd, WM_PAGE_MESSAGE, 5, -1), 0);
  w.browser->script_result = static_cast<HRESULT>(0x800A138F);
  EXPECT_EQ(static_cast<HRESULT>(::SendMessageW(hwnd, WM_PAGE_MESSAGE, 7, 8)),
            static_cast<HRESULT>(0x800A138F));
  w.browser->script_result = S_OK;
  ::SendMessageW(hwnd, WM_ENDSESSION, FALSE, 0);
  // Commands and a close request reach the page later, posted.
  ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(40001, 0), 0);
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(w.browser->scripts.size(), 3u);
  fixtures::PumpMessagesFor(100);
  const std::vector<std::wstring> expected = {
      L"UI.onUserMessage(5, -1);", L"UI.onUserMessage(7, 8);", L"UI.onUserMessage(1000, 0);",
      L"UI.onUserMessage(40001, 0);", L"UI.onUserMessage(2, 0);"};
  EXPECT_EQ(w.browser->scripts, expected);
  EXPECT_TRUE(::IsWindow(hwnd));  // a close request does not close the window
}

TEST_F(PageWindowTest, TrayLeftClickShowsTheWindowAndTheNewestWindowOwnsTheRecord) {
  Window first;
  Window second;
  EXPECT_EQ(host::Tray().record.hWnd, second.dialog.hwnd());
  EXPECT_EQ(host::Tray().record.uCallbackMessage, WM_TRAY_NOTIFY);
  EXPECT_EQ(host::Tray().record.cbSize, NOTIFYICONDATAW_V3_SIZE);
  ::ShowWindow(second.dialog.hwnd(), SW_MINIMIZE);
  ::SendMessageW(second.dialog.hwnd(), WM_TRAY_NOTIFY, 0, WM_LBUTTONDOWN);
  EXPECT_TRUE(::IsWindowVisible(second.dialog.hwnd()));
  EXPECT_FALSE(::IsIconic(second.dialog.hwnd()));
  // A right click without a tray menu does nothing.
  EXPECT_EQ(::SendMessageW(second.dialog.hwnd(), WM_TRAY_NOTIFY, 0, WM_RBUTTONDOWN), 0);
}

TEST_F(PageWindowTest, KeysAndContextMenusStayWithTheHost) {
  Window scripted;
  CBaseDHtmlDlg plain(L"page.html", L".container", nullptr);
  ASSERT_TRUE(plain.Create(nullptr));
  // Enter and Escape do not close a page window.
  ::SendMessageW(plain.hwnd(), WM_COMMAND, IDOK, 0);
  ::SendMessageW(plain.hwnd(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(::IsWindow(plain.hwnd()));
}

}  // namespace
