#include "updater/update_rules.h"

#include <cmath>
#include <limits>

namespace updater {
namespace {

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
