// Path steps of the directory services: which directories CreateDirectory tries, in which
// order, and which search DeleteDirectory lists a directory with.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace services {

// The directories to create for path: every ancestor that GetParentDirectory walks to, from
// the top down, then path itself. Empty for an empty path. The walk ends because every parent
// is shorter than its child.
std::vector<std::u16string> DirectoryCreationOrder(std::u16string_view path);

struct DirectoryListing {
  std::u16string directory;  // the path with every "/" as "\"
  std::u16string pattern;    // directory + "*.*" after a trailing "\", else + "\*.*"
};
// Empty when the path is empty or holds no "\" (or "/"): a bare relative name is refused.
std::optional<DirectoryListing> DirectoryListingFor(std::u16string_view path);

}  // namespace services
