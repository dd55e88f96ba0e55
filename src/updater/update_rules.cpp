#include "updater/update_rules.h"

#include <cmath>
#include <limits>

namespace updater {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The leading digits of a version part without their leading zeros: as long as it is, so that
// no part is too large to compare.
std::u16string_view PartNumber(std::u16string_view part) {
  std::size_t end = 0;
  while (end < part.size() && IsDigit(part[end])) ++end;
  std::size_t start = 0;
  while (start < end && part[start] == u'0') ++start;
  return part.substr(start, end - start);
}

// The part of version that starts at *position, moving *position past its dot; an empty part
// once the version is used up.
std::u16string_view NextPart(std::u16string_view version, std::size_t* position) {
  if (*position >= version.size()) return {};
  const std::size_t dot = version.find(u'.', *position);
  const std::size_t end = dot == std::u16string_view::npos ? version.size() : dot;
  const std::u16string_view part = version.substr(*position, end - *position);
  *position = dot == std::u16string_view::npos ? version.size() : dot + 1;
  return part;
}

int HexValue(char16_t c) {
  if (IsDigit(c)) return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

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

int CompareVersions(std::u16string_view a, std::u16string_view b) {
  std::size_t in_a = 0;
  std::size_t in_b = 0;
  while (in_a < a.size() || in_b < b.size()) {
    const std::u16string_view number_a = PartNumber(NextPart(a, &in_a));
    const std::u16string_view number_b = PartNumber(NextPart(b, &in_b));
    // Without leading zeros the longer number is the larger; equal lengths compare digit by
    // digit.
    if (number_a.size() != number_b.size()) return number_a.size() < number_b.size() ? -1 : 1;
    const int order = number_a.compare(number_b);
    if (order != 0) return order < 0 ? -1 : 1;
  }
  return 0;
}

std::optional<Sha256Digest> Sha256FromHex(std::u16string_view hex) {
  Sha256Digest digest{};
  if (hex.size() != digest.size() * 2) return std::nullopt;
  for (std::size_t i = 0; i < digest.size(); ++i) {
    const int high = HexValue(hex[2 * i]);
    const int low = HexValue(hex[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    digest[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return digest;
}

bool DigestMatchesHex(std::u16string_view expected_hex, const Sha256Digest& digest) {
  const std::optional<Sha256Digest> expected = Sha256FromHex(expected_hex);
  return expected && *expected == digest;
}

}  // namespace updater
