#include "updater/update_rules.h"

#include <cmath>
#include <limits>

namespace updater {
namespace {

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

bool EqualsAsciiNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// Decimal digits only, 1 to 65535; empty text is no port.
bool ParsePort(std::u16string_view text, std::uint16_t& port) {
  if (text.empty() || text.size() > 5) return false;
  std::uint32_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
    value = value * 10 + static_cast<std::uint32_t>(c - u'0');
  }
  if (value == 0 || value > 65535) return false;
  port = static_cast<std::uint16_t>(value);
  return true;
}

bool IsBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

}  // namespace

std::vector<std::u16string> FolderLevels(std::u16string_view folder) {
  std::vector<std::u16string> levels;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    if (folder[i] == u'\\') levels.emplace_back(folder.substr(0, i + 1));
  }
  if (!folder.empty() && folder.back() != u'\\') levels.emplace_back(folder);
  return levels;
}

std::u16string InstallDirectoryFromCommand(std::u16string_view command) {
  const std::size_t backslash = command.rfind(u'\\');
  if (backslash != std::u16string_view::npos) return std::u16string(command.substr(0, backslash));
  const std::size_t slash = command.rfind(u'/');
  if (slash == std::u16string_view::npos) return {};
  // "a/b": a slash in the second position is taken for part of a drive-like name.
  if (slash == 1) return std::u16string(command);
  return std::u16string(command.substr(0, slash));
}

std::u16string FileNameFromUrl(std::u16string_view url) {
  const std::size_t slash = url.rfind(u'/');
  if (slash == std::u16string_view::npos) return std::u16string(url);
  return std::u16string(url.substr(slash + 1));
}

bool SplitUrl(std::u16string_view url, UrlParts& parts) {
  parts = UrlParts{};
  const std::size_t scheme_end = url.find(u"://");
  if (scheme_end == std::u16string_view::npos) return false;
  const std::u16string_view scheme = url.substr(0, scheme_end);
  std::uint16_t port = 0;
  if (EqualsAsciiNoCase(scheme, u"http")) {
    port = 80;
  } else if (EqualsAsciiNoCase(scheme, u"https")) {
    port = 443;
  } else {
    return false;
  }

  std::u16string_view rest = url.substr(scheme_end + 3);
  // The fragment belongs to the client; it is never sent.
  rest = rest.substr(0, rest.find(u'#'));
  const std::size_t authority_end = rest.find_first_of(u"/?");
  std::u16string_view authority = rest.substr(0, authority_end);
  std::u16string object = authority_end == std::u16string_view::npos
                              ? std::u16string(u"/")
                              : std::u16string(rest.substr(authority_end));
  if (object.front() == u'?') object.insert(object.begin(), u'/');

  const std::size_t at = authority.rfind(u'@');
  if (at != std::u16string_view::npos) authority = authority.substr(at + 1);

  std::u16string_view server;
  std::u16string_view port_text;
  if (!authority.empty() && authority.front() == u'[') {
    const std::size_t close = authority.find(u']');
    if (close == std::u16string_view::npos) return false;
    server = authority.substr(1, close - 1);
    const std::u16string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != u':') return false;
      port_text = after.substr(1);
    }
  } else {
    const std::size_t colon = authority.find(u':');
    server = authority.substr(0, colon);
    if (colon != std::u16string_view::npos) port_text = authority.substr(colon + 1);
  }
  if (server.empty()) return false;
  // "host:" names no port: the scheme's own applies.
  if (!port_text.empty() && !ParsePort(port_text, port)) return false;

  parts.server = std::u16string(server);
  parts.object = std::move(object);
  parts.port = port;
  return true;
}

std::uint32_t DeclaredLengthFromText(std::u16string_view text) {
  // A long is 32 bits on Windows; the conversion saturates at its limits.
  constexpr std::int64_t kLongMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int64_t kLongMin = std::numeric_limits<std::int32_t>::min();
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > kLongMax + 1) break;  // already out of range either way
  }
  if (negative) value = -value;
  if (value > kLongMax) value = kLongMax;
  if (value < kLongMin) value = kLongMin;
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
}

std::int32_t ProgressPercent(std::uint32_t received, std::uint32_t declared) {
  if (declared == 0) return 0;
  const double percent = std::trunc(static_cast<double>(received) / declared * 100.0);
  constexpr double kTop = std::numeric_limits<std::int32_t>::max();
  return percent >= kTop ? std::numeric_limits<std::int32_t>::max()
                         : static_cast<std::int32_t>(percent);
}

std::u16string EffectiveVersion(std::u16string_view app_version) {
  return app_version.empty() ? std::u16string(u"1.0") : std::u16string(app_version);
}

}  // namespace updater
