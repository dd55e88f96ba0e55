#include "framework/script_rules.h"

#include <gtest/gtest.h>

namespace fx {
namespace {

TEST(ScriptRules, CopyUpToNulStopsAtTheFirstNul) {
  const struct {
    std::u16string input;
    std::u16string expected;
  } cases[] = {
      {u"", u""},
      {u"abc", u"abc"},
      {std::u16string(u"ab\0cd", 5), u"ab"},
      {std::u16string(u"\0x", 2), u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CopyUpToNul(c.input.data(), c.input.size()), c.expected);
  }
  EXPECT_EQ(CopyUpToNul(nullptr, 5), u"");
}

TEST(ScriptRules, DispIdsRoundTripAndRejectImpossibleNumbers) {
  EXPECT_EQ(ComposeDispId(1, 0), 1);
  EXPECT_EQ(ComposeDispId(59, 1), 59 | (1 << 16));
  EXPECT_EQ(ComposeDispId(13, 2), 13 | (2 << 16));
  for (int steps = 0; steps < 3; ++steps) {
    for (int position : {1, 2, 59, 0xFFFF}) {
      const auto parts = SplitDispId(ComposeDispId(position, steps));
      ASSERT_TRUE(parts.has_value());
      EXPECT_EQ(parts->position, position);
      EXPECT_EQ(parts->steps, steps);
    }
  }
  EXPECT_FALSE(SplitDispId(0).has_value());
  EXPECT_FALSE(SplitDispId(-1).has_value());
  EXPECT_FALSE(SplitDispId(1 << 16).has_value());  // position 0
}

TEST(ScriptRules, ProgramNameIsTheFileNameWithoutExtension) {
  const struct {
    std::u16string path;
    std::u16string name;
  } cases[] = {
      {u"C:\\Program Files\\Miravolt\\miravolt.exe", u"miravolt"},
      {u"C:/x/update.exe", u"update"},
      {u"miravolt-script.exe", u"miravolt-script"},
      {u"C:\\a.b\\noext", u"noext"},
      {u"C:\\x\\archive.tar.exe", u"archive.tar"},
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgramNameFromPath(c.path), c.name);
}

TEST(ScriptRules, ScriptErrorLine) {
  EXPECT_EQ(FormatScriptError(0x80020009u, u"boom"), u"script error 0x80020009: boom");
  EXPECT_EQ(FormatScriptError(0x1u, u""), u"script error 0x00000001: ");
  EXPECT_EQ(FormatScriptError(0x800a01b6u, u"x"), u"script error 0x800A01B6: x");
}

TEST(ScriptRules, ScriptHostCommandLine) {
  using Args = std::vector<std::u16string>;
  const struct {
    Args args;
    bool ok;
    WindowClass window_class;
    std::u16string file;
  } cases[] = {
      {{u"a.js"}, true, WindowClass::kMain, u"a.js"},
      {{u"--class", u"page", u"a.js"}, true, WindowClass::kPage, u"a.js"},
      {{u"--class", u"base", u"b.js"}, true, WindowClass::kBase, u"b.js"},
      {{u"--class", u"main", u"c.js"}, true, WindowClass::kMain, u"c.js"},
      {{}, false, WindowClass::kMain, u""},
      {{u"--class"}, false, WindowClass::kMain, u""},
      {{u"--class", u"page"}, false, WindowClass::kMain, u""},
      {{u"--class", u"other", u"a.js"}, false, WindowClass::kMain, u""},
      {{u"a.js", u"b.js"}, false, WindowClass::kMain, u""},
      {{u""}, false, WindowClass::kMain, u""},
  };
  for (const auto& c : cases) {
    const auto line = ParseScriptCommandLine(c.args);
    ASSERT_EQ(line.has_value(), c.ok);
    if (!line) continue;
    EXPECT_EQ(line->window_class, c.window_class);
    EXPECT_EQ(line->file, c.file);
  }
}

}  // namespace
}  // namespace fx
