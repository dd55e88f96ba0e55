#include "services/directory_rules.h"

#include <algorithm>

#include "host/page_rules.h"

namespace services {

std::vector<std::u16string> DirectoryCreationOrder(std::u16string_view path) {
  std::vector<std::u16string> order;
  if (path.empty()) return order;
  order.emplace_back(path);
  for (std::u16string parent = host::GetParentDirectory(path); !parent.empty();
       parent = host::GetParentDirectory(parent)) {
    order.push_back(parent);
  }
  std::reverse(order.begin(), order.end());
  return order;
}

std::optional<DirectoryListing> DirectoryListingFor(std::u16string_view path) {
  std::u16string directory(path);
  std::replace(directory.begin(), directory.end(), u'/', u'\\');
  if (directory.find(u'\\') == std::u16string::npos) return std::nullopt;
  std::u16string pattern = directory;
  pattern += directory.back() == u'\\' ? u"*.*" : u"\\*.*";
  return DirectoryListing{std::move(directory), std::move(pattern)};
}

}  // namespace services
