#include "http/multipart_rules.h"

#include <gtest/gtest.h>

#include "http/utf8_rules.h"

namespace http {
namespace {

TEST(MultipartRules, FramesOnePartAroundTheFile) {
  EXPECT_EQ(UploadHeaderText(u"----b42", u"Agent/1.0"),
            u"Content-Type: multipart/form-data; boundary=----b42\r\nUser-Agent: Agent/1.0");
  EXPECT_EQ(PartHead(u"----b42", u"name=\"file\"; filename=\"a.txt\""),
            "------b42\r\n"
            "Content-Disposition: form-data; name=\"file\"; filename=\"a.txt\"\r\n"
            "Content-Type: application/octet-stream \r\n"
            "\r\n");
  EXPECT_EQ(PartTail(u"----b42"), "\r\n------b42--\r\n");
  // The disposition is inserted unchanged, non-ASCII file names as UTF-8.
  EXPECT_EQ(PartHead(u"b", u"filename=\"\u4e2d.txt\""),
            "--b\r\nContent-Disposition: form-data; filename=\"\xe4\xb8\xad.txt\"\r\n"
            "Content-Type: application/octet-stream \r\n\r\n");
  EXPECT_EQ(PartHead(u"b", u""),
            "--b\r\nContent-Disposition: form-data; \r\n"
            "Content-Type: application/octet-stream \r\n\r\n");
}

TEST(MultipartRules, BoundaryMustBeNonEmptyPrintableAscii) {
  EXPECT_TRUE(IsUsableBoundary(u"----WebKitFormBoundary7MA4YWxkTrZu0gW"));
  EXPECT_TRUE(IsUsableBoundary(u"a b'()+_,-./:=?~"));
  EXPECT_TRUE(IsUsableBoundary(std::u16string(200, u'x')));
  EXPECT_FALSE(IsUsableBoundary(u""));
  EXPECT_FALSE(IsUsableBoundary(u"abc\r\nX-Injected: 1"));
  EXPECT_FALSE(IsUsableBoundary(u"tab\there"));
  EXPECT_FALSE(IsUsableBoundary(u"\u00e4"));
  EXPECT_FALSE(IsUsableBoundary(u"del\u007f"));
}

TEST(MultipartRules, AnnouncedLengthIsTheSumWhileItFitsIn32Bits) {
  EXPECT_EQ(AnnouncedLength(0, 0, 0), 0u);
  EXPECT_EQ(AnnouncedLength(100, 0, 12), 112u);
  EXPECT_EQ(AnnouncedLength(100, 5000, 12), 5112u);
  EXPECT_EQ(AnnouncedLength(100, 0xFFFFFFFFull - 112, 12), 0xFFFFFFFFu);
  EXPECT_EQ(AnnouncedLength(100, 0xFFFFFFFFull - 111, 12), std::nullopt);
  EXPECT_EQ(AnnouncedLength(100, 0x100000000ull, 12), std::nullopt);
  EXPECT_EQ(AnnouncedLength(100, 0xFFFFFFFFFFFFFFFFull, 12), std::nullopt);
  EXPECT_EQ(AnnouncedLength(0xFFFFFFFFFFFFFFFFull, 0xFFFFFFFFFFFFFFFFull, 2), std::nullopt);
}

TEST(Utf8Rules, EncodesEveryPlaneAndReplacesLoneSurrogates) {
  const struct {
    std::u16string text;
    std::string bytes;
  } cases[] = {
      {u"", ""},
      {u"abc", "abc"},
      {u"\u00e4", "\xc3\xa4"},
      {u"\u07ff\u0800", "\xdf\xbf\xe0\xa0\x80"},
      {u"\uffff", "\xef\xbf\xbf"},
      {u"\U0001F600", "\xf0\x9f\x98\x80"},
      {u"\U0010FFFF", "\xf4\x8f\xbf\xbf"},
      {u"a\xd800"
       u"b",
       "a\xef\xbf\xbd"
       "b"},
      {u"\xdc00\xd800", "\xef\xbf\xbd\xef\xbf\xbd"},
      {u"\xd800", "\xef\xbf\xbd"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8FromUtf16(c.text), c.bytes) << testing::PrintToString(c.text);
  }
}

}  // namespace
}  // namespace http
