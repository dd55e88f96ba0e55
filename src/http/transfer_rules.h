// The rules of the page transfers that need no network: request flags, the POST body length
// and the reading of the first line of an answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace http {

// The request flag values of the platform's HTTP client.
constexpr std::uint32_t kFlagReload = 0x80000000;
constexpr std::uint32_t kFlagExistingConnect = 0x20000000;
constexpr std::uint32_t kFlagNoCacheWrite = 0x04000000;
constexpr std::uint32_t kFlagSecure = 0x00800000;
constexpr std::uint32_t kFlagIgnoreCertDateInvalid = 0x00002000;
constexpr std::uint32_t kFlagIgnoreCertCnInvalid = 0x00001000;

// Added to every request's security flags before it is sent: ignore revocation and unknown
// certificate authorities.
constexpr std::uint32_t kRelaxedSecurityFlags = 0x00000180;

// The secure connection is chosen by the port alone, never by the scheme: "https://h:8443/"
// goes out in the clear and "http://h:443/" over TLS. Only POST accepts an expired server
// certificate; downloads and uploads are treated as GET is.
enum class Transfer { kGet, kPost, kDownload, kUpload };
constexpr std::uint16_t kSecurePort = 443;
std::uint32_t RequestFlags(Transfer transfer, std::uint16_t port);

// The number of bytes of the data's storage that a POST sends: length, but never more than
// the storage holds. Empty for a negative length: nothing is sent.
std::optional<std::size_t> PostBodyLength(std::int32_t length, std::size_t storage_bytes);

// The first line of an answer as the platform's line reader gives it: carriage-return bytes
// are dropped, reading stops after the first line-feed byte, the bytes are taken in pairs as
// little-endian UTF-16 units (an odd last byte with a zero high byte) and a final U+000A unit
// is removed. A UTF-16LE answer therefore comes back as its text, an 8-bit one as characters
// built from byte pairs.
std::u16string FirstLineOfAnswer(std::string_view bytes);

// Whether the answer read so far holds the whole first line.
bool HoldsFirstLine(std::string_view bytes);

// The value of a Content-Length header: decimal digits with optional surrounding blanks.
// Empty for anything else, so a body without a usable announcement is taken as it comes.
std::optional<std::uint64_t> ParseContentLength(std::u16string_view text);

}  // namespace http
