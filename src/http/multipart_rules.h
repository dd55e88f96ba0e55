// The framing of a single-part multipart/form-data upload: the request header text, the part
// head before the file bytes and the tail after them, and the announced body length.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace http {

// Two lines separated by CRLF:
//   Content-Type: multipart/form-data; boundary=<boundary>
//   User-Agent: <user_agent>
std::u16string UploadHeaderText(std::u16string_view boundary, std::u16string_view user_agent);

// Whether the boundary can delimit the body: not empty, and printable ASCII only, so the
// header and the body carry it as the same bytes.
bool IsUsableBoundary(std::u16string_view boundary);

// "--<boundary>" CRLF "Content-Disposition: form-data; <disposition>" CRLF
// "Content-Type: application/octet-stream " CRLF CRLF, as UTF-8 bytes.
std::string PartHead(std::u16string_view boundary, std::u16string_view disposition);

// CRLF "--<boundary>--" CRLF, as UTF-8 bytes.
std::string PartTail(std::u16string_view boundary);

// The body length announced before sending; empty when it does not fit in 32 bits.
std::optional<std::uint32_t> AnnouncedLength(std::uint64_t head_bytes, std::uint64_t file_bytes,
                                             std::uint64_t tail_bytes);

}  // namespace http
