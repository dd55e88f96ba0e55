// The updater's string and number rules: work folder levels, the install directory taken from
// an uninstall command, file names taken from URLs, the declared length of a response and the
// progress percentage.
#pragma once

#include <cstdint>
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

}  // namespace updater
