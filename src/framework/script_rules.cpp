#include "framework/script_rules.h"

namespace fx {

std::u16string CopyUpToNul(const char16_t* text, std::size_t length) {
  if (!text) return {};
  std::u16string_view view(text, length);
  return std::u16string(view.substr(0, view.find(u'\0')));
}

std::int32_t ComposeDispId(int position, int steps) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(steps) << 16) |
                                   (static_cast<std::uint32_t>(position) & 0xFFFFu));
}

std::optional<DispIdParts> SplitDispId(std::int32_t dispid) {
  if (dispid <= 0) return std::nullopt;
  const auto bits = static_cast<std::uint32_t>(dispid);
  DispIdParts parts{static_cast<int>(bits & 0xFFFFu), static_cast<int>(bits >> 16)};
  if (parts.position == 0) return std::nullopt;
  return parts;
}

std::u16string ProgramNameFromPath(std::u16string_view path) {
  const auto slash = path.find_last_of(u"\\/");
  std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
  const auto dot = name.find_last_of(u'.');
  if (dot != std::u16string_view::npos) name = name.substr(0, dot);
  return std::u16string(name);
}

std::u16string FormatScriptError(std::uint32_t code, std::u16string_view description) {
  static const char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string text = u"script error 0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kHex[(code >> shift) & 0xF];
  text += u": ";
  text += description;
  return text;
}

std::optional<ScriptCommandLine> ParseScriptCommandLine(const std::vector<std::u16string>& args) {
  ScriptCommandLine line;
  std::size_t i = 0;
  if (i < args.size() && args[i] == u"--class") {
    if (i + 1 >= args.size()) return std::nullopt;
    const std::u16string& name = args[i + 1];
    if (name == u"main") {
      line.window_class = WindowClass::kMain;
    } else if (name == u"page") {
      line.window_class = WindowClass::kPage;
    } else if (name == u"base") {
      line.window_class = WindowClass::kBase;
    } else {
      return std::nullopt;
    }
    i += 2;
  }
  if (args.size() != i + 1 || args[i].empty()) return std::nullopt;
  line.file = args[i];
  return line;
}

}  // namespace fx
