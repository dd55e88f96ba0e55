#include "host/page_window.h"

#include <wininet.h>

#include "framework/application.h"
#include "framework/owner.h"
#include "framework/text.h"
#include "host/page_rules.h"
#include "host/process_objects.h"

namespace {

constexpr LONG kPageWindowStyle = static_cast<LONG>(0x800000C0);  // popup, modal frame, font
constexpr LONG kPageWindowExStyle = WS_EX_LAYERED;
constexpr int kInitialWidth = 1920;
constexpr int kInitialHeight = 1080;
constexpr UINT kOpacityDelayMs = 100;
constexpr RECT kFallbackElement = {0, 0, 400, 300};

host::Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// Equal under the user's default locale with case ignored, both strings whole.
bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                          static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace

const fx::MessageEntry CBaseDHtmlDlg::kMessageEntries[] = {
    fx::On<&CBaseDHtmlDlg::OnCreate>(WM_CREATE),
    fx::On<&CBaseDHtmlDlg::OnTimer>(WM_TIMER),
};
const fx::MessageTable CBaseDHtmlDlg::kMessages =
    fx::MakeMessageTable(&fx::HtmlDialog::kMessages, kMessageEntries);

const fx::DispatchEntry kWindowMethods[] = {
    fx::Method<&CBaseDHtmlDlg::MinWindow>(L"MinWindow"),
    fx::Method<&CBaseDHtmlDlg::MaxWindow>(L"MaxWindow"),
    fx::Method<&CBaseDHtmlDlg::CloseWindow>(L"CloseWindow"),
    fx::Method<&CBaseDHtmlDlg::Show>(L"Show"),
    fx::Method<&CBaseDHtmlDlg::Hide>(L"Hide"),
    fx::Method<&CBaseDHtmlDlg::CenterOnParent>(L"CenterOnParent"),
    fx::Method<&CBaseDHtmlDlg::CenterOnScreen>(L"CenterOnScreen"),
    fx::Method<&CBaseDHtmlDlg::Move>(L"Move"),
    fx::Method<&CBaseDHtmlDlg::SetSize>(L"SetSize"),
    fx::Method<&CBaseDHtmlDlg::SetWindowRound>(L"SetWindowRound"),
    fx::Method<&CBaseDHtmlDlg::SetTransparent>(L"SetTransparent"),
    fx::Method<&CBaseDHtmlDlg::NewInstance>(L"NewInstance"),
    fx::Method<&CBaseDHtmlDlg::DrapAndDrop>(L"DrapAndDrop"),
};
const fx::DispatchTable CBaseDHtmlDlg::kDispatch =
    fx::MakeDispatchTable(&fx::HtmlDialog::kDispatch, kWindowMethods);

CBaseDHtmlDlg::CBaseDHtmlDlg(const std::wstring& page, const std::wstring& element, HWND parent)
    : fx::HtmlDialog(IDD_PAGE_WINDOW, parent), m_strElement(element) {
  set_url(fx::ToWide(host::ResolvePageUrl(fx::AsU16(page), fx::AsU16(host::PageBaseDirectory()))));
}

const fx::DispatchTable* CBaseDHtmlDlg::GetDispatchTable() const { return &kDispatch; }
const fx::MessageTable* CBaseDHtmlDlg::GetMessageTable() const { return &kMessages; }

BOOL CBaseDHtmlDlg::CanAccessExternal() { return TRUE; }

HRESULT CBaseDHtmlDlg::ShowContextMenu(DWORD, const POINT&) { return S_OK; }

LRESULT CBaseDHtmlDlg::OnCreate(WPARAM, LPARAM) {
  if (Default() == -1) return -1;
  ::SetWindowLongW(hwnd(), GWL_STYLE, kPageWindowStyle);
  ::SetWindowLongW(hwnd(), GWL_EXSTYLE, kPageWindowExStyle);
  ::SetLayeredWindowAttributes(hwnd(), 0 /*crKey*/, 0 /*bAlpha*/, LWA_ALPHA);
  EnableExternal();
  ::SetWindowPos(hwnd(), nullptr, 0, 0, kInitialWidth, kInitialHeight, SWP_NOMOVE);
  // The browser controls of this process fetch pages without a proxy, whatever the system
  // setting says.
  INTERNET_PROXY_INFO direct{};
  direct.dwAccessType = INTERNET_OPEN_TYPE_DIRECT;
  ::InternetSetOptionW(nullptr, INTERNET_OPTION_PROXY, &direct, sizeof(direct));
  return 0;
}

LRESULT CBaseDHtmlDlg::OnTimer(WPARAM wparam, LPARAM) {
  if (wparam == kOpacityTimer) {
    ::SetLayeredWindowAttributes(hwnd(), 0, 255, LWA_ALPHA);
    ::KillTimer(hwnd(), kOpacityTimer);
  }
  return Default();
}

void CBaseDHtmlDlg::OnDocumentComplete(IDispatch* frame, const std::wstring& url) {
  fx::HtmlDialog::OnDocumentComplete(frame, url);
  SetupDocument(frame, url);
  if (hwnd()) ::SetTimer(hwnd(), kOpacityTimer, kOpacityDelayMs, nullptr);
}

void CBaseDHtmlDlg::MinWindow() { ::ShowWindow(hwnd(), SW_MINIMIZE); }
void CBaseDHtmlDlg::MaxWindow() { ::ShowWindow(hwnd(), SW_MAXIMIZE); }

int CBaseDHtmlDlg::CloseWindow(int code) {
  if (in_modal_loop()) {
    EndModal(code);
    return 0;
  }
  ::DestroyWindow(hwnd());
  return code;
}

void CBaseDHtmlDlg::Show(bool show) { ::ShowWindow(hwnd(), show ? SW_SHOWNORMAL : SW_HIDE); }
void CBaseDHtmlDlg::Hide() { ::ShowWindow(hwnd(), SW_HIDE); }

void CBaseDHtmlDlg::CenterOnParent() {
  HWND owner = ::GetWindow(hwnd(), GW_OWNER);
  if (!owner) owner = ::GetParent(hwnd());
  if (!owner) {
    CenterOnScreen();
    return;
  }
  RECT owner_window{};
  ::GetWindowRect(owner, &owner_window);
  // The owner's shaping element; a window that is no page window is shaped by its whole area.
  RECT owner_element{0, 0, owner_window.right - owner_window.left,
                     owner_window.bottom - owner_window.top};
  if (auto* page = dynamic_cast<CBaseDHtmlDlg*>(fx::HtmlDialog::FromHandle(owner))) {
    owner_element = page->m_rcElement;
  }
  const host::Point at = host::CenterOverOwner(ToRect(m_rcElement), ToRect(owner_element),
                                               owner_window.left, owner_window.top);
  Move(at.x, at.y);
}

void CBaseDHtmlDlg::CenterOnScreen() {
  RECT desktop{};
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  const host::Point at = host::CenterOnDesktop(ToRect(m_rcElement), ToRect(desktop));
  Move(at.x, at.y);
}

void CBaseDHtmlDlg::Move(int x, int y) { ::SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE); }

