// Hosting the WebBrowser control without a framework. The control is an OLE object that is
// activated in place inside our window; it asks its container, through the client site, for
// an in-place site and frame and for a host UI handler (external object, context menu, keys),
// and reports document completions through its DWebBrowserEvents2 connection point.
//
// Objects, one small class per COM interface:
//   Site         the container's one COM identity: a counted object whose parts ClientSite,
//                InPlaceSite, InPlaceFrame and UiHandler answer one interface each and share
//                its QueryInterface and reference count.
//   EventSink    an identity of its own: DWebBrowserEvents2 through IDispatch.
//   WebBrowser   the Browser: holds the control's interfaces, the Site and the EventSink.
// The control may keep the Site and the EventSink (and call them) after the browser let go of
// them, so both reach the host through a pointer that Destroy() clears first.
//
// Teardown (Destroy), the reverse of Create:
//   1. Unadvise the event sink: no event reaches the host any more.
//   2. In-place deactivate: the control takes its window out of ours.
//   3. SetClientSite(nullptr): the control drops its references to the Site.
//   4. Close(OLECLOSE_NOSAVE): the control releases its document and what it holds of us.
//   5. Release our interface pointers; the control goes with the last one.
#include "framework/browser_webbrowser.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtmhst.h>
#include <mshtml.h>
#include <ocidl.h>

#include <atomic>
#include <cstddef>
#include <utility>
#include <vector>

#include "framework/com_object.h"
#include "framework/guids.h"
#include "framework/owner.h"

namespace fx {
namespace {

// One row of a QueryInterface table: the interface and the object's pointer for it.
template <class T>
struct InterfaceEntry {
  const IID* iid;
  IUnknown* (*get)(T&);
};

template <class T, std::size_t N>
HRESULT QueryTable(T& self, const InterfaceEntry<T> (&table)[N], REFIID iid, void** out) {
  if (!out) return E_POINTER;
  for (const InterfaceEntry<T>& entry : table) {
    if (*entry.iid == iid) {
      IUnknown* p = entry.get(self);
      p->AddRef();
      *out = p;
      return S_OK;
    }
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

UniqueBstr MakeBstr(const std::wstring& s) {
  return UniqueBstr(::SysAllocStringLen(s.data(), static_cast<UINT>(s.size())));
}

std::wstring FromBstr(BSTR s) { return s ? std::wstring(s, ::SysStringLen(s)) : std::wstring(); }

// Reads a string property; empty when the getter fails.
template <class T, class Declaring>
std::wstring ReadString(T* object, HRESULT (STDMETHODCALLTYPE Declaring::*getter)(BSTR*)) {
  if (!object) return {};
  UniqueBstr value;
  if (FAILED((object->*getter)(value.put()))) return {};
  return FromBstr(value.get());
}

// The document of a browser (the hosted one or a frame's); empty when it has none yet.
ComPtr<IHTMLDocument2> DocumentOf(IWebBrowser2* browser) {
  if (!browser) return {};
  ComPtr<IDispatch> document;
  if (FAILED(browser->get_Document(document.put())) || !document) return {};
  return document.As<IHTMLDocument2>(IID_IHTMLDocument2);
}

class Site;

// An interface part of the Site: its IUnknown is the Site's.
template <class Interface>
class SitePart : public Interface {
 public:
  explicit SitePart(Site& site) : site_(site) {}
  SitePart(const SitePart&) = delete;
  SitePart& operator=(const SitePart&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

 protected:
  Site& site_;
};

class ClientSite final : public SitePart<IOleClientSite> {
 public:
  using SitePart::SitePart;
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
};

class InPlaceSite final : public SitePart<IOleInPlaceSite> {
 public:
  using SitePart::SitePart;
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                             RECT* position, RECT* clip,
                                             OLEINPLACEFRAMEINFO* info) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  // The control's rectangle follows our window through Resize; its own wishes change nothing.
  HRESULT STDMETHODCALLTYPE OnPosRectChange(const RECT*) override { return S_OK; }
};

// The frame has no menus, toolbars or border space to offer.
class InPlaceFrame final : public SitePart<IOleInPlaceFrame> {
 public:
  using SitePart::SitePart;
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetBorder(RECT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override {
    return INPLACE_E_NOTOOLSPACE;
  }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, WORD) override { return S_FALSE; }
};

// The hooks the host decides: external object, context menu, keys. Everything else keeps the
// control's own behaviour.
class UiHandler final : public SitePart<IDocHostUIHandler> {
 public:
  using SitePart::SitePart;
  HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD menu_id, POINT* at, IUnknown*,
                                            IDispatch*) override;
  HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override;
  HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                                   IOleInPlaceFrame*, IOleInPlaceUIWindow*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg, const GUID*, DWORD) override;
  HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD) override {
    if (key) *key = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** target) override {
    if (target) *target = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override;
  HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) override {
    if (translated) *translated = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** filtered) override {
    if (filtered) *filtered = nullptr;
    return S_FALSE;
  }
};

// Not copyable or movable: the parts point back at it. Deleted by its last Release.
class Site final {
 public:
  Site(HWND window, BrowserHost* host) : window_(window), host_(host) {}
  Site(const Site&) = delete;
  Site& operator=(const Site&) = delete;

