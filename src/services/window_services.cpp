#include "services/window_services.h"

#include <windows.h>

#include <cstdio>

#include "host/scripted_page_dialog.h"
#include "services/window_handle.h"

namespace services {

std::wstring GetCurrWindowText(CBaseDHtmlPgDlg& window) {
  const int length = ::GetWindowTextLengthW(window.hwnd());
  if (length <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window.hwnd(), text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

int FindWindowByName(CBaseDHtmlPgDlg&, BSTR title) {
  // With a null title FindWindowW would match the first top-level window of any title.
  return HandleToScript(::FindWindowW(/*lpClassName=*/nullptr, title ? title : L""));
}

bool IsWindowVisible(CBaseDHtmlPgDlg& window) { return ::IsWindowVisible(window.hwnd()) != FALSE; }

int SendMessage(CBaseDHtmlPgDlg&, int target, int message, int wparam, int lparam) {
  std::printf("%d - >%d\n", message, wparam);
  std::fflush(stdout);
  // wParam and lParam keep the 32-bit values' bits, widened as the platform widens them.
  return static_cast<int>(::SendMessageW(HandleFromScript(target), static_cast<UINT>(message),
                                         static_cast<WPARAM>(wparam), static_cast<LPARAM>(lparam)));
}

int PostMessage(CBaseDHtmlPgDlg&, int target, int message, int wparam, int lparam) {
  return ::PostMessageW(HandleFromScript(target), static_cast<UINT>(message),
                        static_cast<WPARAM>(wparam), static_cast<LPARAM>(lparam))
             ? 1
             : 0;
}

}  // namespace services
