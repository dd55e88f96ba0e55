// Configuration-file and registry services against real INI files and the prefix's registry.
#include "services/config_services.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>

#include "framework/owner.h"
#include "host/scripted_page_dialog.h"

namespace {

std::wstring TestName() {
  const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  return std::wstring(name.begin(), name.end());
}

class ConfigServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"miravolt-config-" + TestName();
    Clean();
    ASSERT_TRUE(::CreateDirectoryW(dir_.c_str(), nullptr));
    sub_key_ = L"Software\\MiravoltTest\\" + TestName();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, sub_key_.c_str());
    key_path_ = L"HKEY_CURRENT_USER\\" + sub_key_;
  }
  void TearDown() override {
    Clean();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, sub_key_.c_str());
  }

  void Clean() {
    for (const wchar_t* name : {L"a.ini", L"new.ini", L"held.ini"}) {
      ::DeleteFileW(Path(name).c_str());
    }
    ::RemoveDirectoryW(dir_.c_str());
  }

  std::wstring Path(const std::wstring& name) const { return dir_ + L"\\" + name; }

  static bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  static LONGLONG SizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }

  std::wstring dir_;
  std::wstring sub_key_;
  std::wstring key_path_;
  CBaseDHtmlPgDlg window_{L"x.html", L".container", nullptr};
};

TEST_F(ConfigServicesTest, ReadConfigOfAMissingFileCreatesItEmpty) {
  EXPECT_EQ(services::ReadConfig(window_, Path(L"new.ini"), L"S", L"k"), L"");
  EXPECT_EQ(SizeOf(Path(L"new.ini")), 0);
}

TEST_F(ConfigServicesTest, WrittenValuesReadBack) {
  const std::wstring ini = Path(L"a.ini");
  const struct {
    std::wstring key;
    std::wstring value;
    std::wstring read;
  } cases[] = {
      {L"plain", L"value", L"value"},
      {L"empty", L"", L""},
      {L"long", std::wstring(1500, L'v'), std::wstring(1023, L'v')},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(services::WriteConfig(window_, ini, L"Section", c.key, c.value)) << c.key;
    EXPECT_EQ(services::ReadConfig(window_, ini, L"Section", c.key), c.read) << c.key;
  }
  // An empty value is written as a key, not taken as a deletion.
  wchar_t line[64] = {};
  ::GetPrivateProfileStringW(L"Section", nullptr, L"", line, 64, ini.c_str());
  std::wstring keys;
  for (const wchar_t* k = line; *k; k += wcslen(k) + 1) keys += std::wstring(k) + L";";
  EXPECT_EQ(keys, L"plain;empty;long;");
  EXPECT_EQ(services::ReadConfig(window_, ini, L"Section", L"missing"), L"");
  EXPECT_EQ(services::ReadConfig(window_, ini, L"Other", L"plain"), L"");
}

TEST_F(ConfigServicesTest, FilesThatCannotBeCreatedOrWrittenFail) {
  const std::wstring nested = Path(L"no-such-dir\\x.ini");
  EXPECT_FALSE(services::WriteConfig(window_, nested, L"S", L"k", L"v"));
  EXPECT_EQ(services::ReadConfig(window_, nested, L"S", L"k"), L"");
  EXPECT_FALSE(Exists(Path(L"no-such-dir")));

  // More than 260 characters, each name below 256, in a folder that exists.
  const std::wstring long_dir = L"\\\\?\\" + Path(std::wstring(120, L'd'));
  const std::wstring long_path = long_dir + L"\\" + std::wstring(150, L'f');
  ASSERT_TRUE(::CreateDirectoryW(long_dir.c_str(), nullptr));
  EXPECT_FALSE(services::WriteConfig(window_, long_path, L"S", L"k", L"v"));
  EXPECT_FALSE(Exists(long_path));
  ::RemoveDirectoryW(long_dir.c_str());

  // The platform refuses the write while another program holds the file.
  ASSERT_TRUE(services::WriteConfig(window_, Path(L"held.ini"), L"S", L"k", L"old"));
  {
    fx::UniqueFile holder(::CreateFileW(Path(L"held.ini").c_str(), GENERIC_READ, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_FALSE(services::WriteConfig(window_, Path(L"held.ini"), L"S", L"k", L"new"));
  }
  EXPECT_EQ(services::ReadConfig(window_, Path(L"held.ini"), L"S", L"k"), L"old");
}

TEST_F(ConfigServicesTest, RegistryStringsAndNumbersRoundTrip) {
  EXPECT_TRUE(services::RegWriteString(window_, key_path_, L"s", L"text \u4E2D"));
  EXPECT_EQ(services::RegReadString(window_, key_path_, L"s"), L"text \u4E2D");
  EXPECT_TRUE(services::RegWriteInt(window_, key_path_, L"n", -1));
  EXPECT_EQ(services::RegReadInt(window_, key_path_, L"n"), -1);
  DWORD stored = 0;
  DWORD size = sizeof stored;
  ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, sub_key_.c_str(), L"n", RRF_RT_REG_DWORD, nullptr,
                           &stored, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(stored, 0xFFFFFFFFu);
  EXPECT_EQ(services::RegReadString(window_, key_path_, L"n"), L"") << "a REG_DWORD";
  EXPECT_TRUE(services::RegWriteString(window_, L"hkey_current_user\\" + sub_key_, L"", L"dflt"));
  EXPECT_EQ(services::RegReadString(window_, key_path_, L""), L"dflt");
}

TEST_F(ConfigServicesTest, RegistryReadsCreateTheKey) {
  EXPECT_EQ(services::RegReadString(window_, key_path_ + L"\\made", L"v"), L"");
  fx::UniqueKey key;
  EXPECT_EQ(
      ::RegOpenKeyExW(HKEY_CURRENT_USER, (sub_key_ + L"\\made").c_str(), 0, KEY_READ, key.put()),
      ERROR_SUCCESS);
}

TEST_F(ConfigServicesTest, RegistryFailuresGiveEmptyFalseAndZero) {
  ASSERT_TRUE(services::RegWriteString(window_, key_path_, L"text", L"12"));
  const std::wstring short_root = L"HKCU\\" + sub_key_;
  EXPECT_FALSE(services::RegWriteString(window_, short_root, L"v", L"x"));
  EXPECT_FALSE(services::RegWriteInt(window_, short_root, L"v", 1));
  EXPECT_FALSE(services::RegWriteInt(window_, L"HKEY_CURRENT_USER", L"v", 1));
  EXPECT_EQ(services::RegReadString(window_, short_root, L"text"), L"");
  // A failed number read gives 0: missing value, another type, unknown root.
  EXPECT_EQ(services::RegReadInt(window_, key_path_, L"missing"), 0);
  EXPECT_EQ(services::RegReadInt(window_, key_path_, L"text"), 0);
  EXPECT_EQ(services::RegReadInt(window_, short_root, L"text"), 0);
}

}  // namespace
