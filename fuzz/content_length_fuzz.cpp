// ParseContentLength on any text: a number comes only from decimal digits between blanks and
// spells them back without leading zeros; digits between blanks are refused only when their
// value is beyond 64 bits.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_input.h"
#include "http/transfer_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::ExactText text(
      fuzz::DecodeText(std::string_view(reinterpret_cast<const char*>(data), size)));
  const std::optional<std::uint64_t> value = http::ParseContentLength(text.view());

  std::u16string_view trimmed = text.view();
  while (!trimmed.empty() && (trimmed.front() == u' ' || trimmed.front() == u'\t')) {
    trimmed.remove_prefix(1);
  }
  while (!trimmed.empty() && (trimmed.back() == u' ' || trimmed.back() == u'\t')) {
    trimmed.remove_suffix(1);
  }
  bool digits = !trimmed.empty();
  for (char16_t c : trimmed) digits = digits && c >= u'0' && c <= u'9';
  std::u16string_view significant = trimmed;
  while (significant.size() > 1 && significant.front() == u'0') significant.remove_prefix(1);

  if (value) {
    FUZZ_CHECK(digits);
    const std::string spelled = std::to_string(*value);
    FUZZ_CHECK(std::u16string(spelled.begin(), spelled.end()) == significant);
  } else if (digits) {
    constexpr std::u16string_view kTop = u"18446744073709551615";
    FUZZ_CHECK(significant.size() > kTop.size() ||
               (significant.size() == kTop.size() && significant > kTop));
  }
  return 0;
}
