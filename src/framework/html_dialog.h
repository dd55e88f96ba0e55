// A dialog that hosts a page through the browser seam: it creates the browser over its client
// area when it initialises, navigates to its URL, hands its own dispatch object out as the
// page's external object once enabled and allowed, and receives document completions.
// UI thread only.
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

  // Null until the dialog has initialised, and after its window is gone.
  Browser* browser() const { return browser_.get(); }
  // This object's automation interface (not counted for the caller).
  IDispatch* dispatch() { return &dispatcher_; }

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

  std::wstring url_;
  Dispatcher dispatcher_{*this};
  bool external_enabled_ = false;
  std::unique_ptr<Browser> browser_;
};

}  // namespace fx
