// The client's pages live in the hosted WebBrowser control.
#include "framework/browser_webbrowser.h"

namespace fx {
std::unique_ptr<Browser> NewBrowser() { return NewWebBrowser(); }
}  // namespace fx
