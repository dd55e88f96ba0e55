#include "framework/script_engine.h"

#include "framework/com_object.h"
#include "framework/guids.h"

namespace fx {

// The engine's view of its host. Lives as long as the engine holds it.
class ScriptEngine::Site final : public ComObject<IActiveScriptSite, kIidActiveScriptSite> {
 public:
  explicit Site(ScriptEngine* owner) : owner_(owner) {}
  void Detach() { owner_ = nullptr; }

  HRESULT STDMETHODCALLTYPE GetLCID(LCID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item,
                                        ITypeInfo** info) override {
    if (info) *info = nullptr;
    if (item) *item = nullptr;
    IDispatch* object = owner_ ? owner_->Find(name) : nullptr;
    if (!object) return TYPE_E_ELEMENTNOTFOUND;
    if (mask & SCRIPTINFO_IUNKNOWN) {
      if (!item) return E_POINTER;
      object->AddRef();
      *item = object;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* error) override {
    if (owner_) owner_->Report(error);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }

 private:
  ScriptEngine* owner_;
};

ScriptEngine::ScriptEngine() = default;

ScriptEngine::~ScriptEngine() { Close(); }

HRESULT ScriptEngine::Create() {
  HRESULT hr = ::CoCreateInstance(kClsidJScript, nullptr, CLSCTX_INPROC_SERVER, kIidActiveScript,
                                  script_.put_void());
  if (FAILED(hr)) return hr;
  hr = script_->QueryInterface(kIidActiveScriptParse, parse_.put_void());
  if (SUCCEEDED(hr)) {
    site_ = new Site(this);
    hr = script_->SetScriptSite(site_);
  }
  if (SUCCEEDED(hr)) hr = parse_->InitNew();
  if (SUCCEEDED(hr)) hr = script_->SetScriptState(SCRIPTSTATE_CONNECTED);
  if (FAILED(hr)) Close();
  return hr;
}

HRESULT ScriptEngine::AddObject(const std::wstring& name, IDispatch* object, bool global_members) {
  if (!script_) return E_UNEXPECTED;
  objects_.emplace_back(name, ComPtr<IDispatch>::Retain(object));
  DWORD flags = SCRIPTITEM_ISVISIBLE;
  if (global_members) flags |= SCRIPTITEM_GLOBALMEMBERS;
  return script_->AddNamedItem(name.c_str(), flags);
}

IDispatch* ScriptEngine::Find(const wchar_t* name) const {
  for (const auto& [item_name, object] : objects_) {
    if (item_name == name) return object.get();
  }
  return nullptr;
}

void ScriptEngine::Report(IActiveScriptError* error) {
  if (!sink_ || !error) return;
  ScriptFailure failure;
  EXCEPINFO info{};
  if (SUCCEEDED(error->GetExceptionInfo(&info))) {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    failure.code = info.scode ? info.scode : E_FAIL;
    if (info.bstrDescription) failure.description = info.bstrDescription;
    ::SysFreeString(info.bstrDescription);
    ::SysFreeString(info.bstrSource);
    ::SysFreeString(info.bstrHelpFile);
  } else {
    failure.code = E_FAIL;
  }
  DWORD context = 0;
  ULONG line = 0;
  LONG column = 0;
  if (SUCCEEDED(error->GetSourcePosition(&context, &line, &column))) failure.line = line + 1;
  *sink_ = std::move(failure);
}

HRESULT ScriptEngine::Parse(std::wstring_view text, DWORD flags, VARIANT* result) {
  if (!parse_) return E_UNEXPECTED;
  const std::wstring source(text);
  std::optional<ScriptFailure> failure;
  std::optional<ScriptFailure>* const outer = std::exchange(sink_, &failure);
  EXCEPINFO info{};
  ComPtr<IActiveScriptParse> parse = ComPtr<IActiveScriptParse>::Retain(parse_.get());
  ++depth_;
  HRESULT hr =
      parse->ParseScriptText(source.c_str(), nullptr, nullptr, nullptr, 0, 0, flags, result, &info);
  --depth_;
  ::SysFreeString(info.bstrDescription);
  ::SysFreeString(info.bstrSource);
  ::SysFreeString(info.bstrHelpFile);
  sink_ = outer;
  if (depth_ == 0 && close_pending_) Close();
  if (failure) {
    hr = failure->code;
    failure_ = std::move(failure);
  }
  return hr;
}

HRESULT ScriptEngine::Execute(std::wstring_view text) {
  if (close_pending_) return E_UNEXPECTED;
  return Parse(text, SCRIPTTEXT_ISVISIBLE, nullptr);
}

HRESULT ScriptEngine::Evaluate(std::wstring_view expression, VARIANT* result) {
  return Parse(expression, SCRIPTTEXT_ISEXPRESSION, result);
}

void ScriptEngine::Close() {
  if (depth_ > 0) {
    close_pending_ = true;
    return;
  }
  close_pending_ = false;
  if (script_) {
    script_->Close();  // releases the site and the named objects it looked up
  }
  parse_.reset();
  script_.reset();
  if (site_) {
    site_->Detach();
    site_->Release();
    site_ = nullptr;
  }
  objects_.clear();
}

}  // namespace fx
