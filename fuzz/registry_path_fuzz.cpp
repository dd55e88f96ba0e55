// SplitRegistryPath and RootIndexFromName on any text: the root is the text before the first
// backslash, the sub-key a tail of the path right after a separator, and a root name is found
// whatever the letter case of its ASCII letters, and only then.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_input.h"
#include "services/registry_path_rules.h"

namespace {

std::u16string WithAsciiCase(std::u16string_view text, bool upper) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if (upper && c >= u'a' && c <= u'z') c = c - u'a' + u'A';
    if (!upper && c >= u'A' && c <= u'Z') c = c - u'A' + u'a';
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::ExactText path(
      fuzz::DecodeText(std::string_view(reinterpret_cast<const char*>(data), size)));
  const std::u16string_view p = path.view();
  const services::RegistryPath split = services::SplitRegistryPath(p);

  const std::size_t backslash = p.find(u'\\');
  FUZZ_CHECK(split.root.find(u'\\') == std::u16string::npos);
  if (backslash == std::u16string_view::npos) {
    FUZZ_CHECK(split.root.empty());
  } else {
    FUZZ_CHECK(split.root.size() == backslash && fuzz::StartsWith(p, split.root));
  }
  FUZZ_CHECK(fuzz::EndsWith(p, split.sub_key));
  if (!split.sub_key.empty()) {
    const char16_t before = p[p.size() - split.sub_key.size() - 1];
    FUZZ_CHECK(before == u'\\' || before == u'/');
  }
  if (p.find_first_of(u"\\/") == std::u16string_view::npos) FUZZ_CHECK(split.sub_key.empty());

  for (std::u16string_view name : {p, std::u16string_view(split.root)}) {
    const std::optional<std::size_t> index = services::RootIndexFromName(name);
    const std::u16string upper = WithAsciiCase(name, true);
    if (index) {
      FUZZ_CHECK(*index < services::kRegistryRootCount);
      FUZZ_CHECK(upper == services::kRegistryRootNames[*index]);
    }
    for (std::size_t i = 0; i < services::kRegistryRootCount; ++i) {
      if (upper == services::kRegistryRootNames[i]) FUZZ_CHECK(index == i);
    }
    FUZZ_CHECK(services::RootIndexFromName(WithAsciiCase(name, true)) == index);
    FUZZ_CHECK(services::RootIndexFromName(WithAsciiCase(name, false)) == index);
  }
  return 0;
}
