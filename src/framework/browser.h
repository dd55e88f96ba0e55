// The narrow interface through which an HTML dialog hosts a page. Each program links exactly
// one implementation of NewBrowser(): the hosted WebBrowser control (miravolt.exe), the
// script-only JScript host (miravolt-script.exe) or the test documents (test programs).
// All calls happen on the user-interface thread that owns the parent window.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <string>
#include <vector>

namespace fx {

// What the hosting window answers to its browser.
class BrowserHost {
 public:
  // The page's window.external object (counted, may be null when access is refused).
  virtual IDispatch* GetExternal() = 0;
  // S_OK: the host handled it and the browser shows no menu of its own.
  virtual HRESULT ShowContextMenu(DWORD menu_id, const POINT& at) = 0;
  // S_OK: the host handled the key and the browser performs no shortcut of its own.
  virtual HRESULT TranslateAccelerator(const MSG& msg) = 0;
  // A document completed in the browser or one of its frames; frame is that browser's
  // dispatch object (borrowed for the call).
  virtual void OnDocumentComplete(IDispatch* frame, const std::wstring& url) = 0;

 protected:
  ~BrowserHost() = default;
};

// One element of a document, kept counted for as long as the object lives.
class PageElement {
 public:
  virtual ~PageElement() = default;
  // Empty when the attribute cannot be read.
  virtual std::wstring Id() = 0;
  virtual std::wstring ClassName() = 0;
  virtual std::wstring TagName() = 0;
  // The bounding client rectangle; all zero when it cannot be obtained.
  virtual RECT BoundingRect() = 0;
  // Style position "absolute", pixel top and left 0; nothing when the style lacks it.
  virtual void PlaceAtTopLeft() = 0;
};

class Browser {
 public:
  virtual ~Browser() = default;

  // Creates the browser over the client area of parent. Returns a failure HRESULT (and
  // leaves nothing behind) when it cannot.
  virtual HRESULT Create(HWND parent, BrowserHost* host) = 0;
  // Releases the browser; safe to call twice and before Create.
  virtual void Destroy() = 0;
  virtual void Resize(const RECT& client) = 0;
  virtual HRESULT Navigate(const std::wstring& url) = 0;
  // URL of the current top-level navigation (empty before the first).
  virtual std::wstring LocationUrl() = 0;
  // Title of the current top-level document; empty without one.
  virtual std::wstring Title() = 0;
  // Runs text in the current document's window with the language "javascript". Returns the
  // result code of the execution, or 1 (S_FALSE) when there is no document window yet.
  virtual HRESULT ExecScript(const std::wstring& text) = 0;
  // Every element of the document of the completed browser or frame, in document order;
  // stops at the first element that cannot be fetched; empty when there is no document.
  virtual std::vector<std::unique_ptr<PageElement>> Elements(IDispatch* frame) = 0;
};

// Defined once per program: the browser that every page window of the process hosts.
std::unique_ptr<Browser> NewBrowser();

}  // namespace fx
