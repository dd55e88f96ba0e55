// The rules of the usage reports that need no operating-system call: the escaping of
// StartReportZh, the two request URLs, the scheme switch and the identity value formats.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace report {

// StartReportZh escapes each argument to UTF-8 of at most this many bytes (cut after the last
// whole character), then to at most this many characters (an escape sequence that would not fit
// whole is dropped with everything after it).
constexpr std::size_t kMaxEscapedBytes = 2000;
constexpr std::size_t kMaxEscapedChars = 2000;

// UTF-8 percent-encoding with lower-case hexadecimal digits. Kept as they are: ASCII letters and
// digits, ! ' ( ) * - . / : _ ~ and "%" itself (so text that is already escaped passes
// unchanged). Lone surrogates are encoded as U+FFFD. The result is pure ASCII.
std::u16string EscapeReportText(std::u16string_view text);

// The values every report carries, as the report settings hold them.
struct ReportValues {
  std::u16string_view report_url;     // base of the report request, query appended
  std::u16string_view analytics_url;  // scheme and host of the collection endpoint
  std::u16string_view tracking_id;
  std::u16string_view version;
  std::u16string_view source_id;
  std::u16string_view client_id;
  std::u16string_view install_date;
};

// "<report url>?a=<action>&v=<version>&s=<source>&p=<label>&c=<client>"; every value is inserted
// as it is.
std::u16string ReportRequestUrl(const ReportValues& values, std::u16string_view action,
                                std::u16string_view label);

// The analytics event hit: category "client", action and label as given, cache buster z,
// dimensions 1 to 3 = source ID, version, installation date. Values inserted as they are.
std::u16string AnalyticsHitUrl(const ReportValues& values, std::u16string_view action,
                               std::u16string_view label, int z);

// Every "http://" becomes "https://" (use_https) or every "https://" becomes "http://";
// letter case counts, so "HTTP://" stays as written.
std::u16string SwitchScheme(std::u16string_view url, bool use_https);

// The source ID named by the uninstall entry's "SourceID" text: after a first "_" that is not
// the first character, the character right after it and the ASCII letters and digits that
// follow; otherwise "0" for text holding a "\" (a path, not a channel name); otherwise the text.
std::u16string SourceIdFromSetupName(std::u16string_view text);

// Twelve upper-case hexadecimal digits of the six address bytes, last byte first; empty when
// all six bytes are zero (such an adapter names no machine).
using HardwareAddress = std::array<std::uint8_t, 6>;
std::u16string ClientIdFromAddress(const HardwareAddress& address);

// "%04d-%02d-%02d".
std::u16string FormatInstallDate(int year, int month, int day);

}  // namespace report
