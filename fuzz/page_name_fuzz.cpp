// The page name rules on any page name and base: a resolved URL is the page itself or a prefix,
// the base, a backslash and the page; a module resource names its module suffix; and every
// parent directory is a shorter prefix of the slash-normalised path, so that walking up from
// any path ends.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "host/page_rules.h"

namespace {

void CheckParentDirectory(std::u16string_view path) {
  std::u16string normal(path);
  std::replace(normal.begin(), normal.end(), u'/', u'\\');
  const std::u16string parent = host::GetParentDirectory(path);
  FUZZ_CHECK(fuzz::StartsWith(normal, parent));
  if (normal.find_first_not_of(u'\\') == std::u16string::npos ||
      normal.find(u'\\') == std::u16string::npos) {
    FUZZ_CHECK(parent.empty());
  }
  if (!parent.empty()) {
    // What was dropped: a backslash, a name without one, any trailing backslashes.
    const std::u16string_view dropped = std::u16string_view(normal).substr(parent.size());
    FUZZ_CHECK(dropped.size() >= 2 && dropped[0] == u'\\' && dropped[1] != u'\\');
    const std::size_t name_end = dropped.find(u'\\', 1);
    if (name_end != std::u16string_view::npos) {
      FUZZ_CHECK(dropped.find_first_not_of(u'\\', name_end) == std::u16string_view::npos);
    }
  }
  // Each step up is shorter, so the walk ends within as many steps as the path has units.
  std::u16string up = parent;
  std::size_t steps = 0;
  std::size_t last_size = normal.size();
  while (!up.empty()) {
    ++steps;
    FUZZ_CHECK(up.size() < last_size && steps <= path.size());
    last_size = up.size();
    up = host::GetParentDirectory(up);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string_view> pieces = fuzz::SplitInput(data, size, 2);
  const fuzz::ExactText page(fuzz::DecodeText(pieces[0]));
  const fuzz::ExactText base(fuzz::DecodeText(pieces[1]));

  const std::u16string url = host::ResolvePageUrl(page.view(), base.view());
  if (!host::IsRelativePageName(page.view())) {
    FUZZ_CHECK(url == page.view());
  } else {
    const std::u16string tail = std::u16string(base.view()) + u"\\" + std::u16string(page.view());
    FUZZ_CHECK(fuzz::EndsWith(url, tail));
    const std::u16string_view prefix = std::u16string_view(url).substr(0, url.size() - tail.size());
    if (!host::IsRelativePageName(base.view())) {
      FUZZ_CHECK(prefix.empty());
    } else {
      FUZZ_CHECK(prefix == (host::IsModuleResourceUrl(page.view()) ? u"res://" : u"file:///"));
    }
  }

  for (const fuzz::ExactText* name : {&page, &base}) {
    if (host::IsModuleResourceUrl(name->view())) {
      std::u16string normal(name->view());
      std::replace(normal.begin(), normal.end(), u'\\', u'/');
      const std::size_t exe = normal.find(u".exe");
      const std::size_t dll = normal.find(u".dll");
      const std::size_t suffix = exe != std::u16string::npos ? exe : dll;
      FUZZ_CHECK(suffix != std::u16string::npos && suffix + 4 < normal.size());
    }
    CheckParentDirectory(name->view());
  }
  return 0;
}
