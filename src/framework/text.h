// Conversions between the portable rules' UTF-16 strings and the Windows wide strings
// (the two share a layout on Windows), and to and from UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace fx {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");

inline std::wstring_view AsWide(std::u16string_view s) {
  return {reinterpret_cast<const wchar_t*>(s.data()), s.size()};
}
inline std::u16string_view AsU16(std::wstring_view s) {
  return {reinterpret_cast<const char16_t*>(s.data()), s.size()};
}
inline std::wstring ToWide(std::u16string_view s) { return std::wstring(AsWide(s)); }
inline std::u16string ToU16(std::wstring_view s) { return std::u16string(AsU16(s)); }

// Invalid sequences become U+FFFD (the platform converter's behaviour).
std::string ToUtf8(std::wstring_view s);
std::wstring FromUtf8(std::string_view s);

}  // namespace fx
