// The one-byte text format on any bytes: the first line read in pieces of any size equals the
// line read at once, also when feeding goes on after the reader settled; and any text that can
// be written reads back as its first line.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "services/text_file_rules.h"

namespace {

// Piece lengths from 0 to 16 in an order that the input's first byte picks.
std::size_t PieceLength(std::uint8_t seed, std::size_t index) { return (seed + 7 * index) % 17; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string line = services::FirstLineOfFile(bytes);
  FUZZ_CHECK(line.size() <= size);
  for (char16_t c : line) FUZZ_CHECK(c != u'\0' && c != u'\n' && c <= 0xFF);

  const std::uint8_t seed = size ? data[0] : 0;
  services::FirstLineReader stopping;  // stops feeding once the line is settled
  services::FirstLineReader eager;     // feeds everything regardless
  bool settled = false;
  std::size_t at = 0;
  for (std::size_t index = 0; at < size; ++index) {
    const std::string_view piece = bytes.substr(at, PieceLength(seed, index));
    at += piece.size();
    if (!settled) settled = !stopping.Feed(piece);
    eager.Feed(piece);
  }
  FUZZ_CHECK(stopping.Finish() == line);
  FUZZ_CHECK(eager.Finish() == line);

  // The same input as a text to write.
  const std::u16string text = fuzz::DecodeText(bytes);
  const std::u16string_view written = std::u16string_view(text).substr(0, text.find(u'\0'));
  const std::optional<std::string> file = services::TextFileBytes(fuzz::ExactText(text).view());
  bool narrow = true;
  std::size_t feeds = 0;
  for (char16_t c : written) {
    narrow = narrow && c <= 0xFF;
    feeds += c == u'\n';
  }
  FUZZ_CHECK(file.has_value() == narrow);
  if (file) {
    FUZZ_CHECK(file->size() == written.size() + feeds);
    const std::u16string_view expected = written.substr(0, written.find_first_of(u"\n\x1A"));
    FUZZ_CHECK(services::FirstLineOfFile(*file) == expected);
  }
  return 0;
}
