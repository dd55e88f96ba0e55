// Splits the URL a page passes into what an HTTP transfer connects to and asks for. The scheme
// only names the service and its default port; whether a request is secure is decided by the
// port alone (transfer_rules.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace http {

enum class UrlService { kUnknown, kHttp, kHttps, kFtp };

struct UrlParts {
  // False when the text is no "scheme://host" URL or its port is no number up to 65535; the
  // other fields are then empty, kUnknown and 0, and the transfer fails when it connects.
  bool valid = false;
  UrlService service = UrlService::kUnknown;
  std::u16string server;  // without user name, password, port and IPv6 brackets
  std::u16string object;  // path and query, always starting with "/"; no fragment
  std::uint16_t port = 0;
};

// The port a service implies when the URL names none: 80, 443, 21; 0 for kUnknown.
std::uint16_t DefaultPort(UrlService service);

// Surrounding blanks and control characters are ignored. In the object, characters that
// cannot stand in a request line (controls, space, DEL, anything outside ASCII) are
// percent-encoded as UTF-8; everything else, "%" sequences included, is kept as written.
UrlParts SplitUrl(std::u16string_view url);

}  // namespace http