  HRESULT QueryInterface(REFIID iid, void** out);
  ULONG AddRef() { return ++refs_; }
  ULONG Release() {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }

  IOleClientSite* client_site() { return &client_; }
  HWND window() const { return window_; }
  // Null once the browser is destroyed.
  BrowserHost* host() const { return host_; }
  void Detach() { host_ = nullptr; }
  IOleInPlaceFrame* frame() { return &frame_; }

 private:
  ~Site() = default;

  static const InterfaceEntry<Site> kInterfaces[];

  std::atomic<ULONG> refs_{1};
  const HWND window_;
  BrowserHost* host_;
  ClientSite client_{*this};
  InPlaceSite in_place_{*this};
  InPlaceFrame frame_{*this};
  UiHandler ui_{*this};
};

// IOleWindow is answered by the in-place site, the window it names being the same either way.
const InterfaceEntry<Site> Site::kInterfaces[] = {
    {&IID_IUnknown, [](Site& s) -> IUnknown* { return &s.client_; }},
    {&IID_IOleClientSite, [](Site& s) -> IUnknown* { return &s.client_; }},
    {&IID_IOleWindow, [](Site& s) -> IUnknown* { return &s.in_place_; }},
    {&IID_IOleInPlaceSite, [](Site& s) -> IUnknown* { return &s.in_place_; }},
    {&IID_IOleInPlaceUIWindow, [](Site& s) -> IUnknown* { return &s.frame_; }},
    {&IID_IOleInPlaceFrame, [](Site& s) -> IUnknown* { return &s.frame_; }},
    {&IID_IDocHostUIHandler, [](Site& s) -> IUnknown* { return &s.ui_; }},
};

HRESULT Site::QueryInterface(REFIID iid, void** out) {
  return QueryTable(*this, kInterfaces, iid, out);
}

template <class Interface>
HRESULT SitePart<Interface>::QueryInterface(REFIID iid, void** out) {
  return site_.QueryInterface(iid, out);
}
template <class Interface>
ULONG SitePart<Interface>::AddRef() {
  return site_.AddRef();
}
template <class Interface>
ULONG SitePart<Interface>::Release() {
  return site_.Release();
}

HRESULT InPlaceSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = site_.window();
  return S_OK;
}

HRESULT InPlaceSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                      RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) {
  if (doc) *doc = nullptr;
  if (frame) {
    *frame = site_.frame();
    (*frame)->AddRef();
  }
  RECT client{};
  ::GetClientRect(site_.window(), &client);
  if (position) *position = client;
  if (clip) *clip = client;
  if (info) {
    // The caller sets cb.
    info->fMDIApp = FALSE;
    info->hwndFrame = site_.window();
    info->haccel = nullptr;
    info->cAccelEntries = 0;
  }
  return S_OK;
}

HRESULT InPlaceFrame::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = site_.window();
  return S_OK;
}

