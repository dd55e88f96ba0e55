#include "http/base_file.h"

CBaseFile::~CBaseFile() = default;

DWORD CBaseFile::Create(const std::wstring& path) {
  m_hFile.reset(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  return m_hFile ? ERROR_SUCCESS : ::GetLastError();
}

DWORD CBaseFile::OpenForReading(const std::wstring& path) {
  m_hFile.reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  return m_hFile ? ERROR_SUCCESS : ::GetLastError();
}

DWORD CBaseFile::Size(ULONGLONG* size) const {
  LARGE_INTEGER value{};
  if (!::GetFileSizeEx(m_hFile.get(), &value)) return ::GetLastError();
  *size = static_cast<ULONGLONG>(value.QuadPart);
  return ERROR_SUCCESS;
}

DWORD CBaseFile::Read(void* buffer, DWORD capacity, DWORD* read) {
  *read = 0;
  return ::ReadFile(m_hFile.get(), buffer, capacity, read, nullptr) ? ERROR_SUCCESS
                                                                    : ::GetLastError();
}

DWORD CBaseFile::Write(const void* data, DWORD bytes) {
  DWORD written = 0;
  if (!::WriteFile(m_hFile.get(), data, bytes, &written, nullptr)) return ::GetLastError();
  return written == bytes ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}
