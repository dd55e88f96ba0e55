#include "framework/text.h"

#include <windows.h>

namespace fx {

std::string ToUtf8(std::wstring_view s) {
  if (s.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0,
                                      nullptr, nullptr);
  std::string out(n > 0 ? n : 0, '\0');
  if (n > 0) {
    ::WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr,
                          nullptr);
  }
  return out;
}

std::wstring FromUtf8(std::string_view s) {
  if (s.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(n > 0 ? n : 0, L'\0');
  if (n > 0) {
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  }
  return out;
}

}  // namespace fx
