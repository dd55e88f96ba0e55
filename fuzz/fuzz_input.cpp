#include "fuzz_input.h"

namespace fuzz {
namespace {

bool IsContinuation(std::uint8_t b) { return (b & 0xC0) == 0x80; }

}  // namespace

std::u16string DecodeText(std::string_view bytes) {
  std::u16string text;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<std::uint8_t>(bytes[i]);
    const std::size_t left = bytes.size() - i;
    auto at = [&](std::size_t k) { return static_cast<std::uint8_t>(bytes[i + k]); };
    if (b >= 0xC2 && b <= 0xDF && left >= 2 && IsContinuation(at(1))) {
      text += static_cast<char16_t>(((b & 0x1F) << 6) | (at(1) & 0x3F));
      i += 2;
      continue;
    }
    if (b >= 0xE0 && b <= 0xEF && left >= 3 && IsContinuation(at(1)) && IsContinuation(at(2))) {
      const std::uint32_t c = ((b & 0x0F) << 12) | ((at(1) & 0x3F) << 6) | (at(2) & 0x3F);
      if (c >= 0x800) {  // surrogates included on purpose
        text += static_cast<char16_t>(c);
        i += 3;
        continue;
      }
    }
    if (b >= 0xF0 && b <= 0xF4 && left >= 4 && IsContinuation(at(1)) && IsContinuation(at(2)) &&
        IsContinuation(at(3))) {
      const std::uint32_t c =
          ((b & 0x07) << 18) | ((at(1) & 0x3F) << 12) | ((at(2) & 0x3F) << 6) | (at(3) & 0x3F);
      if (c >= 0x10000 && c <= 0x10FFFF) {
        text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        i += 4;
        continue;
      }
    }
    text += static_cast<char16_t>(b);
    ++i;
  }
  return text;
}

std::vector<std::string_view> SplitInput(const std::uint8_t* data, std::size_t size,
                                         std::size_t count) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> pieces;
  while (pieces.size() + 1 < count) {
    const std::size_t at = rest.find(static_cast<char>(kSeparator));
    if (at == std::string_view::npos) break;
    pieces.push_back(rest.substr(0, at));
    rest.remove_prefix(at + 1);
  }
  pieces.push_back(rest);
  pieces.resize(count);
  return pieces;
}

}  // namespace fuzz
