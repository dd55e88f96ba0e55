// Static message tables: one array per class, chained explicitly to the base class's table.
// A handler receives the message's two values and returns the message result.
#pragma once

#include <windows.h>

#include <cstddef>

namespace fx {

class Dialog;

using MessageHandler = LRESULT (*)(Dialog& self, WPARAM wparam, LPARAM lparam);

struct MessageEntry {
  UINT message;
  MessageHandler handler;
};

struct MessageTable {
  const MessageTable* base;  // null for the last table of the chain
  const MessageEntry* entries;
  std::size_t count;
};

namespace detail {
template <auto Method>
struct MessageBinding;
template <class C, LRESULT (C::*Method)(WPARAM, LPARAM)>
struct MessageBinding<Method> {
  static LRESULT Call(Dialog& self, WPARAM wparam, LPARAM lparam) {
    return (static_cast<C&>(self).*Method)(wparam, lparam);
  }
};
}  // namespace detail

// One table line: fx::On<&CMyDlg::OnTimer>(WM_TIMER).
template <auto Method>
constexpr MessageEntry On(UINT message) {
  return {message, &detail::MessageBinding<Method>::Call};
}

template <std::size_t N>
constexpr MessageTable MakeMessageTable(const MessageTable* base,
                                        const MessageEntry (&entries)[N]) {
  return {base, entries, N};
}

}  // namespace fx
