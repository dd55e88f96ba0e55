// The small text files of ReadFileContent and WriteFileContent: one byte per character (byte b
// is U+00bb), CR LF in the file for LF in the text, no byte-order mark, and a 0x1A byte ending
// the readable text, as a text-mode stream without a locale has them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace services {

// Builds the first line of a file from its bytes, fed in pieces of any size.
class FirstLineReader {
 public:
  // Takes the next bytes of the file; returns false once the line is settled and no further
  // byte can change it.
  bool Feed(std::string_view bytes);

  // The line as it stands at the end of the file (or once Feed returned false): CR LF read as
  // LF, a lone CR kept, the ending LF removed, cut before a NUL.
  std::u16string Finish();

 private:
  void Append(char16_t c);

  std::u16string line_;
  bool pending_cr_ = false;
  bool done_ = false;
};

// The whole first line of a file held in memory.
std::u16string FirstLineOfFile(std::string_view bytes);

// The file bytes for a text: the characters up to the first NUL, each one byte, every LF as
// CR LF (a CR LF in the text becomes CR CR LF). Empty when a character before the first NUL is
// above U+00FF: such a text cannot be written at all.
std::optional<std::string> TextFileBytes(std::u16string_view text);

}  // namespace services