void CBaseDHtmlDlg::SetSize(int cx, int cy) {
  ::SetWindowPos(hwnd(), nullptr, 0, 0, cx, cy, SWP_NOMOVE);
}

void CBaseDHtmlDlg::SetWindowRound(int radius, int dx, int dy) {
  fx::UniqueRegion region(::CreateRoundRectRgn(m_rcElement.left, m_rcElement.top,
                                               m_rcElement.right + dx, m_rcElement.bottom + dy,
                                               radius, radius));
  // On success the window owns the region.
  if (region && ::SetWindowRgn(hwnd(), region.get(), TRUE /*bRedraw*/)) region.release();
}

void CBaseDHtmlDlg::SetTransparent(int alpha) {
  ::SetLayeredWindowAttributes(hwnd(), 0, static_cast<BYTE>(alpha & 0xFF), LWA_ALPHA);
}

int CBaseDHtmlDlg::NewInstance(bool modal, const std::wstring& page, const std::wstring& element) {
  return OpenInstance<CBaseDHtmlDlg>(modal, page, element);
}

void CBaseDHtmlDlg::DrapAndDrop() { ::SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0); }

void CBaseDHtmlDlg::ApplyElementRegion() {
  fx::UniqueRegion region(::CreateRectRgnIndirect(&m_rcElement));
  if (region && ::SetWindowRgn(hwnd(), region.get(), TRUE /*bRedraw*/)) region.release();
}

std::vector<std::unique_ptr<fx::PageElement>> CBaseDHtmlDlg::FindElements(IDispatch* frame,
                                                                          int kind,
                                                                          const std::wstring& key) {
  std::vector<std::unique_ptr<fx::PageElement>> matches;
  fx::Browser* b = browser();
  if (!b) return matches;
  for (auto& element : b->Elements(frame)) {
    std::wstring value;
    switch (kind) {
      case static_cast<int>(host::SelectorKind::kId):
        value = element->Id();
        break;
      case static_cast<int>(host::SelectorKind::kClassName):
        value = element->ClassName();
        break;
      case static_cast<int>(host::SelectorKind::kTagName):
        value = element->TagName();
        break;
      default:
        continue;
    }
    if (SameIgnoringCase(value, key)) matches.push_back(std::move(element));
  }
  return matches;
}

void CBaseDHtmlDlg::SetupDocument(IDispatch* frame, const std::wstring& url) {
  fx::Browser* b = browser();
  if (url.empty() || !b || !hwnd()) return;
  // Frames inside the page complete too; only the top-level document shapes the window.
  if (url != b->LocationUrl()) return;
  if (!host::IsModuleResourceUrl(fx::AsU16(url))) {
    host::PageBaseDirectory() = fx::ToWide(host::GetParentDirectory(fx::AsU16(url)));
  }
  const host::Selector selector = host::ParseSelector(fx::AsU16(m_strElement));
  auto matches = FindElements(frame, static_cast<int>(selector.kind), fx::ToWide(selector.key));
  const bool local = host::IsLocalPageUrl(fx::AsU16(url));
  if (!matches.empty()) {
    fx::PageElement& element = *matches.front();
    if (local) element.PlaceAtTopLeft();
    m_rcElement = element.BoundingRect();
    if (local) {
      ::SetWindowPos(hwnd(), nullptr, 0, 0, m_rcElement.right - m_rcElement.left,
                     m_rcElement.bottom - m_rcElement.top, SWP_NOMOVE);
    }
  } else {
    fx::AppMessageBox(L"找不到指定元素");
    if (!hwnd()) return;  // the page closed its window while the message was up
    m_rcElement = kFallbackElement;
    if (local) {
      ::SetWindowPos(hwnd(), nullptr, 0, 0, kFallbackElement.right, kFallbackElement.bottom,
                     SWP_NOMOVE);
    }
  }
  b = browser();
  m_strTitle = b ? b->Title() : std::wstring();
  ApplyElementRegion();
  if (++m_nDocComplete == 1) {
    if (::GetWindow(hwnd(), GW_OWNER) || ::GetParent(hwnd())) {
      CenterOnParent();
    } else {
      CenterOnScreen();
    }
  }
  ::SetWindowTextW(hwnd(), m_strTitle.c_str());
}
