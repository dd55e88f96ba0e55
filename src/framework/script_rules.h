// Rules of the script interface that need no operating-system call: argument copies,
// dispatch numbers, the script host's command line and its error line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fx {

// The characters of a script string up to its first NUL; a null string gives "".
std::u16string CopyUpToNul(const char16_t* text, std::size_t length);

// Dispatch numbers: position in its table counted from 1 in the low 16 bits, the number of
// steps from the object's own class to the declaring class in the high 16 bits.
std::int32_t ComposeDispId(int position, int steps);
struct DispIdParts {
  int position;  // from 1
  int steps;
};
// Empty for numbers that no table entry can have (position 0, negative numbers).
std::optional<DispIdParts> SplitDispId(std::int32_t dispid);

// The base name of a program file without its extension: "C:\a\miravolt.exe" -> "miravolt".
std::u16string ProgramNameFromPath(std::u16string_view path);

// "script error 0x%08X: description" as the script host reports an escaped error.
std::u16string FormatScriptError(std::uint32_t code, std::u16string_view description);

// Command line of the headless script host: [--class main|page|base] FILE.js
enum class WindowClass { kMain, kPage, kBase };
struct ScriptCommandLine {
  WindowClass window_class = WindowClass::kMain;
  std::u16string file;
};
// Empty when the arguments (without the program path) do not fit the usage.
std::optional<ScriptCommandLine> ParseScriptCommandLine(const std::vector<std::u16string>& args);

}  // namespace fx
