#include "services/registry_path_rules.h"

#include <gtest/gtest.h>

#include "services/registry_value_rules.h"

namespace services {
namespace {

TEST(RegistryPathRules, RootNamesMatchWholeAndWithoutRegardToCase) {
  const struct {
    std::u16string name;
    std::optional<std::size_t> index;
  } cases[] = {
      {u"HKEY_CLASSES_ROOT", 0},
      {u"HKEY_CURRENT_USER", 1},
      {u"HKEY_LOCAL_MACHINE", 2},
      {u"HKEY_USERS", 3},
      {u"HKEY_CURRENT_CONFIG", 4},
      {u"hkey_current_user", 1},
      {u"Hkey_Local_Machine", 2},
      {u"HKCU", std::nullopt},
      {u"HKLM", std::nullopt},
      {u"", std::nullopt},
      {u"HKEY_USER", std::nullopt},
      {u"HKEY_USERSX", std::nullopt},
      {u" HKEY_USERS", std::nullopt},
      // Only ASCII letters fold: a look-alike or an ignorable character is another name.
      {u"HKEY_\u212AURRENT_USER", std::nullopt},
      {u"HKEY_CURRENT\u00ADUSER", std::nullopt},
      {std::u16string(u"HKEY_USERS\0", 11), std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RootIndexFromName(c.name), c.index) << std::string(c.name.begin(), c.name.end());
  }
}

TEST(RegistryPathRules, SplitTakesRootBeforeFirstBackslashAndSubKeyAfterSlashOrBackslash) {
  const struct {
    std::u16string path;
    std::u16string root;
    std::u16string sub_key;
  } cases[] = {
      {u"HKEY_CURRENT_USER\\Software\\Vendor", u"HKEY_CURRENT_USER", u"Software\\Vendor"},
      {u"HKEY_CURRENT_USER\\", u"HKEY_CURRENT_USER", u""},
      {u"HKEY_CURRENT_USER", u"", u""},
      {u"", u"", u""},
      {u"\\Software", u"", u"Software"},
      // A "/" anywhere: everything after the first one is the sub-key.
      {u"HKEY_CURRENT_USER\\Software\\A/B", u"HKEY_CURRENT_USER", u"B"},
      {u"HKEY_CURRENT_USER\\Dropped/Software\\Kept/More", u"HKEY_CURRENT_USER",
       u"Software\\Kept/More"},
      {u"HKEY_CURRENT_USER/Software", u"", u"Software"},
      {u"HKEY/X\\Software", u"HKEY/X", u"X\\Software"},
      {u"HKEY_USERS\\\\Double", u"HKEY_USERS", u"\\Double"},
  };
  for (const auto& c : cases) {
    const RegistryPath parts = SplitRegistryPath(c.path);
    EXPECT_EQ(parts.root, c.root) << std::string(c.path.begin(), c.path.end());
    EXPECT_EQ(parts.sub_key, c.sub_key) << std::string(c.path.begin(), c.path.end());
  }
}

// UTF-16 little-endian bytes of a text given with its NULs.
std::string Bytes(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

TEST(RegistryValueRules, StringValuesMustBeWellFormedText) {
  using namespace std::string_literals;
  const struct {
    const char* what;
    std::uint32_t type;
    std::string data;
    std::optional<std::u16string> text;
  } cases[] = {
      {"sz", kRegSz, Bytes(u"abc\0"s), u"abc"},
      {"expand sz kept unexpanded", kRegExpandSz, Bytes(u"%TEMP%\\x\0"s), u"%TEMP%\\x"},
      {"sz cut at first nul", kRegSz, Bytes(u"ab\0cd\0"s), u"ab"},
      {"sz of one nul", kRegSz, Bytes(u"\0"s), u""},
      {"no data", kRegSz, "", u""},
      {"no data multi", kRegMultiSz, "", u""},
      {"sz without nul", kRegSz, Bytes(u"abc"), std::nullopt},
      {"sz odd byte count", kRegSz, Bytes(u"ab\0"s) + "x", std::nullopt},
      {"odd single byte", kRegSz, "a", std::nullopt},
      {"multi first string", kRegMultiSz, Bytes(u"one\0two\0\0"s), u"one"},
      {"multi of one nul", kRegMultiSz, Bytes(u"\0"s), u""},
      {"multi of two nuls", kRegMultiSz, Bytes(u"\0\0"s), u""},
      {"multi single nul end", kRegMultiSz, Bytes(u"one\0"s), std::nullopt},
      {"multi without nul", kRegMultiSz, Bytes(u"one"), std::nullopt},
      {"dword", kRegDword, Bytes(u"ab"), std::nullopt},
      {"empty dword", kRegDword, "", std::nullopt},
      {"binary", 3, Bytes(u"abc\0"s), std::nullopt},
      {"non-latin", kRegSz, Bytes(u"\u4E2D\u6587\0"s), u"\u4E2D\u6587"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextFromRegistryValue(c.type, c.data), c.text) << c.what;
  }
}

}  // namespace
}  // namespace services
