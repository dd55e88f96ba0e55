// Window services of the scripted page dialog: the calling window's title and visibility,
// finding top-level windows by title and messaging any window. Handles are 32-bit integers
// (window_handle.h). UI thread only; a message sent to another thread's window blocks until
// that window has handled it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

class CBaseDHtmlPgDlg;

namespace services {

// The calling window's title text.
std::wstring GetCurrWindowText(CBaseDHtmlPgDlg& window);
// The top-level window whose whole title matches (the platform ignores letter case); 0 when
// there is none. A null title is the empty title, never "any window".
int FindWindowByName(CBaseDHtmlPgDlg& window, BSTR title);
bool IsWindowVisible(CBaseDHtmlPgDlg& window);
// Writes "message - >wParam" to standard output, then sends the message and returns the
// target's result (0 for an invalid window).
int SendMessage(CBaseDHtmlPgDlg& window, int target, int message, int wparam, int lparam);
// Posts the message; 1 when posted, 0 when not (invalid window, full queue).
int PostMessage(CBaseDHtmlPgDlg& window, int target, int message, int wparam, int lparam);

}  // namespace services
