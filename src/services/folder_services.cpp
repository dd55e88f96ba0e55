#include "services/folder_services.h"

#include <windows.h>
#include <shlobj.h>

namespace services {

std::wstring SpecialFolderPath(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathW(/*hwndOwner=*/nullptr, path, csidl, /*fCreate=*/FALSE)) {
    return std::wstring();
  }
  return path;
}

std::wstring GetCommonAppDataPath(CBaseDHtmlPgDlg&) {
  return SpecialFolderPath(CSIDL_COMMON_APPDATA);
}
std::wstring GetCommonDesktopPath(CBaseDHtmlPgDlg&) {
  return SpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY);
}
std::wstring GetCommonDocumentsPath(CBaseDHtmlPgDlg&) {
  return SpecialFolderPath(CSIDL_COMMON_DOCUMENTS);
}
std::wstring GetCommonStartMenuPath(CBaseDHtmlPgDlg&) {
  return SpecialFolderPath(CSIDL_COMMON_STARTMENU);
}
std::wstring GetCommonStartupPath(CBaseDHtmlPgDlg&) {
  return SpecialFolderPath(CSIDL_COMMON_STARTUP);
}
std::wstring GetCommonProgramFilesPath(CBaseDHtmlPgDlg&) {
  return SpecialFolderPath(CSIDL_PROGRAM_FILES_COMMON);
}
std::wstring GetUserAppDataPath(CBaseDHtmlPgDlg&) { return SpecialFolderPath(CSIDL_APPDATA); }
std::wstring GetUserLocalAppDataPath(CBaseDHtmlPgDlg&) {
  return SpecialFolderPath(CSIDL_LOCAL_APPDATA);
}
std::wstring GetUserDesktopPath(CBaseDHtmlPgDlg&) {
  return SpecialFolderPath(CSIDL_DESKTOPDIRECTORY);
}
std::wstring GetUserDocumentsPath(CBaseDHtmlPgDlg&) { return SpecialFolderPath(CSIDL_PERSONAL); }
std::wstring GetUserStartMenuPath(CBaseDHtmlPgDlg&) { return SpecialFolderPath(CSIDL_STARTMENU); }
std::wstring GetUserStartupPath(CBaseDHtmlPgDlg&) { return SpecialFolderPath(CSIDL_STARTUP); }
std::wstring GetUserProgramFilesPath(CBaseDHtmlPgDlg&) {
  return SpecialFolderPath(CSIDL_PROGRAM_FILES);
}
std::wstring GetSystemPath(CBaseDHtmlPgDlg&) { return SpecialFolderPath(CSIDL_SYSTEM); }
std::wstring GetWindowsPath(CBaseDHtmlPgDlg&) { return SpecialFolderPath(CSIDL_WINDOWS); }

}  // namespace services
