// Special-folder services of the scripted page dialog: the path the platform reports for each
// folder, exactly as given, or "" when it gives none. A missing folder is never created.
#pragma once

#include <string>

class CBaseDHtmlPgDlg;

namespace services {

// The path of a special folder (a CSIDL value) without creating it; "" when there is none.
std::wstring SpecialFolderPath(int csidl);

std::wstring GetCommonAppDataPath(CBaseDHtmlPgDlg& window);
std::wstring GetCommonDesktopPath(CBaseDHtmlPgDlg& window);
std::wstring GetCommonDocumentsPath(CBaseDHtmlPgDlg& window);
std::wstring GetCommonStartMenuPath(CBaseDHtmlPgDlg& window);
std::wstring GetCommonStartupPath(CBaseDHtmlPgDlg& window);
// The shared common-files folder inside the program files folder.
std::wstring GetCommonProgramFilesPath(CBaseDHtmlPgDlg& window);
std::wstring GetUserAppDataPath(CBaseDHtmlPgDlg& window);
std::wstring GetUserLocalAppDataPath(CBaseDHtmlPgDlg& window);
std::wstring GetUserDesktopPath(CBaseDHtmlPgDlg& window);
std::wstring GetUserDocumentsPath(CBaseDHtmlPgDlg& window);
std::wstring GetUserStartMenuPath(CBaseDHtmlPgDlg& window);
std::wstring GetUserStartupPath(CBaseDHtmlPgDlg& window);
// The program files folder itself (the name is historical: it is not per user).
std::wstring GetUserProgramFilesPath(CBaseDHtmlPgDlg& window);
std::wstring GetSystemPath(CBaseDHtmlPgDlg& window);
std::wstring GetWindowsPath(CBaseDHtmlPgDlg& window);

}  // namespace services
