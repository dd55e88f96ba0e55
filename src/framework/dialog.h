// Modal and modeless dialogs from resource templates. The window is subclassed while it is
// created, so the message tables see every message from WM_NCCREATE on; Default() passes a
// message to the dialog manager. A Dialog object must outlive its window. UI thread only.
#pragma once

#include <windows.h>

#include "framework/message_table.h"

namespace fx {

class Dialog {
 public:
  Dialog(UINT template_id, HWND parent);
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;
  virtual ~Dialog();

  // Runs the dialog modally with the parent given at construction. Returns the code passed to
  // EndModal, or -1 when the window could not be created.
  INT_PTR DoModal();
  // Creates the window modelessly with the given owner (may be null). Returns false when the
  // window could not be created.
  bool Create(HWND owner);

  HWND hwnd() const noexcept { return hwnd_; }
  // The Dialog behind a window of this thread, or null.
  static Dialog* FromHandle(HWND hwnd);
  HWND parent() const noexcept { return parent_; }
  // True while DoModal's loop runs for this dialog.
  bool in_modal_loop() const noexcept { return in_modal_loop_; }
  void EndModal(INT_PTR code);

  static const MessageTable kMessages;  // empty: the end of every chain
  virtual const MessageTable* GetMessageTable() const;

 protected:
  // WM_INITDIALOG; the return value decides whether the dialog manager sets the focus.
  virtual BOOL OnInitDialog();
  // WM_COMMAND; returns true when handled. Routes IDOK to OnOK and IDCANCEL to OnCancel.
  virtual BOOL OnCommand(WPARAM wparam, LPARAM lparam);
  virtual void OnOK();      // ends a modal dialog with IDOK
  virtual void OnCancel();  // ends a modal dialog with IDCANCEL
  // Called after the window is gone (WM_NCDESTROY).
  virtual void OnWindowGone() {}

  // The dialog manager's handling of the message being processed.
  LRESULT Default();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK CreationHook(int code, WPARAM wparam, LPARAM lparam);
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
  void Attach(HWND hwnd);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);

  struct CurrentMessage {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
  };

  UINT template_id_;
  HWND parent_;
  HWND hwnd_ = nullptr;
  WNDPROC original_proc_ = nullptr;
  bool in_modal_loop_ = false;
  CurrentMessage current_{};
};

}  // namespace fx
