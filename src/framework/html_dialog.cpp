#include "framework/html_dialog.h"

#include <algorithm>
#include <vector>

namespace fx {
namespace {

// Objects of closed auto-delete windows waiting until no script call runs inside them.
thread_local std::vector<HtmlDialog*> t_reap_list;
thread_local UINT_PTR t_reap_timer = 0;

}  // namespace

const DispatchTable HtmlDialog::kDispatch = {nullptr, nullptr, 0};

const MessageEntry HtmlDialog::kMessageEntries[] = {
    On<&HtmlDialog::OnSize>(WM_SIZE),
    On<&HtmlDialog::OnDestroy>(WM_DESTROY),
};
const MessageTable HtmlDialog::kMessages = MakeMessageTable(&Dialog::kMessages, kMessageEntries);

HtmlDialog::HtmlDialog(UINT template_id, HWND parent) : Dialog(template_id, parent) {}

HtmlDialog::~HtmlDialog() {
  if (browser_) browser_->Destroy();
  auto& list = t_reap_list;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

const DispatchTable* HtmlDialog::GetDispatchTable() const { return &kDispatch; }
const MessageTable* HtmlDialog::GetMessageTable() const { return &kMessages; }

HtmlDialog* HtmlDialog::FromHandle(HWND hwnd) {
  return dynamic_cast<HtmlDialog*>(Dialog::FromHandle(hwnd));
}

BOOL HtmlDialog::OnInitDialog() {
  Dialog::OnInitDialog();
  browser_ = NewBrowser();
  if (browser_ && SUCCEEDED(browser_->Create(hwnd(), this))) {
    browser_alive_ = true;
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    browser_->Resize(client);
    if (!url_.empty()) browser_->Navigate(url_);
  }
  return TRUE;
}

LRESULT HtmlDialog::OnSize(WPARAM, LPARAM) {
  const LRESULT result = Default();
  if (Browser* b = browser()) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    b->Resize(client);
  }
  return result;
}

LRESULT HtmlDialog::OnDestroy(WPARAM, LPARAM) {
  // The browser goes while its parent window still exists.
  if (browser_alive_) {
    browser_alive_ = false;
    browser_->Destroy();
  }
  return Default();
}

void HtmlDialog::OnWindowGone() {
  if (!auto_delete_) return;
  t_reap_list.push_back(this);
  // A thread timer: its procedure runs from whichever message loop is pumping, also a modal
  // one, and so never inside the script call that closed the window.
  if (!t_reap_timer) t_reap_timer = ::SetTimer(nullptr, 0, 10, &ReapTimer);
}

void CALLBACK HtmlDialog::ReapTimer(HWND, UINT, UINT_PTR, DWORD) {
  std::vector<HtmlDialog*> ready;
  auto& list = t_reap_list;
  for (auto it = list.begin(); it != list.end();) {
    if ((*it)->busy()) {
      ++it;
    } else {
      ready.push_back(*it);
      it = list.erase(it);
    }
  }
  if (list.empty() && t_reap_timer) {
    ::KillTimer(nullptr, t_reap_timer);
    t_reap_timer = 0;
  }
  for (HtmlDialog* dialog : ready) delete dialog;
}

int HtmlDialog::RunScript(const std::wstring& text) {
  Browser* b = browser();
  if (!b) return 1;
  ++scripts_running_;
  const HRESULT hr = b->ExecScript(text);
  --scripts_running_;
  return static_cast<int>(hr);
}

void HtmlDialog::OnDocumentComplete(IDispatch*, const std::wstring&) {}

BOOL HtmlDialog::CanAccessExternal() { return FALSE; }

HRESULT HtmlDialog::ShowContextMenu(DWORD, const POINT&) { return S_FALSE; }

HRESULT HtmlDialog::TranslateAccelerator(const MSG&) { return S_FALSE; }

IDispatch* HtmlDialog::GetExternal() {
  if (!external_enabled_ || !CanAccessExternal()) return nullptr;
  dispatch()->AddRef();
  return dispatch();
}

}  // namespace fx
