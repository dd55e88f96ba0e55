#include "services/ini_file.h"

#include <windows.h>

#include "services/file_access.h"

namespace {
// 1023 characters and the terminating NUL.
constexpr DWORD kValueBufferChars = 1024;
}  // namespace

bool CBaseIniFile::Open(const std::wstring& path) {
  m_strPath = path;
  m_bExists = services::NameSearchFinds(path);
  if (!m_bExists) {
    // OPEN_ALWAYS rather than truncating: a file that appeared since the search keeps its
    // content.
    m_bExists = static_cast<bool>(
        services::OpenFileUnshared(path.c_str(), GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS));
  }
  return m_bExists;
}

bool CBaseIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                              std::wstring& result) const {
  if (!m_bExists) return false;
  wchar_t buffer[kValueBufferChars] = L"";
  ::GetPrivateProfileStringW(section.c_str(), key.c_str(), L"" /* default */, buffer,
                             kValueBufferChars, m_strPath.c_str());
  buffer[kValueBufferChars - 1] = L'\0';
  result = buffer;
  return !result.empty();
}

bool CBaseIniFile::WriteString(const std::wstring& section, const std::wstring& key,
                               const std::wstring& value) const {
  if (!m_bExists) return false;
  return ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(),
                                      m_strPath.c_str()) != FALSE;
}
