#include "services/registry_value_rules.h"

namespace services {

std::optional<std::u16string> TextFromRegistryValue(std::uint32_t type, std::string_view data) {
  if (type != kRegSz && type != kRegExpandSz && type != kRegMultiSz) return std::nullopt;
  if (data.size() % 2 != 0) return std::nullopt;
  std::u16string chars(data.size() / 2, u'\0');
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const auto low = static_cast<unsigned char>(data[2 * i]);
    const auto high = static_cast<unsigned char>(data[2 * i + 1]);
    chars[i] = static_cast<char16_t>(low | (high << 8));
  }
  if (chars.empty()) return chars;
  if (chars.back() != u'\0') return std::nullopt;
  if (type == kRegMultiSz && chars.size() >= 2 && chars[chars.size() - 2] != u'\0') {
    return std::nullopt;
  }
  return chars.substr(0, chars.find(u'\0'));
}

}  // namespace services
