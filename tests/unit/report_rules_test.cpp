#include "report/report_rules.h"

#include <gtest/gtest.h>

namespace report {
namespace {

std::u16string Repeat(std::u16string_view piece, std::size_t times) {
  std::u16string out;
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(ReportRules, EscapesEverythingOutsideTheSafeSet) {
  const struct {
    std::u16string text;
    std::u16string escaped;
  } cases[] = {
      {u"\u4e2d\u6587", u"%e4%b8%ad%e6%96%87"},
      {u"a b&c=1%2", u"a%20b%26c%3d1%2"},
      {u"", u""},
      {u"AZaz09!'()*-./:_~%", u"AZaz09!'()*-./:_~%"},
      {u" \"#$&+,;<=>?@[\\]^`{|}",
       u"%20%22%23%24%26%2b%2c%3b%3c%3d%3e%3f%40%5b%5c%5d%5e%60%7b%7c%7d"},
      // Control characters and DEL, with the leading zero below 16.
      {u"\t\n\u0001\u007f", u"%09%0a%01%7f"},
      {u"\u00e9", u"%c3%a9"},
      {u"\U0001F600", u"%f0%9f%98%80"},
      // A lone surrogate is encoded as the replacement character.
      {std::u16string(1, char16_t(0xD800)) + u"x", u"%ef%bf%bdx"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeReportText(c.text), c.escaped) << testing::PrintToString(c.text);
  }
}

TEST(ReportRules, EscapingKeepsWithinItsByteAndCharacterLimits) {
  const struct {
    const char* what;
    std::u16string text;
    std::u16string escaped;
  } cases[] = {
      {"exactly the limits", Repeat(u"a", 2000), Repeat(u"a", 2000)},
      {"text over the byte limit is cut", Repeat(u"a", 2001), Repeat(u"a", 2000)},
      // A three-byte character that would end at byte 2002 is left out whole.
      {"no partial character", Repeat(u"a", 1999) + u"\u4e2d", Repeat(u"a", 1999)},
      {"no partial surrogate pair", Repeat(u"a", 1997) + u"\U0001F600", Repeat(u"a", 1997)},
      // The character passes the byte limit; the character limit counts escapes, not
      // characters, so only its first byte's escape fits.
      {"escapes cut inside a character", Repeat(u"a", 1996) + u"\U0001F600",
       Repeat(u"a", 1996) + u"%f0"},
      {"an escape that does not fit drops the rest", Repeat(u"a", 1998) + u" b",
       Repeat(u"a", 1998)},
      {"an escape that fits exactly", Repeat(u"a", 1997) + u" ", Repeat(u"a", 1997) + u"%20"},
      // 700 characters are 2100 bytes: cut to 666 characters, then 222 fit as escapes.
      {"both limits", Repeat(u"\u4e2d", 700), Repeat(u"%e4%b8%ad", 222)},
  };
  for (const auto& c : cases) {
    const std::u16string escaped = EscapeReportText(c.text);
    EXPECT_EQ(escaped.size(), c.escaped.size()) << c.what;
    EXPECT_EQ(escaped, c.escaped) << c.what;
  }
}

TEST(ReportRules, RequestUrlsCarryTheValuesAsTheyAre) {
  ReportValues values;
  values.report_url = u"http://report.test/report";
  values.analytics_url = u"http://collect.test";
  values.tracking_id = u"UA-13579246-1";
  values.version = u"2.1.0";
  values.source_id = u"1024";
  values.client_id = u"5E4D3C2B1A00";
  values.install_date = u"2009-03-07";

  EXPECT_EQ(ReportRequestUrl(values, u"start", u"a b&c"),
            u"http://report.test/report?a=start&v=2.1.0&s=1024&p=a b&c&c=5E4D3C2B1A00");
  EXPECT_EQ(AnalyticsHitUrl(values, u"start", u"page", 41),
            u"http://collect.test/collect?v=1&tid=UA-13579246-1&cid=5E4D3C2B1A00&t=event"
            u"&ec=client&ea=start&el=page&z=41&de=UTF-8&cd1=1024&cd2=2.1.0&cd3=2009-03-07");

  // Empty values leave their parameters empty.
  const ReportValues empty;
  EXPECT_EQ(ReportRequestUrl(empty, u"", u""), u"?a=&v=&s=&p=&c=");
  EXPECT_EQ(AnalyticsHitUrl(empty, u"", u"", 32767),
            u"/collect?v=1&tid=&cid=&t=event&ec=client&ea=&el=&z=32767&de=UTF-8&cd1=&cd2=&cd3=");
}

TEST(ReportRules, SchemeSwitchReplacesEveryOccurrence) {
  const struct {
    std::u16string url;
    bool use_https;
    std::u16string switched;
  } cases[] = {
      {u"http://h/report", true, u"https://h/report"},
      {u"https://h/report", true, u"https://h/report"},
      {u"https://h/report", false, u"http://h/report"},
      {u"http://h/report", false, u"http://h/report"},
      {u"http://h/r?u=http://x", true, u"https://h/r?u=https://x"},
      {u"https://h/r?u=https://x", false, u"http://h/r?u=http://x"},
      {u"HTTP://h/report", true, u"HTTP://h/report"},
      {u"http://", true, u"https://"},
      {u"", false, u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SwitchScheme(c.url, c.use_https), c.switched)
        << testing::PrintToString(c.url) << " https=" << c.use_https;
  }
}

TEST(ReportRules, SourceIdFromSetupName) {
  const struct {
    std::u16string text;
    std::u16string source_id;
  } cases[] = {
      {u"setup_1024", u"1024"},
      {u"pkg_A7x-9", u"A7x"},
      {u"pkg_-12", u"-12"},
      {u"_abc", u"_abc"},
      {u"_a\\b", u"0"},
      {u"D:\\down\\setup", u"0"},
      {u"a\\b_c", u"c"},
      {u"ch_9", u"9"},
      {u"setup_", u""},
      {u"a_b_c", u"b"},
      {u"a__b", u"_b"},
      {u"plain", u"plain"},
      {u"", u""},
      {u"x_\u4e2d1", u"\u4e2d1"},
      {u"x_1\u4e2d", u"1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SourceIdFromSetupName(c.text), c.source_id) << testing::PrintToString(c.text);
  }
}

TEST(ReportRules, ClientIdIsTheAddressBackwardsInUpperCase) {
  const struct {
    HardwareAddress address;
    std::u16string client_id;
  } cases[] = {
      {{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, u"5E4D3C2B1A00"},
      {{0xfe, 0xdc, 0xba, 0x98, 0x76, 0x54}, u"547698BADCFE"},
      {{0, 0, 0, 0, 0, 1}, u"010000000000"},
      {{0, 0, 0, 0, 0, 0}, u""},
  };
  for (const auto& c : cases) EXPECT_EQ(ClientIdFromAddress(c.address), c.client_id);
}

TEST(ReportRules, InstallDateFormat) {
  EXPECT_EQ(FormatInstallDate(2009, 3, 7), u"2009-03-07");
  EXPECT_EQ(FormatInstallDate(1990, 4, 12), u"1990-04-12");
  EXPECT_EQ(FormatInstallDate(30827, 12, 31), u"30827-12-31");
}

}  // namespace
}  // namespace report
