// The local file of a download or upload: opened, written or read, and closed within one
// call. Every operation returns the last-error code of a failed call (ERROR_SUCCESS when it
// worked). UI thread only.
#pragma once

#include <windows.h>

#include <string>

#include "framework/owner.h"

class CBaseFile {
 public:
  CBaseFile() = default;
  CBaseFile(const CBaseFile&) = delete;
  CBaseFile& operator=(const CBaseFile&) = delete;
  ~CBaseFile();

  // Creates the file for writing, replacing any file of that name.
  DWORD Create(const std::wstring& path);
  DWORD OpenForReading(const std::wstring& path);
  DWORD Size(ULONGLONG* size) const;
  // *read is 0 at the end of the file.
  DWORD Read(void* buffer, DWORD capacity, DWORD* read);
  DWORD Write(const void* data, DWORD bytes);

 private:
  fx::UniqueFile m_hFile;
};
