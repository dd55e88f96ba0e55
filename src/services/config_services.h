// Configuration-file and registry services of the scripted page dialog. Each call uses one
// accessor and releases it before returning; nothing is cached. UI thread; failures are
// results ("", false, 0), never script errors.
#pragma once

#include <string>

class CBaseDHtmlPgDlg;

namespace services {

// One value of an INI file, "" when missing or empty; a missing file is created empty.
std::wstring ReadConfig(CBaseDHtmlPgDlg& window, const std::wstring& file,
                        const std::wstring& section, const std::wstring& key);
bool WriteConfig(CBaseDHtmlPgDlg& window, const std::wstring& file, const std::wstring& section,
                 const std::wstring& key, const std::wstring& value);

// Registry values under a path of the registry path syntax; every call opens the key with
// write access and creates it when missing, reads included.
std::wstring RegReadString(CBaseDHtmlPgDlg& window, const std::wstring& path,
                           const std::wstring& name);
// The REG_DWORD's bits as a signed number; 0 after any failure.
int RegReadInt(CBaseDHtmlPgDlg& window, const std::wstring& path, const std::wstring& name);
bool RegWriteString(CBaseDHtmlPgDlg& window, const std::wstring& path, const std::wstring& name,
                    const std::wstring& text);
bool RegWriteInt(CBaseDHtmlPgDlg& window, const std::wstring& path, const std::wstring& name,
                 int number);

}  // namespace services
