#include "services/text_file_rules.h"

namespace services {

namespace {
constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kLf = 0x0A;
constexpr unsigned char kEndOfText = 0x1A;
}  // namespace

void FirstLineReader::Append(char16_t c) {
  // Nothing after a NUL can reach the result.
  if (c == u'\0' || c == u'\n') done_ = true;
  if (c != u'\0') line_.push_back(c);
}

bool FirstLineReader::Feed(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size() && !done_; ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (pending_cr_) {
      pending_cr_ = false;
      if (b == kLf) {
        Append(u'\n');
        continue;
      }
      Append(u'\r');
      if (done_) break;
    }
    if (b == kEndOfText) {
      done_ = true;
    } else if (b == kCr) {
      pending_cr_ = true;  // a pair with the next byte, which may come in the next piece
    } else {
      Append(static_cast<char16_t>(b));
    }
  }
  return !done_;
}

std::u16string FirstLineReader::Finish() {
  if (pending_cr_) {
    pending_cr_ = false;
    Append(u'\r');
  }
  done_ = true;
  if (!line_.empty() && line_.back() == u'\n') line_.pop_back();
  return line_;
}

std::u16string FirstLineOfFile(std::string_view bytes) {
  FirstLineReader reader;
  reader.Feed(bytes);
  return reader.Finish();
}

std::optional<std::string> TextFileBytes(std::u16string_view text) {
  text = text.substr(0, text.find(u'\0'));
  std::string bytes;
  bytes.reserve(text.size());
  for (char16_t c : text) {
    if (c > 0xFF) return std::nullopt;
    if (c == u'\n') bytes.push_back(static_cast<char>(kCr));
    bytes.push_back(static_cast<char>(c));
  }
  return bytes;
}

}  // namespace services
