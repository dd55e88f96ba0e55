// The scripted page dialog's window side: creation, the native-to-page channel and the tray
// icon's mouse notifications.
#include "framework/text.h"
#include "host/page_rules.h"
#include "host/process_objects.h"
#include "host/scripted_page_dialog.h"

const fx::MessageEntry CBaseDHtmlPgDlg::kMessageEntries[] = {
    fx::On<&CBaseDHtmlPgDlg::OnCreate>(WM_CREATE),
    fx::On<&CBaseDHtmlPgDlg::OnTrayNotify>(WM_TRAY_NOTIFY),
    fx::On<&CBaseDHtmlPgDlg::OnPageMessage>(WM_PAGE_MESSAGE),
    fx::On<&CBaseDHtmlPgDlg::OnEndSession>(WM_ENDSESSION),
};
const fx::MessageTable CBaseDHtmlPgDlg::kMessages =
    fx::MakeMessageTable(&CBaseDHtmlDlg::kMessages, kMessageEntries);

const fx::MessageTable* CBaseDHtmlPgDlg::GetMessageTable() const { return &kMessages; }

LRESULT CBaseDHtmlPgDlg::OnCreate(WPARAM wparam, LPARAM lparam) {
  if (CBaseDHtmlDlg::OnCreate(wparam, lparam) == -1) return -1;
  host::TrayState& tray = host::Tray();
  tray.window_icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PAGE_WINDOW));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(tray.window_icon));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(tray.window_icon));
  // While no tray icon is shown, the newest scripted window owns the tray record.
  if (!tray.shown) {
    tray.record = NOTIFYICONDATAW{};
    tray.record.cbSize = NOTIFYICONDATAW_V3_SIZE;
    tray.record.hWnd = hwnd();
    tray.record.uCallbackMessage = WM_TRAY_NOTIFY;
    tray.record.hIcon = tray.window_icon;
  }
  return 0;
}

LRESULT CBaseDHtmlPgDlg::OnTrayNotify(WPARAM, LPARAM lparam) {
  host::TrayState& tray = host::Tray();
  switch (static_cast<UINT>(lparam)) {
    case WM_LBUTTONDOWN:
      ::ShowWindow(hwnd(), SW_SHOWNORMAL);
      ::SetForegroundWindow(hwnd());
      break;
    case WM_RBUTTONDOWN:
      if (tray.menu) {
        POINT at{};
        ::GetCursorPos(&at);
        ::TrackPopupMenu(tray.menu.get(), 0 /*uFlags*/, at.x, at.y, 0 /*nReserved*/, hwnd(),
                         nullptr);
        ::SetForegroundWindow(hwnd());
      }
      break;
    default:
      break;
  }
  return 0;
}

LRESULT CBaseDHtmlPgDlg::OnPageMessage(WPARAM wparam, LPARAM lparam) {
  const auto w = static_cast<std::int32_t>(wparam);
  const auto l = static_cast<std::int32_t>(lparam);
  return RunScript(fx::ToWide(host::UserMessageScript(w, l)));
}

LRESULT CBaseDHtmlPgDlg::OnEndSession(WPARAM, LPARAM) {
  // Sent, not posted: the page hears of the logoff or shutdown before this returns, whether or
  // not the session really ends.
  ::SendMessageW(hwnd(), WM_PAGE_MESSAGE, 1000, 0);
  return 0;
}

BOOL CBaseDHtmlPgDlg::OnCommand(WPARAM wparam, LPARAM lparam) {
  return ::PostMessageW(hwnd(), WM_PAGE_MESSAGE, wparam, lparam);
}

HRESULT CBaseDHtmlPgDlg::TranslateAccelerator(const MSG&) { return S_OK; }

int CBaseDHtmlPgDlg::NewInstance(bool modal, const std::wstring& page,
                                 const std::wstring& element) {
  return OpenInstance<CBaseDHtmlPgDlg>(modal, page, element);
}
