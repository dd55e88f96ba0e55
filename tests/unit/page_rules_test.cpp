#include "host/page_rules.h"

#include <gtest/gtest.h>

namespace host {
namespace {

TEST(PageRules, RelativeAndAbsolutePageNames) {
  const struct {
    std::u16string name;
    bool relative;
  } cases[] = {
      {u"res/index.html", true},
      {u"http://example.test/a.html", false},
      {u"HTTP://example.test/a.html", true},  // the scheme test is case-sensitive
      {u"www.example.test", false},
      {u"ftp://host/x", false},
      {u"res://C:\\P\\miravolt.exe/105", false},
      {u"file:///C:/P/a.html", false},
      {u"file:\\\\\\C:\\P\\res", false},  // backslashes count as slashes
      {u"file://C:/P/a.html", true},
      {u"C:\\P\\a.html", true},
      {u"", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsRelativePageName(c.name), c.relative) << std::string(c.name.begin(), c.name.end());
  }
}

TEST(PageRules, ModuleResourceNames) {
  const struct {
    std::u16string name;
    bool resource;
  } cases[] = {
      {u"miravolt.exe/105", true}, {u"C:\\P\\miravolt.exe\\105", true},
      {u"a.exeX12", true},  // the character after the suffix is not examined
      {u"a.exe/12a", false},       {u"b.exe.dll/5", false},  // ".exe" decides; ".dll" is not tried
      {u"lib.dll/7/", true},       {u"a.exe/", true},
      {u"a.exe", false},  // nothing after the suffix: no resource number
      {u"a.dll", false},           {u"a.EXE/5", false},
      {u"res/index.html", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsModuleResourceUrl(c.name), c.resource) << std::string(c.name.begin(), c.name.end());
  }
}

TEST(PageRules, ResolvePageUrl) {
  const struct {
    std::u16string page, base, url;
  } cases[] = {
      {u"res/index.html", u"C:\\P", u"file:///C:\\P\\res/index.html"},
      {u"miravolt.exe/105", u"C:\\P", u"res://C:\\P\\miravolt.exe/105"},
      {u"http://example.test/a.html", u"C:\\P", u"http://example.test/a.html"},
      {u"HTTP://example.test/a.html", u"C:\\P", u"file:///C:\\P\\HTTP://example.test/a.html"},
      {u"b.html", u"file:\\\\\\C:\\P\\res", u"file:\\\\\\C:\\P\\res\\b.html"},
      {u"b.html", u"file:///C:/P/res", u"file:///C:/P/res\\b.html"},
      {u"b.html", u"", u"file:///\\b.html"},
      {u"b.html", u"http://example.test/dir", u"http://example.test/dir\\b.html"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolvePageUrl(c.page, c.base), c.url) << std::string(c.page.begin(), c.page.end());
  }
}

TEST(PageRules, ParentDirectory) {
  const struct {
    std::u16string path, parent;
  } cases[] = {
      {u"C:\\a\\b\\c.txt", u"C:\\a\\b"},
      {u"C:\\a\\b\\", u"C:\\a"},
      {u"C:\\a", u"C:"},
      {u"C:\\", u""},
      {u"name", u""},
      {u"\\\\server\\share", u"\\\\server"},
      {u"\\\\server", u"\\"},
      {u"\\", u""},
      {u"", u""},
      {u"C:/a/b/c.txt", u"C:\\a\\b"},
      {u"file:///C:/P/res/a.html", u"file:\\\\\\C:\\P\\res"},
      {u"C:\\a\\\\\\", u"C:"},  // trailing separators dropped one by one
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetParentDirectory(c.path), c.parent) << std::string(c.path.begin(), c.path.end());
  }
}

TEST(PageRules, LocalPageUrls) {
  EXPECT_TRUE(IsLocalPageUrl(u"file:///C:/P/a.html"));
  EXPECT_TRUE(IsLocalPageUrl(u"res://C:\\P\\miravolt.exe/105"));
  EXPECT_TRUE(IsLocalPageUrl(u"C:\\P\\a.html"));
  EXPECT_TRUE(IsLocalPageUrl(u"x:"));
  EXPECT_FALSE(IsLocalPageUrl(u"http://example.test/"));
  EXPECT_FALSE(IsLocalPageUrl(u"FILE:///C:/a.html"));
  EXPECT_FALSE(IsLocalPageUrl(u"C"));
  EXPECT_FALSE(IsLocalPageUrl(u""));
}

TEST(PageRules, Selectors) {
  const struct {
    std::u16string selector;
    SelectorKind kind;
    std::u16string key;
  } cases[] = {
      {u"#main", SelectorKind::kId, u"main"},
      {u"##main", SelectorKind::kId, u"#main"},
      {u".container", SelectorKind::kClassName, u"container"},
      {u".a b", SelectorKind::kClassName, u"a b"},
      {u"div", SelectorKind::kTagName, u"div"},
      {u"", SelectorKind::kTagName, u""},
      {u"#", SelectorKind::kId, u""},
  };
  for (const auto& c : cases) {
    const Selector s = ParseSelector(c.selector);
    EXPECT_EQ(s.kind, c.kind);
    EXPECT_EQ(s.key, c.key);
  }
}

TEST(PageRules, Centring) {
  // Element 400x300 at (10, 20) in a window; owner element 800x600 at (0, 0), owner at (100, 50).
  const Point over = CenterOverOwner({10, 20, 410, 320}, {0, 0, 800, 600}, 100, 50);
  EXPECT_EQ(over.x, 200 - 10 + 100);
  EXPECT_EQ(over.y, 150 - 20 + 50);
  const Point on = CenterOnDesktop({0, 0, 400, 300}, {0, 0, 1920, 1080});
  EXPECT_EQ(on.x, 760);
  EXPECT_EQ(on.y, 390);
  // Signed division truncates toward zero: an element wider than the desktop by an odd amount.
  const Point wide = CenterOnDesktop({0, 0, 1925, 1085}, {0, 0, 1920, 1080});
  EXPECT_EQ(wide.x, -2);
  EXPECT_EQ(wide.y, -2);
  // Extreme rectangles do not overflow (the sanitizers would stop here).
  const Point extreme = CenterOnDesktop({-2147483647 - 1, 0, 2147483647, 0}, {0, 0, 1920, 1080});
  EXPECT_EQ(extreme.x,
            static_cast<std::int32_t>(std::int64_t{1920 - 4294967295LL} / 2 + 2147483648LL));
  // The desktop's own origin is not added.
  const Point shifted = CenterOnDesktop({0, 0, 100, 100}, {50, 50, 250, 250});
  EXPECT_EQ(shifted.x, 50);
  EXPECT_EQ(shifted.y, 50);
}

TEST(PageRules, UserMessageScript) {
  EXPECT_EQ(UserMessageScript(5, -1), u"UI.onUserMessage(5, -1);");
  EXPECT_EQ(UserMessageScript(1000, 0), u"UI.onUserMessage(1000, 0);");
  EXPECT_EQ(UserMessageScript(-2147483647 - 1, 2147483647),
            u"UI.onUserMessage(-2147483648, 2147483647);");
}

}  // namespace
}  // namespace host
