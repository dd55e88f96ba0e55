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

TEST(UpdateRules, VersionsCompareDottedPartsAsNumbers) {
  const struct {
    std::u16string a;
    std::u16string b;
    int order;  // sign of CompareVersions(a, b)
  } cases[] = {
      {u"1.10", u"1.2", 1},  // numbers, not text
      {u"1.2", u"1.2.0", 0},
      {u"1.2.0.0", u"1.2", 0},
      {u"1.2.1", u"1.2", 1},
      {u"2.0", u"1.99.99", 1},
      {u"1.0", u"1.0", 0},
      {u"01.002", u"1.2", 0},
      // Parts longer than any integer type still compare by value.
      {u"1.99999999999999999999999", u"1.99999999999999999999998", 1},
      {u"1.100000000000000000000", u"1.99999999999999999999", 1},
      // Leading digits count; the rest of a part is ignored.
      {u"2rc1", u"2", 0},
      {u"1.0-beta", u"1.0", 0},
      {u"1.3b", u"1.2z", 1},
      // A part that does not begin with a digit counts as 0.
      {u"v2.0", u"1.0", -1},
      {u"beta", u"0", 0},
      {u"1..2", u"1.0.2", 0},
      {u"1.", u"1", 0},
      {u"", u"0.0", 0},
      {u" 2", u"1", -1},
  };
  for (const auto& c : cases) {
    const int forward = CompareVersions(c.a, c.b);
    const int backward = CompareVersions(c.b, c.a);
    EXPECT_EQ((forward > 0) - (forward < 0), c.order) << Narrow(c.a) << " vs " << Narrow(c.b);
    EXPECT_EQ((backward > 0) - (backward < 0), -c.order) << Narrow(c.b) << " vs " << Narrow(c.a);
  }
}

TEST(UpdateRules, DigestsAreSpeltInSixtyFourHexDigitsOfEitherCase) {
  const std::u16string lower = u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
  const std::u16string upper = u"BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD";
  const Sha256Digest abc = {0xba, 0x78, 0x16, 0xbf, 0x8f, 0x01, 0xcf, 0xea, 0x41, 0x41, 0x40,
                            0xde, 0x5d, 0xae, 0x22, 0x23, 0xb0, 0x03, 0x61, 0xa3, 0x96, 0x17,
                            0x7a, 0x9c, 0xb4, 0x10, 0xff, 0x61, 0xf2, 0x00, 0x15, 0xad};
  Sha256Digest other = abc;
  other[31] ^= 1;
  const struct {
    std::u16string text;
    bool well_formed;
    bool matches_abc;
  } cases[] = {
      {lower, true, true},
      {upper, true, true},
      {u"Ba7816bF" + lower.substr(8), true, true},
      // The digit of another byte in a well-formed text.
      {lower.substr(0, 63) + u"e", true, false},
      {lower.substr(0, 63), false, false},
      {lower + u"0", false, false},
      {lower.substr(0, 63) + u"g", false, false},
      {u" " + lower.substr(1), false, false},
      {lower.substr(0, 62) + std::u16string(1, u'\0') + u"d", false, false},
      {u"0x" + lower.substr(2), false, false},
      {u"", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Sha256FromHex(c.text).has_value(), c.well_formed) << Narrow(c.text);
    EXPECT_EQ(DigestMatchesHex(c.text, abc), c.matches_abc) << Narrow(c.text);
    EXPECT_FALSE(DigestMatchesHex(c.text, other)) << Narrow(c.text);
  }
  EXPECT_EQ(Sha256FromHex(upper), abc);
}

}  // namespace
}  // namespace updater
