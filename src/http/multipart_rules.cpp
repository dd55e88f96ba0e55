#include "http/multipart_rules.h"

#include "http/utf8_rules.h"

namespace http {

std::u16string UploadHeaderText(std::u16string_view boundary, std::u16string_view user_agent) {
  std::u16string text = u"Content-Type: multipart/form-data; boundary=";
  text += boundary;
  text += u"\r\nUser-Agent: ";
  text += user_agent;
  return text;
}

bool IsUsableBoundary(std::u16string_view boundary) {
  if (boundary.empty()) return false;
  for (char16_t c : boundary) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

std::string PartHead(std::u16string_view boundary, std::u16string_view disposition) {
  return "--" + Utf8FromUtf16(boundary) + "\r\nContent-Disposition: form-data; " +
         Utf8FromUtf16(disposition) + "\r\nContent-Type: application/octet-stream \r\n\r\n";
}

std::string PartTail(std::u16string_view boundary) {
  return "\r\n--" + Utf8FromUtf16(boundary) + "--\r\n";
}

std::optional<std::uint32_t> AnnouncedLength(std::uint64_t head_bytes, std::uint64_t file_bytes,
                                             std::uint64_t tail_bytes) {
  constexpr std::uint64_t kMax = 0xFFFFFFFFu;
  if (head_bytes > kMax || file_bytes > kMax || tail_bytes > kMax) return std::nullopt;
  const std::uint64_t total = head_bytes + file_bytes + tail_bytes;
  if (total > kMax) return std::nullopt;
  return static_cast<std::uint32_t>(total);
}

}  // namespace http
