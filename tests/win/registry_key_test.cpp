// CBaseRegKey against the prefix's real registry.
#include "services/registry_key.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// A key of its own below HKCU\Software for each test, removed with its tree afterwards.
class RegistryKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    sub_key_ = L"Software\\MiravoltTest\\" + std::wstring(name.begin(), name.end());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, sub_key_.c_str());
    path_ = L"HKEY_CURRENT_USER\\" + sub_key_;
  }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, sub_key_.c_str()); }

  bool KeyExists(const std::wstring& sub_key) const {
    fx::UniqueKey key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, sub_key.c_str(), 0, KEY_READ, key.put()) ==
           ERROR_SUCCESS;
  }

  // Stores raw data, for values the accessor itself never writes.
  void StoreRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    fx::UniqueKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, sub_key_.c_str(), 0, nullptr, 0, KEY_WRITE,
                                nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), bytes),
              ERROR_SUCCESS);
  }

  std::wstring sub_key_;
  std::wstring path_;
};

TEST_F(RegistryKeyTest, RootNamesResolveToPredefinedKeys) {
  EXPECT_EQ(RootKeyFromName(L"HKEY_CLASSES_ROOT"), HKEY_CLASSES_ROOT);
  EXPECT_EQ(RootKeyFromName(L"hkey_current_user"), HKEY_CURRENT_USER);
  EXPECT_EQ(RootKeyFromName(L"HKEY_LOCAL_MACHINE"), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(RootKeyFromName(L"HKEY_USERS"), HKEY_USERS);
  EXPECT_EQ(RootKeyFromName(L"HKEY_CURRENT_CONFIG"), HKEY_CURRENT_CONFIG);
  EXPECT_EQ(RootKeyFromName(L"HKCU"), nullptr);
}

TEST_F(RegistryKeyTest, OpenCreatesTheMissingKeyAndItsParents) {
  CBaseRegKey key;
  ASSERT_TRUE(key.Open(path_ + L"\\a\\b"));
  EXPECT_TRUE(KeyExists(sub_key_ + L"\\a\\b"));
  std::wstring text = L"stale";
  EXPECT_FALSE(key.QueryString(L"missing", text));
  EXPECT_EQ(text, L"");
}

TEST_F(RegistryKeyTest, OpenRefusesUnknownRootsAndPathsWithoutBackslash) {
  const std::wstring paths[] = {L"HKCU\\" + sub_key_, L"HKEY_CURRENT_USER", L"",
                                L"HKEY_CURRENT_USER/" + sub_key_};
  for (const std::wstring& path : paths) {
    CBaseRegKey key;
    EXPECT_FALSE(key.Open(path)) << path;
    EXPECT_FALSE(key.SetDword(L"x", 1)) << path;
  }
  EXPECT_FALSE(KeyExists(sub_key_));
}

TEST_F(RegistryKeyTest, AFailedOpenDropsTheKeyHeldBefore) {
  CBaseRegKey key;
  ASSERT_TRUE(key.Open(path_));
  EXPECT_FALSE(key.Open(L"HKCU\\Elsewhere"));
  EXPECT_FALSE(key.SetString(L"v", L"must not land in the earlier key"));
  CBaseRegKey check;
  ASSERT_TRUE(check.Open(path_));
  std::wstring text;
  EXPECT_FALSE(check.QueryString(L"v", text));
}

TEST_F(RegistryKeyTest, SlashTakesTheRestOfThePathAsSubKey) {
  CBaseRegKey key;
  ASSERT_TRUE(key.Open(L"HKEY_CURRENT_USER\\Ignored/" + sub_key_ + L"\\x"));
  EXPECT_TRUE(KeyExists(sub_key_ + L"\\x"));
  EXPECT_FALSE(KeyExists(L"Ignored"));
}

TEST_F(RegistryKeyTest, UsersRootReachesHkeyUsers) {
  const std::wstring sub = L".DEFAULT\\Software\\MiravoltTest\\UsersRoot";
  CBaseRegKey key;
  ASSERT_TRUE(key.Open(L"HKEY_USERS\\" + sub));
  ASSERT_TRUE(key.SetDword(L"n", 5));
  DWORD number = 0;
  DWORD size = sizeof number;
  EXPECT_EQ(
      ::RegGetValueW(HKEY_USERS, sub.c_str(), L"n", RRF_RT_REG_DWORD, nullptr, &number, &size),
      ERROR_SUCCESS);
  EXPECT_EQ(number, 5u);
  ::RegDeleteTreeW(HKEY_USERS, L".DEFAULT\\Software\\MiravoltTest");
}

TEST_F(RegistryKeyTest, StringsRoundTripUpTo511Characters) {
  CBaseRegKey key;
  ASSERT_TRUE(key.Open(path_));
  const struct {
    const wchar_t* name;
    std::wstring text;
    bool readable;
  } cases[] = {
      {L"", L"default value", true},
      {L"empty", L"", true},
      {L"chinese", L"\u4E2D\u6587", true},
      {L"511", std::wstring(511, L'x'), true},
      {L"512", std::wstring(512, L'x'), false},
      {L"long", std::wstring(4000, L'y'), false},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(key.SetString(c.name, c.text)) << c.name;
    std::wstring text = L"stale";
    EXPECT_EQ(key.QueryString(c.name, text), c.readable) << c.name;
    EXPECT_EQ(text, c.readable ? c.text : L"") << c.name;
  }
}

TEST_F(RegistryKeyTest, ALargerBufferReadsLongerStringsByTheSameRules) {
  constexpr DWORD kBytes = 2048;  // 1023 characters and a NUL
  // Stored without its NUL; the character after the stored ones is not NUL either, as the
  // platform counts a NUL that directly follows the data as part of it.
  const std::wstring unterminated(1001, L'u');
  StoreRaw(L"unterminated", REG_SZ, unterminated.data(), 1000 * sizeof(wchar_t));
  CBaseRegKey key;
  ASSERT_TRUE(key.Open(path_));
  const struct {
    const wchar_t* name;
    std::wstring text;  // stored unless empty
    bool readable;
  } cases[] = {
      {L"1000", std::wstring(1000, L'x'), true},
      {L"1023", std::wstring(1023, L'x'), true},
      {L"1024", std::wstring(1024, L'x'), false},
      {L"unterminated", L"", false},
  };
  for (const auto& c : cases) {
    if (!c.text.empty()) {
      ASSERT_TRUE(key.SetString(c.name, c.text)) << c.name;
    }
    std::wstring text = L"stale";
    EXPECT_EQ(key.QueryString(c.name, text, kBytes), c.readable) << c.name;
    EXPECT_EQ(text, c.readable ? c.text : L"") << c.name;
    // The default buffer keeps the page services' limit.
    EXPECT_FALSE(key.QueryString(c.name, text)) << c.name;
  }
}

TEST_F(RegistryKeyTest, StringReadsAcceptOnlyWellFormedStringTypes) {
  const wchar_t multi[] = L"one\0two\0";  // with the array's own NUL: two NULs at the end
  const wchar_t expand[] = L"%WINDIR%\\x";
  // The character after the stored two is not NUL: the platform counts a NUL that directly
  // follows the data as part of it.
  const wchar_t unterminated[] = {L'a', L'b', L'c'};
  const DWORD dword = 7;
  StoreRaw(L"multi", REG_MULTI_SZ, multi, sizeof multi);
  StoreRaw(L"expand", REG_EXPAND_SZ, expand, sizeof expand);
  StoreRaw(L"unterminated", REG_SZ, unterminated, 2 * sizeof(wchar_t));
  StoreRaw(L"dword", REG_DWORD, &dword, sizeof dword);
  StoreRaw(L"zero", REG_SZ, nullptr, 0);
  const struct {
    const wchar_t* name;
    bool ok;
    std::wstring text;
  } cases[] = {
      {L"multi", true, L"one"},      {L"expand", true, L"%WINDIR%\\x"},
      {L"unterminated", false, L""}, {L"dword", false, L""},
      {L"zero", true, L""},
  };
  CBaseRegKey key;
  ASSERT_TRUE(key.Open(path_));
  for (const auto& c : cases) {
    std::wstring text = L"stale";
    EXPECT_EQ(key.QueryString(c.name, text), c.ok) << c.name;
    EXPECT_EQ(text, c.text) << c.name;
  }
}

TEST_F(RegistryKeyTest, DwordsRoundTripAndOtherShapesFailWithZero) {
  CBaseRegKey key;
  ASSERT_TRUE(key.Open(path_));
  ASSERT_TRUE(key.SetDword(L"minus one", 0xFFFFFFFFu));
  DWORD number = 0;
  EXPECT_TRUE(key.QueryDword(L"minus one", number));
  EXPECT_EQ(number, 0xFFFFFFFFu);

  const unsigned long long wide = 1;
  const unsigned short narrow = 0x1234;
  StoreRaw(L"qword", REG_QWORD, &wide, sizeof wide);
  StoreRaw(L"short dword", REG_DWORD, &narrow, sizeof narrow);
  ASSERT_TRUE(key.SetString(L"text", L"12"));
  for (const wchar_t* name : {L"qword", L"short dword", L"text", L"missing"}) {
    number = 99;
    EXPECT_FALSE(key.QueryDword(name, number)) << name;
    EXPECT_EQ(number, 0u) << name;
  }
}

TEST_F(RegistryKeyTest, LocalMachineIsWritableInThePrefix) {
  const std::wstring sub = L"Software\\MiravoltTest\\Machine";
  CBaseRegKey key;
  ASSERT_TRUE(key.Open(L"HKEY_LOCAL_MACHINE\\" + sub));
  EXPECT_TRUE(key.SetString(L"s", L"machine"));
  std::wstring text;
  EXPECT_TRUE(key.QueryString(L"s", text));
  EXPECT_EQ(text, L"machine");
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\MiravoltTest");
}

}  // namespace
