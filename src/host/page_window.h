// The page window chain: CBaseDHtmlDlg (a borderless layered page window with the window
// methods) <- CBaseDHtmlPgDlg (the scripted page dialog with the service catalogue) <- the
// main window CCorvane. Every page window comes from dialog template 104 and hands its own
// dispatch object to its page as window.external. UI thread only.
#pragma once

#include <string>

#include "framework/html_dialog.h"

constexpr UINT IDD_PAGE_WINDOW = 104;

class CBaseDHtmlDlg : public fx::HtmlDialog {
 public:
  CBaseDHtmlDlg(const std::wstring& page, const std::wstring& element, HWND parent);

  static const fx::DispatchTable kDispatch;
  const fx::DispatchTable* GetDispatchTable() const override;

  std::wstring m_strElement;
  RECT m_rcElement{};
  std::wstring m_strTitle;
  int m_nDocComplete = 0;

 protected:
  BOOL CanAccessExternal() override;
  void OnOK() override {}
  void OnCancel() override {}

  static const fx::MessageTable kMessages;
  const fx::MessageTable* GetMessageTable() const override;

 private:
  LRESULT OnCreate(WPARAM, LPARAM);
  static const fx::MessageEntry kMessageEntries[];
};
