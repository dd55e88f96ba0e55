#include "framework/dialog.h"

#include <utility>

namespace fx {
namespace {

const wchar_t kSelfProperty[] = L"fx.Dialog";

// The dialog whose window the current thread is creating; attached by the creation hook.
thread_local Dialog* t_creating = nullptr;
thread_local HHOOK t_hook = nullptr;

}  // namespace

const MessageTable Dialog::kMessages = {nullptr, nullptr, 0};

Dialog::Dialog(UINT template_id, HWND parent) : template_id_(template_id), parent_(parent) {}

Dialog::~Dialog() {
  if (hwnd_) {
    // The object is going away first: detach so the window no longer calls into it.
    ::RemovePropW(hwnd_, kSelfProperty);
    ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_proc_));
    ::DestroyWindow(hwnd_);
  }
}

const MessageTable* Dialog::GetMessageTable() const { return &kMessages; }

Dialog* Dialog::FromHandle(HWND hwnd) {
  return static_cast<Dialog*>(::GetPropW(hwnd, kSelfProperty));
}

INT_PTR CALLBACK Dialog::DialogProc(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;  // everything is handled by the subclassed window procedure
}

LRESULT CALLBACK Dialog::CreationHook(int code, WPARAM wparam, LPARAM lparam) {
  const HHOOK hook = t_hook;
  if (code == HCBT_CREATEWND && t_creating) {
    Dialog* self = std::exchange(t_creating, nullptr);
    self->Attach(reinterpret_cast<HWND>(wparam));
    ::UnhookWindowsHookEx(hook);
    t_hook = nullptr;
  }
  return ::CallNextHookEx(hook, code, wparam, lparam);
}

void Dialog::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  ::SetPropW(hwnd, kSelfProperty, this);
  original_proc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
}

namespace {
// Installs the creation hook for one window creation on this thread.
class CreationScope {
 public:
  CreationScope(Dialog* dialog, HOOKPROC proc) {
    t_creating = dialog;
    t_hook = ::SetWindowsHookExW(WH_CBT, proc, nullptr, ::GetCurrentThreadId());
  }
  CreationScope(const CreationScope&) = delete;
  CreationScope& operator=(const CreationScope&) = delete;
  ~CreationScope() {
    t_creating = nullptr;
    if (t_hook) ::UnhookWindowsHookEx(std::exchange(t_hook, nullptr));
  }
};
}  // namespace

INT_PTR Dialog::DoModal() {
  in_modal_loop_ = true;
  INT_PTR result;
  {
    CreationScope scope(this, &CreationHook);
    result = ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id_), parent_,
                               &DialogProc, 0);
  }
  in_modal_loop_ = false;
  return result;
}

bool Dialog::Create(HWND owner) {
  CreationScope scope(this, &CreationHook);
  HWND hwnd = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id_),
                                   owner, &DialogProc, 0);
  return hwnd != nullptr;
}

void Dialog::EndModal(INT_PTR code) {
  if (hwnd_) ::EndDialog(hwnd_, code);
}

BOOL Dialog::OnInitDialog() { return TRUE; }

BOOL Dialog::OnCommand(WPARAM wparam, LPARAM) {
  switch (LOWORD(wparam)) {
    case IDOK:
      OnOK();
      return TRUE;
    case IDCANCEL:
      OnCancel();
      return TRUE;
    default:
      return FALSE;
  }
}

void Dialog::OnOK() {
  if (in_modal_loop_) EndModal(IDOK);
}

void Dialog::OnCancel() {
  if (in_modal_loop_) EndModal(IDCANCEL);
}

LRESULT Dialog::Default() {
  return ::CallWindowProcW(original_proc_, hwnd_, current_.message, current_.wparam,
                           current_.lparam);
}

LRESULT Dialog::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  for (const MessageTable* table = GetMessageTable(); table; table = table->base) {
    for (std::size_t i = 0; i < table->count; ++i) {
      if (table->entries[i].message == message) {
        return table->entries[i].handler(*this, wparam, lparam);
      }
    }
  }
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      if (OnCommand(wparam, lparam)) return 0;
      break;
    default:
      break;
  }
  return Default();
}

LRESULT CALLBACK Dialog::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Dialog* self = FromHandle(hwnd);
  if (!self) return ::DefWindowProcW(hwnd, message, wparam, lparam);
  const CurrentMessage outer = self->current_;
  self->current_ = {message, wparam, lparam};
  LRESULT result = 0;
  try {
    result = self->Handle(message, wparam, lparam);
  } catch (...) {
    // Nothing may escape into the window manager.
    result = 0;
  }
  self->current_ = outer;
  if (message == WM_NCDESTROY) {
    ::RemovePropW(hwnd, kSelfProperty);
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->original_proc_));
    self->hwnd_ = nullptr;
    self->OnWindowGone();
  }
  return result;
}

}  // namespace fx
