#include "http/transfer_rules.h"

#include <algorithm>

namespace http {

std::uint32_t RequestFlags(Transfer transfer, std::uint16_t port) {
  const bool secure = port == kSecurePort;
  const std::uint32_t secure_flags = kFlagSecure | kFlagIgnoreCertCnInvalid;
  switch (transfer) {
    case Transfer::kGet:
      return kFlagReload | kFlagNoCacheWrite | (secure ? secure_flags : 0);
    case Transfer::kPost:
      return kFlagReload | kFlagNoCacheWrite |
             (secure ? secure_flags | kFlagIgnoreCertDateInvalid : 0);
    case Transfer::kDownload:
      return kFlagReload | (secure ? secure_flags : 0);
    case Transfer::kUpload:
      return kFlagExistingConnect | (secure ? secure_flags : 0);
  }
  return 0;
}

std::optional<std::size_t> PostBodyLength(std::int32_t length, std::size_t storage_bytes) {
  if (length < 0) return std::nullopt;
  return std::min(static_cast<std::size_t>(length), storage_bytes);
}

std::u16string FirstLineOfAnswer(std::string_view bytes) {
  std::string line;
  for (char b : bytes) {
    if (b == '\r') continue;
    line += b;
    if (b == '\n') break;
  }
  std::u16string text;
  text.reserve((line.size() + 1) / 2);
  for (std::size_t i = 0; i < line.size(); i += 2) {
    const auto low = static_cast<unsigned char>(line[i]);
    const auto high = i + 1 < line.size() ? static_cast<unsigned char>(line[i + 1]) : 0u;
    text += static_cast<char16_t>(low | (high << 8));
  }
  if (!text.empty() && text.back() == u'\n') text.pop_back();
  return text;
}

bool HoldsFirstLine(std::string_view bytes) { return bytes.find('\n') != std::string_view::npos; }

std::optional<std::uint64_t> ParseContentLength(std::u16string_view text) {
  while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    const std::uint64_t digit = c - u'0';
    if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace http
