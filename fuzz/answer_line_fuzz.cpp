// FirstLineOfAnswer and HoldsFirstLine on any answer bytes: nothing after the first line feed
// counts, every byte before it except carriage returns makes half a unit, and no line-feed
// unit survives.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "http/transfer_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string line = http::FirstLineOfAnswer(bytes);

  const std::size_t feed = bytes.find('\n');
  const bool holds = http::HoldsFirstLine(bytes);
  FUZZ_CHECK(holds == (feed != std::string_view::npos));
  const std::string_view first = holds ? bytes.substr(0, feed + 1) : bytes;
  std::size_t kept = 0;
  for (char b : first) kept += b != '\r';
  const std::size_t units = (kept + 1) / 2;
  FUZZ_CHECK(line.size() == units || line.size() + 1 == units);
  FUZZ_CHECK(line.find(u'\n') == std::u16string::npos);

  // The reader may stop reading as soon as it holds the line.
  if (holds) {
    FUZZ_CHECK(http::FirstLineOfAnswer(first) == line);
    for (std::size_t end = feed + 1; end < size; end += 1 + end % 7) {
      FUZZ_CHECK(http::HoldsFirstLine(bytes.substr(0, end)));
    }
  }
  return 0;
}