HRESULT UiHandler::ShowContextMenu(DWORD menu_id, POINT* at, IUnknown*, IDispatch*) {
  try {
    const ComPtr<Site> alive = ComPtr<Site>::Retain(&site_);  // the host may let go of us
    BrowserHost* host = site_.host();
    if (!host) return S_FALSE;
    return host->ShowContextMenu(menu_id, at ? *at : POINT{});
  } catch (...) {
    return S_FALSE;
  }
}

// Page coordinates must be window coordinates (no inset border), and a window shaped to one
// element of its page has no room for scroll bars.
HRESULT UiHandler::GetHostInfo(DOCHOSTUIINFO* info) {
  if (!info) return E_POINTER;
  info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
  info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
  info->pchHostCss = nullptr;
  info->pchHostNS = nullptr;
  return S_OK;
}

HRESULT UiHandler::TranslateAccelerator(LPMSG msg, const GUID*, DWORD) {
  try {
    const ComPtr<Site> alive = ComPtr<Site>::Retain(&site_);
    BrowserHost* host = site_.host();
    if (!host || !msg) return S_FALSE;
    return host->TranslateAccelerator(*msg);
  } catch (...) {
    return S_FALSE;
  }
}

HRESULT UiHandler::GetExternal(IDispatch** external) {
  if (!external) return E_POINTER;
  *external = nullptr;
  try {
    const ComPtr<Site> alive = ComPtr<Site>::Retain(&site_);
    if (BrowserHost* host = site_.host()) *external = host->GetExternal();
    return *external ? S_OK : S_FALSE;
  } catch (...) {
    return E_FAIL;
  }
}

// The browser's events; only document completion is passed on.
class EventSink final : public DispatchObjectBase<DIID_DWebBrowserEvents2> {
 public:
  explicit EventSink(BrowserHost* host) : host_(host) {}

  void Detach() { host_ = nullptr; }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override;

