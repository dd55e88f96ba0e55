// The scripted page dialog: a page window whose page reaches the service catalogue, and the
// channel from native code to the page: window commands, WM_USER+101 and the logoff or
// shutdown notification all arrive as UI.onUserMessage(w, l). UI thread only.
#pragma once

#include "host/page_window.h"

constexpr UINT WM_TRAY_NOTIFY = WM_USER + 100;
constexpr UINT WM_PAGE_MESSAGE = WM_USER + 101;
constexpr UINT IDI_PAGE_WINDOW = 129;

class CBaseDHtmlPgDlg : public CBaseDHtmlDlg {
 public:
  CBaseDHtmlPgDlg(const std::wstring& page, const std::wstring& element, HWND parent);

  static const fx::DispatchTable kDispatch;
  const fx::DispatchTable* GetDispatchTable() const override;
  static const fx::MessageTable kMessages;
  const fx::MessageTable* GetMessageTable() const override;

  int NewInstance(bool modal, const std::wstring& page, const std::wstring& element) override;

 protected:
  // Every command goes on to the page as WM_USER+101 with the same values.
  BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
  // The browser performs none of its own keyboard shortcuts.
  HRESULT TranslateAccelerator(const MSG& msg) override;

  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnTrayNotify(WPARAM, LPARAM);
  LRESULT OnPageMessage(WPARAM, LPARAM);
  LRESULT OnEndSession(WPARAM, LPARAM);

 private:
  static const fx::MessageEntry kMessageEntries[];
};
