// The updater's rules on any text: folder levels are growing prefixes, the install directory a
// prefix and the file name a tail of what they come from, the declared length reads as the C
// runtime reads a number, the progress stays within a unit of the exact percentage, versions
// compare as an order, and a digest reads back as the hexadecimal text it came from.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "updater/update_rules.h"

namespace {

void CheckFolderLevels(std::u16string_view folder) {
  const std::vector<std::u16string> levels = updater::FolderLevels(folder);
  std::size_t backslashes = 0;
  for (char16_t c : folder) backslashes += c == u'\\';
  const bool whole_too = !folder.empty() && folder.back() != u'\\';
  FUZZ_CHECK(levels.size() == backslashes + (whole_too ? 1 : 0));
  std::size_t last_size = 0;
  for (std::size_t i = 0; i < levels.size(); ++i) {
    FUZZ_CHECK(fuzz::StartsWith(folder, levels[i]) && levels[i].size() > last_size);
    last_size = levels[i].size();
    if (i + 1 < levels.size() || !whole_too) FUZZ_CHECK(levels[i].back() == u'\\');
  }
  if (!levels.empty()) FUZZ_CHECK(levels.back() == folder);
}

// The runtime's reading of a number, for text that is plain ASCII without NUL.
std::uint32_t RuntimeLength(std::u16string_view text) {
  const std::string narrow(text.begin(), text.end());
  const long long value = std::strtoll(narrow.c_str(), nullptr, 10);
  const long long low = std::numeric_limits<std::int32_t>::min();
  const long long high = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(value < low    ? low
                                                              : value > high ? high
                                                                             : value));
}

std::u16string LowerHex(const updater::Sha256Digest& digest) {
  static const char16_t kHex[] = u"0123456789abcdef";
  std::u16string text;
  for (std::uint8_t b : digest) {
    text += kHex[b >> 4];
    text += kHex[b & 0xF];
  }
  return text;
}

std::u16string AsciiLower(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if (c >= u'A' && c <= u'Z') c = c - u'A' + u'a';
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string_view> pieces = fuzz::SplitInput(data, size, 2);
  const fuzz::ExactText a(fuzz::DecodeText(pieces[0]));
  const fuzz::ExactText b(fuzz::DecodeText(pieces[1]));

  CheckFolderLevels(a.view());

  const std::u16string directory = updater::InstallDirectoryFromCommand(a.view());
  FUZZ_CHECK(fuzz::StartsWith(a.view(), directory));
  const std::u16string name = updater::FileNameFromUrl(a.view());
  FUZZ_CHECK(fuzz::EndsWith(a.view(), name) && name.find(u'/') == std::u16string::npos);

  bool plain = true;
  for (char16_t c : a.view()) plain = plain && c > 0 && c < 0x80;
  const std::uint32_t declared = updater::DeclaredLengthFromText(a.view());
  if (plain) FUZZ_CHECK(declared == RuntimeLength(a.view()));

  if (size >= 8) {
    std::uint32_t received = 0;
    std::uint32_t total = 0;
    std::memcpy(&received, data, 4);
    std::memcpy(&total, data + 4, 4);
    const std::int32_t percent = updater::ProgressPercent(received, total);
    if (total == 0) {
      FUZZ_CHECK(percent == 0);
    } else {
      const std::uint64_t exact = static_cast<std::uint64_t>(received) * 100 / total;
      const std::int64_t top = std::numeric_limits<std::int32_t>::max();
      const std::int64_t expected = exact > static_cast<std::uint64_t>(top) ? top : exact;
      FUZZ_CHECK(percent >= 0 && percent <= expected && std::int64_t{percent} + 1 >= expected);
    }
  }

  const int order = updater::CompareVersions(a.view(), b.view());
  FUZZ_CHECK(order == -1 || order == 0 || order == 1);
  FUZZ_CHECK(updater::CompareVersions(b.view(), a.view()) == -order);
  FUZZ_CHECK(updater::CompareVersions(a.view(), a.view()) == 0);
  FUZZ_CHECK(updater::CompareVersions(a.view(), std::u16string(a.view()) + u".0") == 0);

  for (const fuzz::ExactText* hex : {&a, &b}) {
    const std::optional<updater::Sha256Digest> digest = updater::Sha256FromHex(hex->view());
    if (digest) {
      FUZZ_CHECK(LowerHex(*digest) == AsciiLower(hex->view()));
      FUZZ_CHECK(updater::DigestMatchesHex(hex->view(), *digest));
    } else {
      FUZZ_CHECK(!updater::DigestMatchesHex(hex->view(), updater::Sha256Digest{}));
    }
  }
  return 0;
}
