// CBaseRegKey: one registry key, opened (and created when missing) from a path in the registry
// path syntax, for one service call or one load. Owns its key handle and closes it when
// destroyed or when another Open replaces it. Used by the client and the updater; depends on
// no window class. Any thread, one object per thread.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "framework/owner.h"

// The predefined key for a root name of the path syntax; null for any other name.
HKEY RootKeyFromName(std::wstring_view name);

class CBaseRegKey {
 public:
  // Opens the key of path with KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, creating it and
  // its missing parents when it cannot be opened. Returns false for an unknown root name or a
  // key that can be neither opened nor created; then no key is held.
  bool Open(const std::wstring& path);

  // The page services read strings of at most 511 characters and a NUL.
  static constexpr DWORD kDefaultStringBytes = 1024;

  // Reads a string value whose data fits buffer_bytes (with the default, at most 511
  // characters). False (result "") when no key is open, the value is missing, longer, of
  // another type or not well-formed text.
  bool QueryString(const std::wstring& name, std::wstring& result,
                   DWORD buffer_bytes = kDefaultStringBytes) const;

  // Reads a REG_DWORD value of exactly 4 bytes. False (number 0) otherwise.
  bool QueryDword(const std::wstring& name, DWORD& number) const;

  // Write REG_SZ (the characters and a NUL) and REG_DWORD values; false when no key is open
  // or the platform refuses the write.
  bool SetString(const std::wstring& name, const std::wstring& text) const;
  bool SetDword(const std::wstring& name, DWORD number) const;

 private:
  fx::UniqueKey m_hKey;
  bool m_bOpen = false;
};
