#include "http/url_rules.h"

#include "http/utf8_rules.h"

namespace http {
namespace {

char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; }

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool IsAsciiAlpha(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsSchemeChar(char16_t c) {
  return IsAsciiAlpha(c) || IsAsciiDigit(c) || c == u'+' || c == u'-' || c == u'.';
}

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && s.front() <= u' ') s.remove_prefix(1);
  while (!s.empty() && s.back() <= u' ') s.remove_suffix(1);
  return s;
}

UrlService ServiceOf(std::u16string_view scheme) {
  if (EqualsIgnoringCase(scheme, u"http")) return UrlService::kHttp;
  if (EqualsIgnoringCase(scheme, u"https")) return UrlService::kHttps;
  if (EqualsIgnoringCase(scheme, u"ftp")) return UrlService::kFtp;
  return UrlService::kUnknown;
}

// Empty port text means the default; anything but 1 to 5 digits up to 65535 is refused.
bool ParsePort(std::u16string_view text, std::uint16_t default_port, std::uint16_t* port) {
  if (text.empty()) {
    *port = default_port;
    return true;
  }
  if (text.size() > 5) return false;
  std::uint32_t value = 0;
  for (char16_t c : text) {
    if (!IsAsciiDigit(c)) return false;
    value = value * 10 + (c - u'0');
  }
  if (value > 0xFFFF) return false;
  *port = static_cast<std::uint16_t>(value);
  return true;
}

bool MustEncode(char16_t c) { return c <= u' ' || c >= 0x7F; }

std::u16string EncodeObject(std::u16string_view object) {
  static const char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string out;
  out.reserve(object.size() + 1);
  if (object.empty() || object.front() != u'/') out += u'/';
  std::size_t i = 0;
  while (i < object.size()) {
    if (!MustEncode(object[i])) {
      out += object[i++];
      continue;
    }
    // A run of characters to encode, so surrogate pairs stay together.
    std::size_t end = i;
    while (end < object.size() && MustEncode(object[end])) ++end;
    for (unsigned char byte : Utf8FromUtf16(object.substr(i, end - i))) {
      out += u'%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
    i = end;
  }
  return out;
}

}  // namespace

std::uint16_t DefaultPort(UrlService service) {
  switch (service) {
    case UrlService::kHttp:
      return 80;
    case UrlService::kHttps:
      return 443;
    case UrlService::kFtp:
      return 21;
    case UrlService::kUnknown:
      break;
  }
  return 0;
}

UrlParts SplitUrl(std::u16string_view url) {
  url = Trim(url);
  const std::size_t colon = url.find(u':');
  if (colon == std::u16string_view::npos || colon == 0 || !IsAsciiAlpha(url[0])) return {};
  const std::u16string_view scheme = url.substr(0, colon);
  for (char16_t c : scheme) {
    if (!IsSchemeChar(c)) return {};
  }
  std::u16string_view rest = url.substr(colon + 1);
  if (rest.substr(0, 2) != u"//") return {};
  rest.remove_prefix(2);

  const std::size_t authority_end = rest.find_first_of(u"/?#");
  std::u16string_view authority = rest.substr(0, authority_end);
  std::u16string_view object = authority_end == std::u16string_view::npos
                                   ? std::u16string_view()
                                   : rest.substr(authority_end);
  object = object.substr(0, object.find(u'#'));

  const std::size_t at = authority.rfind(u'@');
  if (at != std::u16string_view::npos) authority.remove_prefix(at + 1);

  std::u16string_view host;
  std::u16string_view port_text;
  if (!authority.empty() && authority.front() == u'[') {
    const std::size_t close = authority.find(u']');
    if (close == std::u16string_view::npos) return {};
    host = authority.substr(1, close - 1);
    std::u16string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != u':') return {};
      port_text = after.substr(1);
    }
  } else {
    const std::size_t port_colon = authority.rfind(u':');
    host = authority.substr(0, port_colon);
    if (port_colon != std::u16string_view::npos) port_text = authority.substr(port_colon + 1);
  }
  if (host.empty()) return {};

  UrlParts parts;
  parts.service = ServiceOf(scheme);
  if (!ParsePort(port_text, DefaultPort(parts.service), &parts.port)) return {};
  parts.valid = true;
  parts.server = std::u16string(host);
  parts.object = EncodeObject(object);
  return parts;
}

}  // namespace http
