#include "services/directory_rules.h"

#include <gtest/gtest.h>

namespace services {
namespace {

TEST(DirectoryRules, CreationOrderWalksParentsFromTheTop) {
  using List = std::vector<std::u16string>;
  const struct {
    std::u16string path;
    List order;
  } cases[] = {
      {u"C:\\a\\b\\c", {u"C:", u"C:\\a", u"C:\\a\\b", u"C:\\a\\b\\c"}},
      {u"C:\\a\\b\\", {u"C:", u"C:\\a", u"C:\\a\\b\\"}},
      {u"C:/a/b", {u"C:", u"C:\\a", u"C:/a/b"}},
      // A share: the share, the server and a single backslash are tried, each once.
      {u"\\\\server\\share\\new",
       {u"\\", u"\\\\server", u"\\\\server\\share", u"\\\\server\\share\\new"}},
      {u"name", {u"name"}},
      {u".\\name", {u".", u".\\name"}},
      {u"a\\\\\\b", {u"a\\\\", u"a\\\\\\b"}},
      {u"", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DirectoryCreationOrder(c.path), c.order) << std::string(c.path.begin(), c.path.end());
  }
}

TEST(DirectoryRules, ListingNeedsABackslashAndAppendsTheAllPattern) {
  const struct {
    std::u16string path;
    std::optional<std::u16string> directory;
    std::u16string pattern;
  } cases[] = {
      {u"C:\\a", u"C:\\a", u"C:\\a\\*.*"},
      {u"C:\\a\\", u"C:\\a\\", u"C:\\a\\*.*"},
      {u"C:/a/b/", u"C:\\a\\b\\", u"C:\\a\\b\\*.*"},
      {u".\\rel", u".\\rel", u".\\rel\\*.*"},
      {u"rel", std::nullopt, u""},
      {u"", std::nullopt, u""},
  };
  for (const auto& c : cases) {
    const auto listing = DirectoryListingFor(c.path);
    ASSERT_EQ(listing.has_value(), c.directory.has_value())
        << std::string(c.path.begin(), c.path.end());
    if (!listing) continue;
    EXPECT_EQ(listing->directory, *c.directory);
    EXPECT_EQ(listing->pattern, c.pattern);
  }
}

}  // namespace
}  // namespace services
