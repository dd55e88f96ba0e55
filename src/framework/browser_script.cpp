#include "framework/browser_script.h"

#include "framework/com_object.h"

namespace fx {

// The page's `window`: its one property is `external`.
class ScriptBrowser::WindowObject final : public DispatchObjectBase<> {
 public:
  explicit WindowObject(IDispatch* external) : external_(ComPtr<IDispatch>::Retain(external)) {}

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (!names || !ids) return E_POINTER;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (count == 1 && names[0] && std::wstring_view(names[0]) == L"external") {
      ids[0] = kExternal;
      return S_OK;
    }
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    if (id != kExternal) return DISP_E_MEMBERNOTFOUND;
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (result) {
      ::VariantInit(result);
      if (external_) {
        result->vt = VT_DISPATCH;
        result->pdispVal = external_.get();
        external_->AddRef();
      } else {
        result->vt = VT_NULL;
      }
    }
    return S_OK;
  }

 private:
  static constexpr DISPID kExternal = 1;
  ComPtr<IDispatch> external_;
};

ScriptBrowser::ScriptBrowser() = default;

ScriptBrowser::~ScriptBrowser() { Destroy(); }

void ScriptBrowser::AddGlobalObject(const std::wstring& name, IDispatch* object) {
  globals_.emplace_back(name, ComPtr<IDispatch>::Retain(object));
}

HRESULT ScriptBrowser::Create(HWND, BrowserHost* host) {
  HRESULT hr = engine_.Create();
  if (FAILED(hr)) return hr;
  ComPtr<IDispatch> external;
  *external.put() = host ? host->GetExternal() : nullptr;
  if (external) hr = engine_.AddObject(L"external", external.get(), false);
  if (SUCCEEDED(hr)) {
    ComPtr<IDispatch> window;
    *window.put() = new WindowObject(external.get());
    hr = engine_.AddObject(L"window", window.get(), false);
  }
  for (const auto& [name, object] : globals_) {
    if (FAILED(hr)) break;
    hr = engine_.AddObject(name, object.get(), true);
  }
  if (FAILED(hr)) engine_.Close();
  return hr;
}

void ScriptBrowser::Destroy() {
  engine_.Close();
  globals_.clear();
}

HRESULT ScriptBrowser::Navigate(const std::wstring& url) {
  location_ = url;
  return S_OK;
}

HRESULT ScriptBrowser::ExecScript(const std::wstring& text) {
  if (!engine_.created()) return S_FALSE;
  return engine_.Execute(text);
}

}  // namespace fx
