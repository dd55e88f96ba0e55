#include "framework/html_dialog.h"

namespace fx {

const DispatchTable HtmlDialog::kDispatch = {nullptr, nullptr, 0};

const MessageEntry HtmlDialog::kMessageEntries[] = {
    On<&HtmlDialog::OnSize>(WM_SIZE),
    On<&HtmlDialog::OnDestroy>(WM_DESTROY),
};
const MessageTable HtmlDialog::kMessages = MakeMessageTable(&Dialog::kMessages, kMessageEntries);

HtmlDialog::HtmlDialog(UINT template_id, HWND parent) : Dialog(template_id, parent) {}

HtmlDialog::~HtmlDialog() {
  if (browser_) browser_->Destroy();
}

const DispatchTable* HtmlDialog::GetDispatchTable() const { return &kDispatch; }
const MessageTable* HtmlDialog::GetMessageTable() const { return &kMessages; }

BOOL HtmlDialog::OnInitDialog() {
  Dialog::OnInitDialog();
  browser_ = NewBrowser();
  if (browser_ && SUCCEEDED(browser_->Create(hwnd(), this))) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    browser_->Resize(client);
    if (!url_.empty()) browser_->Navigate(url_);
  } else {
    browser_.reset();
  }
  return TRUE;
}

LRESULT HtmlDialog::OnSize(WPARAM, LPARAM) {
  const LRESULT result = Default();
  if (browser_) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    browser_->Resize(client);
  }
  return result;
}

LRESULT HtmlDialog::OnDestroy(WPARAM, LPARAM) {
  // The browser goes while its parent window still exists.
  if (browser_) {
    browser_->Destroy();
    browser_.reset();
  }
  return Default();
}

void HtmlDialog::OnWindowGone() {}

void HtmlDialog::OnDocumentComplete(IDispatch*, const std::wstring&) {}

BOOL HtmlDialog::CanAccessExternal() { return FALSE; }

HRESULT HtmlDialog::ShowContextMenu(DWORD, const POINT&) { return S_FALSE; }

HRESULT HtmlDialog::TranslateAccelerator(const MSG&) { return S_FALSE; }

IDispatch* HtmlDialog::GetExternal() {
  if (!external_enabled_ || !CanAccessExternal()) return nullptr;
  dispatcher_.AddRef();
  return &dispatcher_;
}

}  // namespace fx
