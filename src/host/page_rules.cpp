#include "host/page_rules.h"

#include <algorithm>

namespace host {
namespace {

std::u16string WithSlashes(std::u16string_view s) {
  std::u16string out(s);
  std::replace(out.begin(), out.end(), u'\\', u'/');
  return out;
}

bool StartsWith(std::u16string_view s, std::u16string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

std::u16string Decimal(std::int32_t value) {
  // Through 64 bits so the most negative number needs no special case.
  std::int64_t v = value;
  const bool negative = v < 0;
  if (negative) v = -v;
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
    v /= 10;
  } while (v);
  return negative ? u"-" + digits : digits;
}

}  // namespace

bool IsRelativePageName(std::u16string_view name) {
  const std::u16string n = WithSlashes(name);
  for (std::u16string_view prefix : {u"www.", u"http://", u"ftp://", u"res://", u"file:///"}) {
    if (StartsWith(n, prefix)) return false;
  }
  return true;
}

bool IsModuleResourceUrl(std::u16string_view name) {
  const std::u16string n = WithSlashes(name);
  for (std::u16string_view suffix : {u".exe", u".dll"}) {
    const auto at = n.find(suffix);
    if (at == std::u16string::npos) continue;
    const auto rest = at + suffix.size();
    // A name that ends with the suffix names no resource number at all.
    if (rest >= n.size()) return false;
    for (auto i = rest + 1; i < n.size(); ++i) {
      if (n[i] != u'/' && (n[i] < u'0' || n[i] > u'9')) return false;
    }
    return true;
  }
  return false;
}

std::u16string ResolvePageUrl(std::u16string_view page, std::u16string_view base) {
  if (!IsRelativePageName(page)) return std::u16string(page);
  std::u16string_view resource_prefix = u"res://";
  std::u16string_view file_prefix = u"file:///";
  if (!IsRelativePageName(base)) resource_prefix = file_prefix = u"";
  std::u16string url(IsModuleResourceUrl(page) ? resource_prefix : file_prefix);
  url += base;
  url += u'\\';
  url += page;
  return url;
}

std::u16string GetParentDirectory(std::u16string_view path) {
  std::u16string p(path);
  std::replace(p.begin(), p.end(), u'/', u'\\');
  for (;;) {
    const auto last = p.rfind(u'\\');
    if (last == std::u16string::npos) return {};
    if (last + 1 == p.size()) {
      p.pop_back();
      continue;
    }
    return p.substr(0, last);
  }
}

bool IsLocalPageUrl(std::u16string_view url) {
  return StartsWith(url, u"file:///") || StartsWith(url, u"res://") ||
         (url.size() >= 2 && url[1] == u':');
}

Selector ParseSelector(std::u16string_view selector) {
  if (!selector.empty() && selector[0] == u'#') {
    return {SelectorKind::kId, std::u16string(selector.substr(1))};
  }
  if (!selector.empty() && selector[0] == u'.') {
    return {SelectorKind::kClassName, std::u16string(selector.substr(1))};
  }
  return {SelectorKind::kTagName, std::u16string(selector)};
}

// The arithmetic runs in 64 bits so extreme rectangles cannot overflow; the results of every
// rectangle a page can have are the same as in 32 bits.
Point CenterOverOwner(const Rect& e, const Rect& o, std::int32_t owner_window_left,
                      std::int32_t owner_window_top) {
  using W = std::int64_t;
  const W x =
      ((W{o.right} - o.left) - (W{e.right} - e.left)) / 2 - e.left + o.left + owner_window_left;
  const W y =
      ((W{o.bottom} - o.top) - (W{e.bottom} - e.top)) / 2 - e.top + o.top + owner_window_top;
  return {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
}

Point CenterOnDesktop(const Rect& e, const Rect& d) {
  using W = std::int64_t;
  const W x = ((W{d.right} - d.left) - (W{e.right} - e.left)) / 2 - e.left;
  const W y = ((W{d.bottom} - d.top) - (W{e.bottom} - e.top)) / 2 - e.top;
  return {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
}

std::u16string UserMessageScript(std::int32_t w, std::int32_t l) {
  return u"UI.onUserMessage(" + Decimal(w) + u", " + Decimal(l) + u");";
}

}  // namespace host
