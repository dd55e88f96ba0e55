// The registry path syntax that pages (and the updater) pass: a root key name, "\", then the
// sub-key. Shared by the client's registry services and the updater.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace services {

// The root key names in the order they are compared; RootIndexFromName gives a position here.
// Handle values: HKEY_CLASSES_ROOT 0x80000000, HKEY_CURRENT_USER 0x80000001,
// HKEY_LOCAL_MACHINE 0x80000002, HKEY_USERS 0x80000003, HKEY_CURRENT_CONFIG 0x80000005.
constexpr std::size_t kRegistryRootCount = 5;
extern const std::u16string_view kRegistryRootNames[kRegistryRootCount];

// The position of the root whose whole name equals name without regard to letter case; empty
// for any other name (short forms such as "HKCU" included). Only ASCII letters fold, so no
// other character can stand in for a letter of a root name.
std::optional<std::size_t> RootIndexFromName(std::u16string_view name);

struct RegistryPath {
  std::u16string root;     // text before the first "\"; empty when there is none
  std::u16string sub_key;  // empty for the root key itself
};

// Root: the text before the first "\". Sub-key: the text after the first "/" when the path
// holds one, otherwise the text after the first "\", otherwise empty.
RegistryPath SplitRegistryPath(std::u16string_view path);

}  // namespace services
