// The production browser: the WebBrowser control hosted in place over the parent window's
// client area, with its MSHTML documents. The browser owns the control and the COM objects
// that answer it; Destroy() (or the destructor) releases them. UI thread only, on a thread
// where OLE is initialised.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <optional>
#include <string>

#include "framework/browser.h"

namespace fx {

// A browser not yet created; Create() returns the failure HRESULT when the control cannot be
// created, sited or activated, and leaves nothing behind.
std::unique_ptr<Browser> NewWebBrowser();

// The two arguments of a DocumentComplete event: the dispatch object of the browser or frame
// whose document completed (borrowed from the event, may be null) and the document's URL.
struct DocumentCompletion {
  IDispatch* frame = nullptr;
  std::wstring url;
};

// Reads them from the event's arguments (last argument first, either passed directly or by
// reference). Returns nothing when the event does not carry an object and a string there.
std::optional<DocumentCompletion> ReadDocumentCompletion(const DISPPARAMS& params);

}  // namespace fx
