// Page names, URLs, element selectors, centring arithmetic and the native-to-page call text of
// the page windows: rules with no operating-system call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace host {

// Absolute when, with backslashes read as slashes, the name begins with "www.", "http://",
// "ftp://", "res://" or "file:///" (case-sensitive).
bool IsRelativePageName(std::u16string_view name);

// True when the name addresses a numbered resource inside a module file (".exe" or ".dll",
// one character skipped, then only slashes and digits).
bool IsModuleResourceUrl(std::u16string_view name);

// The URL for a page name resolved against a base directory (which may itself be a URL).
std::u16string ResolvePageUrl(std::u16string_view page, std::u16string_view base);

// The parent directory without a trailing backslash; slashes count as backslashes.
std::u16string GetParentDirectory(std::u16string_view path);

// file:///, res:// or a drive path.
bool IsLocalPageUrl(std::u16string_view url);

enum class SelectorKind : int { kId = 0, kClassName = 1, kTagName = 2 };
struct Selector {
  SelectorKind kind;
  std::u16string key;
};
// "#id", ".class" or a tag name; only one leading character is ever removed.
Selector ParseSelector(std::u16string_view selector);

struct Rect {
  std::int32_t left, top, right, bottom;
};
struct Point {
  std::int32_t x, y;
};
// Where to move a window so its shaping element is centred over the owner's shaping element.
// owner_window_left/top: the owner window's screen position.
Point CenterOverOwner(const Rect& element, const Rect& owner_element,
                      std::int32_t owner_window_left, std::int32_t owner_window_top);
// Where to move a window so its shaping element is centred on the desktop rectangle.
Point CenterOnDesktop(const Rect& element, const Rect& desktop);

// "UI.onUserMessage(%d, %d);"
std::u16string UserMessageScript(std::int32_t w, std::int32_t l);

}  // namespace host
