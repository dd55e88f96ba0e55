// CBaseIniFile: one configuration (INI) file for one service call. Holds no open file; a
// missing file is created empty when the accessor is opened. UI thread.
#pragma once

#include <string>

class CBaseIniFile {
 public:
  // Records the path; true when a search for it finds a file or directory, or when an empty
  // file could be created there (not for 260+ characters or a missing directory).
  bool Open(const std::wstring& path);

  // Reads one value, cut to 1023 characters; true when it is non-empty. False, with the result
  // untouched, when the file was not opened.
  bool ReadString(const std::wstring& section, const std::wstring& key, std::wstring& result) const;

  // Writes key=value into the section (an empty value too; never deletes a key or section).
  // False when the file was not opened or the platform refuses the write.
  bool WriteString(const std::wstring& section, const std::wstring& key,
                   const std::wstring& value) const;

 private:
  std::wstring m_strPath;
  bool m_bExists = false;
};
