#include "services/config_services.h"

#include "services/ini_file.h"
#include "services/registry_key.h"

namespace services {

std::wstring ReadConfig(CBaseDHtmlPgDlg&, const std::wstring& file, const std::wstring& section,
                        const std::wstring& key) {
  CBaseIniFile ini;
  ini.Open(file);
  std::wstring value;
  ini.ReadString(section, key, value);
  return value;
}

bool WriteConfig(CBaseDHtmlPgDlg&, const std::wstring& file, const std::wstring& section,
                 const std::wstring& key, const std::wstring& value) {
  CBaseIniFile ini;
  ini.Open(file);
  return ini.WriteString(section, key, value);
}

std::wstring RegReadString(CBaseDHtmlPgDlg&, const std::wstring& path, const std::wstring& name) {
  CBaseRegKey key;
  key.Open(path);
  std::wstring text;
  key.QueryString(name, text);
  return text;
}

int RegReadInt(CBaseDHtmlPgDlg&, const std::wstring& path, const std::wstring& name) {
  CBaseRegKey key;
  key.Open(path);
  DWORD number = 0;
  key.QueryDword(name, number);
  return static_cast<int>(number);
}

bool RegWriteString(CBaseDHtmlPgDlg&, const std::wstring& path, const std::wstring& name,
                    const std::wstring& text) {
  CBaseRegKey key;
  return key.Open(path) && key.SetString(name, text);
}

bool RegWriteInt(CBaseDHtmlPgDlg&, const std::wstring& path, const std::wstring& name, int number) {
  CBaseRegKey key;
  return key.Open(path) && key.SetDword(name, static_cast<DWORD>(number));
}

}  // namespace services
