// The script-only browser: a JScript engine whose document exists from the start and has no
// elements and no title. Page script sees `external` and `window.external` as the window's
// dispatch object; script that native code runs in the page runs in the same engine.
// Navigation only records the URL; no document completion is ever reported.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "framework/browser.h"
#include "framework/owner.h"
#include "framework/script_engine.h"

namespace fx {

class ScriptBrowser final : public Browser {
 public:
  ScriptBrowser();
  ~ScriptBrowser() override;

  // Names one more object for the page's script, before Create; its members become global
  // names. The browser keeps a counted reference until it is destroyed.
  void AddGlobalObject(const std::wstring& name, IDispatch* object);

  HRESULT Create(HWND parent, BrowserHost* host) override;
  void Destroy() override;
  void Resize(const RECT&) override {}
  HRESULT Navigate(const std::wstring& url) override;
  std::wstring LocationUrl() override { return location_; }
  std::wstring Title() override { return {}; }
  HRESULT ExecScript(const std::wstring& text) override;
  std::vector<std::unique_ptr<PageElement>> Elements(IDispatch*) override { return {}; }

  ScriptEngine& engine() { return engine_; }

 private:
  class WindowObject;
  ScriptEngine engine_;
  std::wstring location_;
  std::vector<std::pair<std::wstring, ComPtr<IDispatch>>> globals_;
};

}  // namespace fx
