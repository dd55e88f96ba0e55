#include "http/url_rules.h"

#include <gtest/gtest.h>

namespace http {
namespace {

TEST(UrlRules, SplitsServerObjectAndPort) {
  const struct {
    std::u16string url;
    UrlService service;
    std::u16string server;
    std::u16string object;
    std::uint16_t port;
  } cases[] = {
      {u"http://example.com/a/b.txt", UrlService::kHttp, u"example.com", u"/a/b.txt", 80},
      {u"https://example.com/a", UrlService::kHttps, u"example.com", u"/a", 443},
      {u"ftp://example.com/f", UrlService::kFtp, u"example.com", u"/f", 21},
      {u"HTTP://Example.COM/", UrlService::kHttp, u"Example.COM", u"/", 80},
      // The query belongs to the object; the fragment never goes to the server.
      {u"http://h/p?a=1&b=%41", UrlService::kHttp, u"h", u"/p?a=1&b=%41", 80},
      {u"http://h/p?a=1#top", UrlService::kHttp, u"h", u"/p?a=1", 80},
      {u"http://h?q=1", UrlService::kHttp, u"h", u"/?q=1", 80},
      {u"http://h", UrlService::kHttp, u"h", u"/", 80},
      {u"http://h#x", UrlService::kHttp, u"h", u"/", 80},
      // Ports: explicit, empty, and schemes never decide the port when one is written.
      {u"http://127.0.0.1:8080/x", UrlService::kHttp, u"127.0.0.1", u"/x", 8080},
      {u"http://h:443/x", UrlService::kHttp, u"h", u"/x", 443},
      {u"https://h:8443/x", UrlService::kHttps, u"h", u"/x", 8443},
      {u"http://h:/x", UrlService::kHttp, u"h", u"/x", 80},
      {u"http://h:65535", UrlService::kHttp, u"h", u"/", 65535},
      {u"foo://h:99/x", UrlService::kUnknown, u"h", u"/x", 99},
      {u"foo://h/x", UrlService::kUnknown, u"h", u"/x", 0},
      // User name and password are not part of the server.
      {u"http://user:pw@h:81/x", UrlService::kHttp, u"h", u"/x", 81},
      {u"http://[::1]:8080/x", UrlService::kHttp, u"::1", u"/x", 8080},
      {u"http://[::1]/x", UrlService::kHttp, u"::1", u"/x", 80},
      // Blanks around the URL are ignored; inside the object they are encoded.
      {u"  http://h/a b?c d\t\r\n", UrlService::kHttp, u"h", u"/a%20b?c%20d", 80},
      {u"http://h/\u00e4?q=\u4e2d", UrlService::kHttp, u"h", u"/%C3%A4?q=%E4%B8%AD", 80},
      {u"http://h/\U0001F600", UrlService::kHttp, u"h", u"/%F0%9F%98%80", 80},
      {u"http://h/a\u007fb", UrlService::kHttp, u"h", u"/a%7Fb", 80},
  };
  for (const auto& c : cases) {
    const UrlParts parts = SplitUrl(c.url);
    SCOPED_TRACE(testing::PrintToString(c.url));
    EXPECT_TRUE(parts.valid);
    EXPECT_EQ(parts.service, c.service);
    EXPECT_EQ(parts.server, c.server);
    EXPECT_EQ(parts.object, c.object);
    EXPECT_EQ(parts.port, c.port);
  }
}

TEST(UrlRules, RefusesTextThatIsNoUrl) {
  const std::u16string refused[] = {
      u"",
      u"   ",
      u"example.com/a",
      u"/a/b",
      u"http:/h/x",
      u"http:h",
      u"http://",
      u"http:///x",
      u"http://user@/x",
      u"http://h:port/x",
      u"http://h:65536/x",
      u"http://h:-1/x",
      u"http://h:123456/x",
      u"http://[::1/x",
      u"http://[::1]x/",
      u"1http://h/",
      u"ht tp://h/",
      u"://h/",
  };
  for (const auto& url : refused) {
    const UrlParts parts = SplitUrl(url);
    SCOPED_TRACE(testing::PrintToString(url));
    EXPECT_FALSE(parts.valid);
    EXPECT_TRUE(parts.server.empty());
    EXPECT_TRUE(parts.object.empty());
    EXPECT_EQ(parts.port, 0);
  }
}

TEST(UrlRules, DefaultPorts) {
  EXPECT_EQ(DefaultPort(UrlService::kHttp), 80);
  EXPECT_EQ(DefaultPort(UrlService::kHttps), 443);
  EXPECT_EQ(DefaultPort(UrlService::kFtp), 21);
  EXPECT_EQ(DefaultPort(UrlService::kUnknown), 0);
}

}  // namespace
}  // namespace http
