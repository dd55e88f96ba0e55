// What the fuzz targets share: turning the fuzzer's bytes into the UTF-16 text the rules take,
// splitting one input into several arguments, and a check that stops the run with a crash the
// fuzzer records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Unlike assert, stays on in every build type; the fuzzer saves the input that tripped it.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

namespace fuzz {

// The byte that separates the arguments of one input. It never occurs in UTF-8, so seed files
// stay readable text; the character U+00FF is still reachable as C3 BF.
constexpr std::uint8_t kSeparator = 0xFF;

// UTF-8 read loosely, so that every UTF-16 string can be reached from some input and readable
// seed files mean what they say: well-formed sequences give their character (a supplementary
// one as a surrogate pair), three-byte encodings of surrogates give lone surrogate units, and
// every byte that starts no well-formed sequence gives the character of the same value.
std::u16string DecodeText(std::string_view bytes);

// The input split at each separator byte into at most count pieces (the last one keeps any
// further separators); missing pieces are empty.
std::vector<std::string_view> SplitInput(const std::uint8_t* data, std::size_t size,
                                         std::size_t count);

// A copy of a text in storage of exactly its length, so that the address sanitizer reports a
// read even one unit past its end (a std::u16string may have spare capacity there).
class ExactText {
 public:
  explicit ExactText(std::u16string_view text)
      : data_(new char16_t[text.size()]), size_(text.size()) {
    text.copy(data_.get(), size_);
  }
  std::u16string_view view() const { return std::u16string_view(data_.get(), size_); }

 private:
  std::unique_ptr<char16_t[]> data_;
  std::size_t size_;
};

inline bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

inline bool EndsWith(std::u16string_view text, std::u16string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace fuzz
