#include "http/transfer_rules.h"

#include <gtest/gtest.h>

namespace http {
namespace {

TEST(TransferRules, RequestFlagsFollowThePortNotTheScheme) {
  const struct {
    Transfer transfer;
    std::uint16_t port;
    std::uint32_t flags;
  } cases[] = {
      {Transfer::kGet, 80, 0x84000000},      {Transfer::kGet, 443, 0x84801000},
      {Transfer::kGet, 8443, 0x84000000},    {Transfer::kPost, 80, 0x84000000},
      {Transfer::kPost, 443, 0x84803000},    {Transfer::kPost, 4430, 0x84000000},
      {Transfer::kDownload, 80, 0x80000000}, {Transfer::kDownload, 443, 0x80801000},
      {Transfer::kUpload, 80, 0x20000000},   {Transfer::kUpload, 443, 0x20801000},
      {Transfer::kUpload, 0, 0x20000000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RequestFlags(c.transfer, c.port), c.flags)
        << "transfer " << static_cast<int>(c.transfer) << " port " << c.port;
  }
}

TEST(TransferRules, PostBodyNeverReadsPastTheData) {
  EXPECT_EQ(PostBodyLength(4, 4), 4u);
  EXPECT_EQ(PostBodyLength(2, 4), 2u);
  EXPECT_EQ(PostBodyLength(0, 4), 0u);
  EXPECT_EQ(PostBodyLength(5, 4), 4u);
  EXPECT_EQ(PostBodyLength(0x7FFFFFFF, 6), 6u);
  EXPECT_EQ(PostBodyLength(3, 0), 0u);
  EXPECT_EQ(PostBodyLength(-1, 4), std::nullopt);
  EXPECT_EQ(PostBodyLength(-2147483647 - 1, 4), std::nullopt);
}

TEST(TransferRules, FirstLineOfAnswerReadsBytePairsUpToTheFirstLineFeed) {
  using namespace std::string_literals;
  const struct {
    std::string bytes;
    std::u16string line;
  } cases[] = {
      {"", u""},
      // UTF-16LE text without line-end bytes comes back unchanged.
      {"O\0K\0"s, u"OK"},
      {"\x2d\x4e\x87\x65"s, u"\u4e2d\u6587"},
      // 8-bit text: characters built from byte pairs; an odd last byte gets a zero high byte.
      {"OK", u"\u4b4f"},
      {"OKA", u"\u4b4fA"},
      // Reading stops after the first line feed; a final U+000A unit is removed.
      {"O\0K\0\n\0rest"s, u"OK"},
      {"OK\n", u"\u4b4f"},
      {"A\nB", u"\u0a41"},
      {"\n\0"s, u""},
      {"\n", u""},
      // Carriage-return bytes vanish wherever they are, also from the middle of a unit, so a
      // UTF-16LE line end leaves the unit U+0A00 behind.
      {"O\0K\0\r\0\n\0"s, u"OK\u0a00"},
      {"O\r\0K\0"s, u"OK"},
      {"\r\r\r", u""},
      {"O\0\0\0K\0"s, u"O\0K"s},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FirstLineOfAnswer(c.bytes), c.line) << testing::PrintToString(c.bytes);
  }
}

TEST(TransferRules, HoldsFirstLineOnceALineFeedArrived) {
  EXPECT_FALSE(HoldsFirstLine(""));
  EXPECT_FALSE(HoldsFirstLine("abc\r"));
  EXPECT_TRUE(HoldsFirstLine("abc\n"));
  EXPECT_TRUE(HoldsFirstLine("\nabc"));
}

TEST(TransferRules, ContentLengthIsADecimalNumberOrNothing) {
  EXPECT_EQ(ParseContentLength(u"0"), 0u);
  EXPECT_EQ(ParseContentLength(u"12000"), 12000u);
  EXPECT_EQ(ParseContentLength(u" 42\t"), 42u);
  EXPECT_EQ(ParseContentLength(u"18446744073709551615"), 18446744073709551615u);
  EXPECT_EQ(ParseContentLength(u"18446744073709551616"), std::nullopt);
  EXPECT_EQ(ParseContentLength(u""), std::nullopt);
  EXPECT_EQ(ParseContentLength(u"  "), std::nullopt);
  EXPECT_EQ(ParseContentLength(u"-1"), std::nullopt);
  EXPECT_EQ(ParseContentLength(u"+5"), std::nullopt);
  EXPECT_EQ(ParseContentLength(u"12 34"), std::nullopt);
  EXPECT_EQ(ParseContentLength(u"0x10"), std::nullopt);
}

}  // namespace
}  // namespace http
