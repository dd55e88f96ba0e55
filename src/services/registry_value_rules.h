// Which registry string values the client accepts as text, and what text they give.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace services {

// Registry value types (the platform's numbers).
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

// The text of a value as the registry returned it (type and data bytes, UTF-16 little-endian).
// Well-formed: no data at all (""), a REG_SZ or REG_EXPAND_SZ whose last character is NUL, a
// REG_MULTI_SZ whose last character is NUL and, when it has two or more characters, whose
// second-to-last is NUL too; always an even byte count. The text is the data up to its first
// NUL (the first string of a REG_MULTI_SZ; REG_EXPAND_SZ unexpanded). Empty when the type is
// not a string type or the data is malformed.
std::optional<std::u16string> TextFromRegistryValue(std::uint32_t type, std::string_view data);

}  // namespace services
