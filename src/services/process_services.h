// Process, window and folder services of the scripted page dialog.
#pragma once

#include <string>

class CBaseDHtmlPgDlg;

namespace services {

// The process's whole command line.
std::wstring GetCommandLine(CBaseDHtmlPgDlg& window);

}  // namespace services
