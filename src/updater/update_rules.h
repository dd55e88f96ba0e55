// The updater's string and number rules: work folder levels, the install directory taken from
// an uninstall command, file names taken from URLs, the declared length of a response and the
// progress percentage, version comparison and the installer's expected digest.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace updater {

// The folders to create, in order, so that every level of folder exists: for each backslash
// the text up to and including it, then the whole path (when it does not end in a backslash
// already). "C:\T\a\b" -> "C:\", "C:\T\", "C:\T\a\", "C:\T\a\b".
std::vector<std::u16string> FolderLevels(std::u16string_view folder);

// The directory part of an uninstall command: the text before its last backslash; without a
// backslash the text before its last "/", except that a "/" at the second position keeps the
// whole command; with neither character, empty. Quotes are not removed.
std::u16string InstallDirectoryFromCommand(std::u16string_view command);

// The text after the last "/" of a URL (query and fragment included); the whole URL when it
// has no "/".
std::u16string FileNameFromUrl(std::u16string_view url);

// The declared length of a response from its Content-Length text, read as the runtime's
// wide-text-to-long conversion reads it (leading blanks, a sign, decimal digits up to the first
// other character, a 32-bit long that saturates) and then taken as an unsigned 32-bit count.
// Empty or unreadable text gives 0.
std::uint32_t DeclaredLengthFromText(std::u16string_view text);

// received / declared * 100 in double precision, truncated toward zero. Values above 100 are
// kept (a body longer than declared); a result beyond the 32-bit range is held at its top.
// With no declared length (0) nothing meaningful can be shown, and the result is 0.
std::int32_t ProgressPercent(std::uint32_t received, std::uint32_t declared);

// The version value an "AppVersion" entry stands for: an empty entry counts as "1.0".
std::u16string EffectiveVersion(std::u16string_view app_version);

// Compares two dotted versions part by part as whole numbers: "1.10" is newer than "1.2", and
// "1.2" equals "1.2.0" because missing parts count as 0. A part stands for the number its
// leading decimal digits spell, however long ("07" is 7, "2rc1" is 2); a part that does not
// begin with a digit ("beta", "", " 1") counts as 0, so "1.0-beta" equals "1.0". Negative when a
// is older than b, 0 when they are equal, positive when a is newer.
int CompareVersions(std::u16string_view a, std::u16string_view b);

// A SHA-256 digest, most significant byte first (the order its hexadecimal text is written in).
using Sha256Digest = std::array<std::uint8_t, 32>;

// The digest spelt by exactly 64 hexadecimal digits of either letter case; nothing else is
// accepted (no blanks, prefix or separators). Empty for any other text.
std::optional<Sha256Digest> Sha256FromHex(std::u16string_view hex);

// Whether expected_hex spells digest. A malformed text never matches.
bool DigestMatchesHex(std::u16string_view expected_hex, const Sha256Digest& digest);

}  // namespace updater
