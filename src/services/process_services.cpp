#include "services/process_services.h"

#include <windows.h>

#include "host/scripted_page_dialog.h"

namespace services {

std::wstring GetCommandLine(CBaseDHtmlPgDlg&) { return ::GetCommandLineW(); }

}  // namespace services
