// SplitUrl on any text: a refused URL leaves every part empty; an accepted one has a server, an
// object that can stand in a request line as it is, and splits again into the same parts when
// it is written back as a URL.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "http/url_rules.h"

namespace {

std::u16string SchemeOf(http::UrlService service) {
  switch (service) {
    case http::UrlService::kHttp:
      return u"http";
    case http::UrlService::kHttps:
      return u"https";
    case http::UrlService::kFtp:
      return u"ftp";
    case http::UrlService::kUnknown:
      break;
  }
  return u"x-y.z";
}

std::u16string Decimal(unsigned value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::ExactText url(
      fuzz::DecodeText(std::string_view(reinterpret_cast<const char*>(data), size)));
  const http::UrlParts parts = http::SplitUrl(url.view());
  if (!parts.valid) {
    FUZZ_CHECK(parts.service == http::UrlService::kUnknown);
    FUZZ_CHECK(parts.server.empty() && parts.object.empty() && parts.port == 0);
    return 0;
  }
  FUZZ_CHECK(!parts.server.empty());
  for (char16_t c : parts.server) FUZZ_CHECK(c != u'/' && c != u'?' && c != u'#' && c != u'@');
  FUZZ_CHECK(!parts.object.empty() && parts.object[0] == u'/');
  for (char16_t c : parts.object) FUZZ_CHECK(c > u' ' && c < 0x7F && c != u'#');

  // A server with "]" cannot have come from brackets; any other goes back into them, which
  // also keeps its colons apart from the port's.
  const bool bracketed = parts.server.find(u']') == std::u16string::npos;
  std::u16string again = SchemeOf(parts.service) + u"://";
  again += bracketed ? u"[" + parts.server + u"]" : parts.server;
  again += u":" + Decimal(parts.port) + parts.object;
  const http::UrlParts reparsed = http::SplitUrl(again);
  FUZZ_CHECK(reparsed.valid);
  FUZZ_CHECK(reparsed.service == parts.service);
  FUZZ_CHECK(reparsed.server == parts.server);
  FUZZ_CHECK(reparsed.object == parts.object);
  FUZZ_CHECK(reparsed.port == parts.port);
  return 0;
}
