// A dialog that hosts a page through the browser seam: it creates the browser over its client
// area when it initialises, navigates to its URL, hands its own dispatch object out as the
// page's external object once enabled and allowed, and receives document completions.
// A window created with set_auto_delete frees its object some time after the window is gone,
// once no script call runs inside it. UI thread only.
#pragma once

#include <memory>
#include <string>

#include "framework/browser.h"
#include "framework/dialog.h"
#include "framework/dispatcher.h"

namespace fx {

class HtmlDialog : public Dialog, public DispatchTarget, protected BrowserHost {
 public:
  HtmlDialog(UINT template_id, HWND parent);
  ~HtmlDialog() override;

  // The URL navigated to when the dialog initialises.
  void set_url(std::wstring url) { url_ = std::move(url); }
  const std::wstring& url() const { return url_; }

  // Null until the dialog has initialised, after the browser failed, and after the window is
  // gone.
  Browser* browser() const { return browser_alive_ ? browser_.get() : nullptr; }
  // This object's automation interface (not counted for the caller).
  IDispatch* dispatch() { return dispatch_.get(); }

  // Frees the object (with delete) after its window is gone. For windows created with new.
  void set_auto_delete(bool on) { auto_delete_ = on; }

  // Runs text in the current document; returns the execution's result code, or 1 when there
  // is no document window yet.
  int RunScript(const std::wstring& text);

  // The HtmlDialog behind a window of this thread, or null.
  static HtmlDialog* FromHandle(HWND hwnd);

  static const DispatchTable kDispatch;  // empty: the end of every chain
  const DispatchTable* GetDispatchTable() const override;
  static const MessageTable kMessages;
  const MessageTable* GetMessageTable() const override;

 protected:
  // Registers this object's dispatch as the page's external object.
  void EnableExternal() { external_enabled_ = true; }

  // Creates the browser and navigates to the URL. Returns TRUE.
  BOOL OnInitDialog() override;
  void OnWindowGone() override;

  // The browser's calls into its host. The base behaviour: completions do nothing more,
  // external access is refused, the browser shows its own menu and performs its own keys.
  void OnDocumentComplete(IDispatch* frame, const std::wstring& url) override;
  virtual BOOL CanAccessExternal();
  HRESULT ShowContextMenu(DWORD menu_id, const POINT& at) override;
  HRESULT TranslateAccelerator(const MSG& msg) override;

 private:
  LRESULT OnSize(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  static const MessageEntry kMessageEntries[];

  IDispatch* GetExternal() override;
  bool busy() const { return in_script_call() || scripts_running_ > 0; }
  static void CALLBACK ReapTimer(HWND, UINT, UINT_PTR, DWORD);

  std::wstring url_;
  DispatchObject dispatch_{*this};
  bool external_enabled_ = false;
  bool auto_delete_ = false;
  // The browser object lives as long as this object: a script of its page may still be
  // running when the window goes.
  std::unique_ptr<Browser> browser_;
  bool browser_alive_ = false;
  int scripts_running_ = 0;
};

}  // namespace fx
