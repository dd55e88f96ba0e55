#include "report/report_rules.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "http/utf8_rules.h"

namespace report {
namespace {

bool IsAsciiAlnum(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool IsSafeByte(unsigned char b) {
  if (IsAsciiAlnum(b)) return true;
  switch (b) {
    case '!':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '-':
    case '.':
    case '/':
    case ':':
    case '_':
    case '~':
    case '%':
      return true;
    default:
      return false;
  }
}

// Cuts after the last whole UTF-8 sequence that fits in max_bytes.
void CutUtf8(std::string& bytes, std::size_t max_bytes) {
  if (bytes.size() <= max_bytes) return;
  std::size_t end = max_bytes;
  // bytes[end] exists; step back while it continues the sequence that straddles the limit.
  while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) --end;
  bytes.resize(end);
}

std::u16string FromAscii(const char* text) {
  return std::u16string(text, text + std::strlen(text));
}

std::u16string Decimal(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%d", value);
  return FromAscii(buffer);
}

}  // namespace

std::u16string EscapeReportText(std::u16string_view text) {
  static const char16_t kHex[] = u"0123456789abcdef";
  std::string bytes = http::Utf8FromUtf16(text);
  CutUtf8(bytes, kMaxEscapedBytes);
  std::u16string out;
  out.reserve(std::min(bytes.size() * 3, kMaxEscapedChars));
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (IsSafeByte(b)) {
      if (out.size() + 1 > kMaxEscapedChars) break;
      out += static_cast<char16_t>(b);
    } else {
      if (out.size() + 3 > kMaxEscapedChars) break;
      out += u'%';
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    }
  }
  return out;
}

std::u16string ReportRequestUrl(const ReportValues& values, std::u16string_view action,
                                std::u16string_view label) {
  std::u16string url(values.report_url);
  url += u"?a=";
  url += action;
  url += u"&v=";
  url += values.version;
  url += u"&s=";
  url += values.source_id;
  url += u"&p=";
  url += label;
  url += u"&c=";
  url += values.client_id;
  return url;
}

std::u16string AnalyticsHitUrl(const ReportValues& values, std::u16string_view action,
                               std::u16string_view label, int z) {
  std::u16string url(values.analytics_url);
  url += u"/collect?v=1&tid=";
  url += values.tracking_id;
  url += u"&cid=";
  url += values.client_id;
  url += u"&t=event&ec=client&ea=";
  url += action;
  url += u"&el=";
  url += label;
  url += u"&z=";
  url += Decimal(z);
  url += u"&de=UTF-8&cd1=";
  url += values.source_id;
  url += u"&cd2=";
  url += values.version;
  url += u"&cd3=";
  url += values.install_date;
  return url;
}

std::u16string SwitchScheme(std::u16string_view url, bool use_https) {
  const std::u16string_view from = use_https ? u"http://" : u"https://";
  const std::u16string_view to = use_https ? u"https://" : u"http://";
  std::u16string out;
  out.reserve(url.size() + 8);
  std::size_t start = 0;
  for (std::size_t found; (found = url.find(from, start)) != std::u16string_view::npos;
       start = found + from.size()) {
    out += url.substr(start, found - start);
    out += to;
  }
  out += url.substr(start);
  return out;
}

std::u16string SourceIdFromSetupName(std::u16string_view text) {
  const std::size_t underscore = text.find(u'_');
  if (underscore != std::u16string_view::npos && underscore != 0) {
    std::u16string_view rest = text.substr(underscore + 1);
    if (rest.empty()) return std::u16string();
    std::size_t end = 1;  // the first character is taken whatever it is
    while (end < rest.size() && IsAsciiAlnum(rest[end])) ++end;
    return std::u16string(rest.substr(0, end));
  }
  if (text.find(u'\\') != std::u16string_view::npos) return u"0";
  return std::u16string(text);
}

std::u16string ClientIdFromAddress(const HardwareAddress& address) {
  bool any = false;
  for (std::uint8_t b : address) any = any || b != 0;
  if (!any) return std::u16string();
  static const char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string id;
  for (auto it = address.rbegin(); it != address.rend(); ++it) {
    id += kHex[*it >> 4];
    id += kHex[*it & 0xF];
  }
  return id;
}

std::u16string FormatInstallDate(int year, int month, int day) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
  return FromAscii(buffer);
}

}  // namespace report
