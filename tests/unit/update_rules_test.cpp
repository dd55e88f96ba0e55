#include "updater/update_rules.h"

#include <gtest/gtest.h>

#include <limits>

namespace updater {
namespace {

std::string Narrow(std::u16string_view s) { return std::string(s.begin(), s.end()); }

TEST(UpdateRules, FolderLevelsCreateEveryLevelLeftToRight) {
  const struct {
    std::u16string folder;
    std::vector<std::u16string> levels;
  } cases[] = {
      {u"C:\\Temp\\Corp\\Product",
       {u"C:\\", u"C:\\Temp\\", u"C:\\Temp\\Corp\\", u"C:\\Temp\\Corp\\Product"}},
      // An empty product key leaves the temporary folder's own trailing backslash.
      {u"C:\\Temp\\", {u"C:\\", u"C:\\Temp\\"}},
      {u"Product", {u"Product"}},
      {u"", {}},
      {u"\\\\server\\share\\x",
       {u"\\", u"\\\\", u"\\\\server\\", u"\\\\server\\share\\", u"\\\\server\\share\\x"}},
  };
  for (const auto& c : cases) EXPECT_EQ(FolderLevels(c.folder), c.levels) << Narrow(c.folder);
}

TEST(UpdateRules, InstallDirectoryIsTheTextBeforeTheLastSeparator) {
  const struct {
    std::u16string command;
    std::u16string directory;
  } cases[] = {
      {u"C:\\Program Files\\Miravolt\\uninst.exe", u"C:\\Program Files\\Miravolt"},
      {u"C:\\a/b\\c/uninst.exe", u"C:\\a/b"},  // a backslash wins over later slashes
      {u"\"C:\\Miravolt\\uninst.exe\" /S", u"\"C:\\Miravolt"},
      {u"a/b", u"a/b"},  // the slash stands at the second position
      {u"dir/sub/x", u"dir/sub"},
      {u"/x", u""},
      {u"x", u""},
      {u"", u""},
      {u"\\uninst.exe", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InstallDirectoryFromCommand(c.command), c.directory) << Narrow(c.command);
  }
}

TEST(UpdateRules, FileNameIsEverythingAfterTheLastSlash) {
  const struct {
    std::u16string url;
    std::u16string name;
  } cases[] = {
      {u"http://h/files/setup.exe", u"setup.exe"},
      {u"http://h/files/setup.exe?v=2", u"setup.exe?v=2"},
      {u"http://h/files/", u""},
      {u"setup.exe", u"setup.exe"},
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(FileNameFromUrl(c.url), c.name) << Narrow(c.url);
}

TEST(UpdateRules, DeclaredLengthReadsLikeTheLongConversion) {
  const struct {
    std::u16string text;
    std::uint32_t length;
  } cases[] = {
      {u"", 0},
      {u"1234", 1234},
      {u"  42", 42},
      {u"+7", 7},
      {u"12abc", 12},
      {u"abc", 0},
      {u"-1", 0xFFFFFFFFu},
      {u"2147483647", 2147483647u},
      // A long saturates: a larger declared length cannot be expressed.
      {u"4294967296", 2147483647u},
      {u"99999999999999999999999", 2147483647u},
      {u"-99999999999", 0x80000000u},
  };
  for (const auto& c : cases) EXPECT_EQ(DeclaredLengthFromText(c.text), c.length) << Narrow(c.text);
}

TEST(UpdateRules, ProgressPercentTruncatesAndStaysInRange) {
  const struct {
    std::uint32_t received;
    std::uint32_t declared;
    std::int32_t percent;
  } cases[] = {
      {0, 100, 0},
      {4000, 10000, 40},
      {9999, 10000, 99},
      {10000, 10000, 100},
      {1, 3, 33},
      {2, 3, 66},
      {8000, 4000, 200},  // a body longer than declared
      // Products that would overflow 32-bit arithmetic are exact in double precision.
      {4000000000u, 4000000000u, 100},
      {4294967295u, 1, std::numeric_limits<std::int32_t>::max()},
      {4000, 0, 0},  // no declared length: nothing meaningful to show
      {0, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProgressPercent(c.received, c.declared), c.percent)
        << c.received << " of " << c.declared;
  }
}

TEST(UpdateRules, AnEmptyVersionCountsAsOnePointZero) {
  EXPECT_EQ(EffectiveVersion(u""), u"1.0");
  EXPECT_EQ(EffectiveVersion(u"2.3.1"), u"2.3.1");
}

}  // namespace
}  // namespace updater