 private:
  BrowserHost* host_;
};

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                          UINT*) {
  try {
    if (id != DISPID_DOCUMENTCOMPLETE || !params || !host_) return S_OK;
    const std::optional<DocumentCompletion> completion = ReadDocumentCompletion(*params);
    if (!completion) return S_OK;
    // The host may destroy the browser (and so release us and the frame) while it runs.
    const ComPtr<EventSink> alive = ComPtr<EventSink>::Retain(this);
    const ComPtr<IDispatch> frame = ComPtr<IDispatch>::Retain(completion->frame);
    host_->OnDocumentComplete(frame.get(), completion->url);
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

// One element of a document, holding both of its interfaces that the host reads.
class HtmlElement final : public PageElement {
 public:
  HtmlElement(ComPtr<IHTMLElement> element, ComPtr<IHTMLElement2> element2)
      : element_(std::move(element)), element2_(std::move(element2)) {}
  HtmlElement(const HtmlElement&) = delete;
  HtmlElement& operator=(const HtmlElement&) = delete;

  std::wstring Id() override { return ReadString(element_.get(), &IHTMLElement::get_id); }
  std::wstring ClassName() override {
    return ReadString(element_.get(), &IHTMLElement::get_className);
  }
  std::wstring TagName() override { return ReadString(element_.get(), &IHTMLElement::get_tagName); }
  RECT BoundingRect() override;
  void PlaceAtTopLeft() override;

 private:
  ComPtr<IHTMLElement> element_;
  ComPtr<IHTMLElement2> element2_;
};

RECT HtmlElement::BoundingRect() {
  ComPtr<IHTMLRect> rect;
  if (!element2_ || FAILED(element2_->getBoundingClientRect(rect.put())) || !rect) return {};
  LONG left = 0, top = 0, right = 0, bottom = 0;
  if (FAILED(rect->get_left(&left)) || FAILED(rect->get_top(&top)) ||
      FAILED(rect->get_right(&right)) || FAILED(rect->get_bottom(&bottom))) {
    return {};
  }
  return {left, top, right, bottom};
}

void HtmlElement::PlaceAtTopLeft() {
  ComPtr<IHTMLStyle> style;
  if (!element_ || FAILED(element_->get_style(style.put())) || !style) return;
  const ComPtr<IHTMLStyle2> style2 = style.As<IHTMLStyle2>(IID_IHTMLStyle2);
  if (!style2) return;
  const UniqueBstr absolute(::SysAllocString(L"absolute"));
  if (!absolute) return;
  style2->put_position(absolute.get());
  style->put_pixelTop(0);
  style->put_pixelLeft(0);
}

class WebBrowser final : public Browser {
 public:
  WebBrowser() = default;
  WebBrowser(const WebBrowser&) = delete;
  WebBrowser& operator=(const WebBrowser&) = delete;
  ~WebBrowser() override { Destroy(); }

  HRESULT Create(HWND parent, BrowserHost* host) override;
  void Destroy() override;
  void Resize(const RECT& client) override;
  HRESULT Navigate(const std::wstring& url) override;
  std::wstring LocationUrl() override;
  std::wstring Title() override;
  HRESULT ExecScript(const std::wstring& text) override;
  std::vector<std::unique_ptr<PageElement>> Elements(IDispatch* frame) override;

 private:
  HRESULT Connect(HWND parent, BrowserHost* host);

  ComPtr<Site> site_;
  ComPtr<EventSink> sink_;
  ComPtr<IOleObject> object_;
  ComPtr<IOleInPlaceObject> in_place_;
  ComPtr<IWebBrowser2> browser_;
  ComPtr<IConnectionPoint> events_;
  DWORD events_cookie_ = 0;
};

HRESULT WebBrowser::Create(HWND parent, BrowserHost* host) {
  if (object_) return E_UNEXPECTED;
  if (!parent || !::IsWindow(parent)) return E_INVALIDARG;
  HRESULT hr = E_FAIL;
  try {
    hr = Connect(parent, host);
  } catch (...) {
    hr = E_OUTOFMEMORY;
  }
  if (FAILED(hr)) Destroy();
  return hr;
}

// Each step's result lands in a member, so Destroy undoes exactly the steps that were taken.
HRESULT WebBrowser::Connect(HWND parent, BrowserHost* host) {
  HRESULT hr = ::CoCreateInstance(kClsidWebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  object_.put_void());
  if (FAILED(hr)) return hr;
  if (!object_) return E_NOINTERFACE;
  *site_.put() = new Site(parent, host);
  hr = object_->SetClientSite(site_->client_site());
  if (FAILED(hr)) return hr;
  browser_ = object_.As<IWebBrowser2>(IID_IWebBrowser2);
  if (!browser_) return E_NOINTERFACE;

  RECT client{};
  ::GetClientRect(parent, &client);
  hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr /*lpmsg*/, site_->client_site(),
                       0 /*lindex*/, parent, &client);
  if (FAILED(hr)) return hr;
  in_place_ = object_.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
  if (!in_place_) return E_NOINTERFACE;

  const auto container = object_.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  if (!container) return E_NOINTERFACE;
  ComPtr<IConnectionPoint> point;
  hr = container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put());
  if (FAILED(hr)) return hr;
  if (!point) return E_NOINTERFACE;
  *sink_.put() = new EventSink(host);
  hr = point->Advise(sink_.get(), &events_cookie_);
  if (FAILED(hr)) return hr;
  events_ = std::move(point);
  return S_OK;
}

void WebBrowser::Destroy() {
  if (events_) events_->Unadvise(events_cookie_);
  events_.reset();
  events_cookie_ = 0;
  if (sink_) sink_->Detach();
  sink_.reset();
  if (site_) site_->Detach();
  if (in_place_) in_place_->InPlaceDeactivate();
  in_place_.reset();
  if (object_) {
    object_->SetClientSite(nullptr);
    object_->Close(OLECLOSE_NOSAVE);
  }
  browser_.reset();
  object_.reset();
  site_.reset();
}

void WebBrowser::Resize(const RECT& client) {
  if (in_place_) in_place_->SetObjectRects(&client, &client);
}

HRESULT WebBrowser::Navigate(const std::wstring& url) {
  if (!browser_) return E_UNEXPECTED;
  const UniqueBstr target = MakeBstr(url);
  if (!target) return E_OUTOFMEMORY;
  UniqueVariant flags, frame_name, post_data, headers;  // all empty: a plain navigation
  return browser_->Navigate(target.get(), flags.get(), frame_name.get(), post_data.get(),
                            headers.get());
}

