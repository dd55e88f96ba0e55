#include "services/text_file_rules.h"

#include <gtest/gtest.h>

namespace services {
namespace {

using namespace std::string_literals;

TEST(TextFileRules, FirstLineOfFile) {
  const struct {
    const char* what;
    std::string bytes;
    std::u16string line;
  } cases[] = {
      {"crlf ends the line", "abc\r\ndef", u"abc"},
      {"lf ends the line", "abc\ndef", u"abc"},
      {"no line end", "abc def", u"abc def"},
      {"empty file", "", u""},
      {"first byte lf", "\nabc", u""},
      {"first bytes crlf", "\r\nabc", u""},
      {"lone cr kept", "a\rb\r\nc", u"a\rb"},
      {"cr at end of file kept", "ab\r", u"ab\r"},
      {"cr cr lf", "ab\r\r\nc", u"ab\r"},
      {"0x1a ends the text",
       "ab\x1A"
       "cd\nef",
       u"ab"},
      {"cr before 0x1a kept", "ab\r\x1A\n", u"ab\r"},
      {"0x1a first",
       "\x1A"
       "abc",
       u""},
      {"nul cuts", "ab\0cd\n"s, u"ab"},
      {"nul first", "\0abc"s, u""},
      {"bom read as three characters", "\xEF\xBB\xBFx", u"\u00EF\u00BB\u00BFx"},
      {"utf-8 bytes one per character", "\xE4\xB8\xAD\n", u"\u00E4\u00B8\u00AD"},
      {"high bytes", "\x80\xFF", u"\u0080\u00FF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FirstLineOfFile(c.bytes), c.line) << c.what;
  }
}

TEST(TextFileRules, FirstLineDoesNotDependOnHowTheBytesArrive) {
  const std::string files[] = {"abc\r\ndef",
                               "a\rb\r\nc",
                               "ab\r",
                               "ab\r\x1A",
                               "x\r\r\n",
                               "ab\0c"s,
                               std::string(300, 'z') + "\r\n"};
  for (const std::string& file : files) {
    const std::u16string whole = FirstLineOfFile(file);
    for (std::size_t piece = 1; piece <= 3; ++piece) {
      FirstLineReader reader;
      for (std::size_t at = 0; at < file.size(); at += piece) {
        if (!reader.Feed(std::string_view(file).substr(at, piece))) break;
      }
      EXPECT_EQ(reader.Finish(), whole) << "piece " << piece;
    }
  }
}

TEST(TextFileRules, FeedReportsWhenTheLineIsSettled) {
  FirstLineReader reader;
  EXPECT_TRUE(reader.Feed("abc\r"));  // the CR may still pair with an LF
  EXPECT_FALSE(reader.Feed("\nrest"));
  EXPECT_EQ(reader.Finish(), u"abc");
}

TEST(TextFileRules, TextFileBytes) {
  const struct {
    const char* what;
    std::u16string text;
    std::optional<std::string> bytes;
  } cases[] = {
      {"lf becomes crlf", u"a\nb", "a\r\nb"},
      {"crlf becomes cr crlf", u"a\r\nb", "a\r\r\nb"},
      {"lone cr", u"a\rb", "a\rb"},
      {"latin-1 one byte", u"\u00E9", "\xE9"},
      {"empty", u"", ""},
      {"0x1a written as is", u"a\x1A", "a\x1A"},
      {"cut at nul", u"ab\0\u4E2D"s, "ab"},
      {"above u+00ff", u"ab\u0100c", std::nullopt},
      {"chinese", u"\u4E2D", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextFileBytes(c.text), c.bytes) << c.what;
  }
}

}  // namespace
}  // namespace services
