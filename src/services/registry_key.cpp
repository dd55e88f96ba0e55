#include "services/registry_key.h"

#include <optional>
#include <vector>

#include "framework/text.h"
#include "services/registry_path_rules.h"
#include "services/registry_value_rules.h"

namespace {

// Reads included: every open asks for write access too, and creates the key when missing.
constexpr REGSAM kKeyAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
static_assert(kKeyAccess == 0x2001F, "the access the registry services use");

// In the order of kRegistryRootNames.
const HKEY kRootKeys[services::kRegistryRootCount] = {
    HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG,
};

}  // namespace

HKEY RootKeyFromName(std::wstring_view name) {
  const std::optional<std::size_t> index = services::RootIndexFromName(fx::AsU16(name));
  return index ? kRootKeys[*index] : nullptr;
}

bool CBaseRegKey::Open(const std::wstring& path) {
  // A failed open never leaves an earlier key in use.
  m_hKey.reset();
  m_bOpen = false;
  const services::RegistryPath parts = services::SplitRegistryPath(fx::AsU16(path));
  const HKEY root = RootKeyFromName(fx::AsWide(parts.root));
  if (!root) return false;
  const std::wstring sub_key = fx::ToWide(parts.sub_key);
  fx::UniqueKey key;
  LSTATUS status = ::RegOpenKeyExW(root, sub_key.c_str(), 0, kKeyAccess, key.put());
  if (status != ERROR_SUCCESS) {
    status =
        ::RegCreateKeyExW(root, sub_key.c_str(), 0, nullptr /* class */, REG_OPTION_NON_VOLATILE,
                          kKeyAccess, nullptr /* security */, key.put(), nullptr /* disposition */);
  }
  if (status != ERROR_SUCCESS) return false;
  m_hKey = std::move(key);
  m_bOpen = true;
  return true;
}

bool CBaseRegKey::QueryString(const std::wstring& name, std::wstring& result,
                              DWORD buffer_bytes) const {
  result.clear();
  if (!m_bOpen) return false;
  std::vector<char> buffer(buffer_bytes);
  DWORD type = REG_NONE;
  DWORD size = buffer_bytes;
  const LSTATUS status = ::RegQueryValueExW(m_hKey.get(), name.c_str(), nullptr, &type,
                                            reinterpret_cast<BYTE*>(buffer.data()), &size);
  if (status != ERROR_SUCCESS || size > buffer_bytes) return false;
  const std::optional<std::u16string> text =
      services::TextFromRegistryValue(type, std::string_view(buffer.data(), size));
  if (!text) return false;
  result = fx::ToWide(*text);
  return true;
}

bool CBaseRegKey::QueryDword(const std::wstring& name, DWORD& number) const {
  number = 0;
  if (!m_bOpen) return false;
  DWORD value = 0;
  DWORD type = REG_NONE;
  DWORD size = sizeof value;
  const LSTATUS status = ::RegQueryValueExW(m_hKey.get(), name.c_str(), nullptr, &type,
                                            reinterpret_cast<BYTE*>(&value), &size);
  // A shorter REG_DWORD would leave part of the number unset.
  if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return false;
  number = value;
  return true;
}

bool CBaseRegKey::SetString(const std::wstring& name, const std::wstring& text) const {
  if (!m_bOpen || text.size() >= MAXDWORD / sizeof(wchar_t)) return false;
  const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(m_hKey.get(), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
}

bool CBaseRegKey::SetDword(const std::wstring& name, DWORD number) const {
  if (!m_bOpen) return false;
  return ::RegSetValueExW(m_hKey.get(), name.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&number), sizeof number) == ERROR_SUCCESS;
}
