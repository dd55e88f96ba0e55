#include "services/file_access.h"

#include <cwchar>

namespace services {

fx::UniqueFile OpenFileUnshared(const wchar_t* path, DWORD access, DWORD disposition) {
  if (!path || std::wcslen(path) >= MAX_PATH) return fx::UniqueFile();
  return fx::UniqueFile(::CreateFileW(path, access, 0 /* no sharing */, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

fx::UniqueFind StartNameSearch(const std::wstring& name, WIN32_FIND_DATAW& found) {
  if (name.size() >= MAX_PATH) return fx::UniqueFind();
  return fx::UniqueFind(::FindFirstFileW(name.c_str(), &found));
}

bool NameSearchFinds(const std::wstring& name) {
  WIN32_FIND_DATAW found;
  return static_cast<bool>(StartNameSearch(name, found));
}

}  // namespace services