std::wstring WebBrowser::LocationUrl() {
  return ReadString(browser_.get(), &IWebBrowser2::get_LocationURL);
}

std::wstring WebBrowser::Title() {
  const ComPtr<IHTMLDocument2> document = DocumentOf(browser_.get());
  return ReadString(document.get(), &IHTMLDocument2::get_title);
}

HRESULT WebBrowser::ExecScript(const std::wstring& text) {
  const ComPtr<IHTMLDocument2> document = DocumentOf(browser_.get());
  ComPtr<IHTMLWindow2> window;
  if (!document || FAILED(document->get_parentWindow(window.put())) || !window) return S_FALSE;
  const UniqueBstr code = MakeBstr(text);
  const UniqueBstr language(::SysAllocString(L"javascript"));
  if (!code || !language) return E_OUTOFMEMORY;
  UniqueVariant result;  // the script's own value is not wanted
  return window->execScript(code.get(), language.get(), result.get());
}

std::vector<std::unique_ptr<PageElement>> WebBrowser::Elements(IDispatch* frame) {
  std::vector<std::unique_ptr<PageElement>> elements;
  if (!frame) return elements;
  ComPtr<IWebBrowser2> browser;
  if (FAILED(frame->QueryInterface(IID_IWebBrowser2, browser.put_void()))) return elements;
  const ComPtr<IHTMLDocument2> document = DocumentOf(browser.get());
  ComPtr<IHTMLElementCollection> all;
  if (!document || FAILED(document->get_all(all.put())) || !all) return elements;
  LONG count = 0;
  if (FAILED(all->get_length(&count))) return elements;
  for (LONG i = 0; i < count; ++i) {
    UniqueVariant name, index;
    name->vt = VT_I4;
    name->lVal = i;
    index->vt = VT_I4;
    index->lVal = i;
    ComPtr<IDispatch> item;
    if (FAILED(all->item(*name.get(), *index.get(), item.put())) || !item) break;
    elements.push_back(std::make_unique<HtmlElement>(item.As<IHTMLElement>(IID_IHTMLElement),
                                                     item.As<IHTMLElement2>(IID_IHTMLElement2)));
  }
  return elements;
}

// The value inside an argument passed as a reference to a VARIANT; the argument itself
// otherwise. Null when the reference is null.
const VARIANT* Unwrap(const VARIANT& argument) {
  if (argument.vt == (VT_BYREF | VT_VARIANT)) return argument.pvarVal;
  return &argument;
}

std::optional<IDispatch*> DispatchArgument(const VARIANT& argument) {
  const VARIANT* v = Unwrap(argument);
  if (!v) return std::nullopt;
  if (v->vt == VT_DISPATCH) return v->pdispVal;
  if (v->vt == (VT_BYREF | VT_DISPATCH) && v->ppdispVal) return *v->ppdispVal;
  return std::nullopt;
}

std::optional<std::wstring> StringArgument(const VARIANT& argument) {
  const VARIANT* v = Unwrap(argument);
  if (!v) return std::nullopt;
  if (v->vt == VT_BSTR) return FromBstr(v->bstrVal);
  if (v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal) return FromBstr(*v->pbstrVal);
  return std::nullopt;
}

}  // namespace

std::unique_ptr<Browser> NewWebBrowser() { return std::make_unique<WebBrowser>(); }

std::optional<DocumentCompletion> ReadDocumentCompletion(const DISPPARAMS& params) {
  // DocumentComplete(pDisp, URL): arguments arrive last first.
  if (params.cArgs < 2 || !params.rgvarg) return std::nullopt;
  const std::optional<IDispatch*> frame = DispatchArgument(params.rgvarg[params.cArgs - 1]);
  std::optional<std::wstring> url = StringArgument(params.rgvarg[params.cArgs - 2]);
  if (!frame || !url) return std::nullopt;
  return DocumentCompletion{*frame, std::move(*url)};
}

}  // namespace fx
