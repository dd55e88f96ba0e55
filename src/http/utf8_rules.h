// UTF-8 bytes of UTF-16 text, for the parts of a request that go on the wire as 8-bit text.
#pragma once

#include <string>
#include <string_view>

namespace http {

// A lone surrogate becomes U+FFFD, as the platform converter makes it.
std::string Utf8FromUtf16(std::u16string_view text);

}  // namespace http
