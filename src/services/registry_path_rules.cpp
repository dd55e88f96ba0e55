#include "services/registry_path_rules.h"

namespace services {

const std::u16string_view kRegistryRootNames[kRegistryRootCount] = {
    u"HKEY_CLASSES_ROOT", u"HKEY_CURRENT_USER",   u"HKEY_LOCAL_MACHINE",
    u"HKEY_USERS",        u"HKEY_CURRENT_CONFIG",
};

namespace {

char16_t FoldAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? c - u'a' + u'A' : c; }

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

std::optional<std::size_t> RootIndexFromName(std::u16string_view name) {
  for (std::size_t i = 0; i < kRegistryRootCount; ++i) {
    if (EqualIgnoringAsciiCase(name, kRegistryRootNames[i])) return i;
  }
  return std::nullopt;
}

RegistryPath SplitRegistryPath(std::u16string_view path) {
  RegistryPath result;
  const std::size_t backslash = path.find(u'\\');
  if (backslash != std::u16string_view::npos) result.root = path.substr(0, backslash);
  // A "/" anywhere wins over the first "\": the text between them is dropped.
  const std::size_t slash = path.find(u'/');
  if (slash != std::u16string_view::npos) {
    result.sub_key = path.substr(slash + 1);
  } else if (backslash != std::u16string_view::npos) {
    result.sub_key = path.substr(backslash + 1);
  }
  return result;
}

}  // namespace services
