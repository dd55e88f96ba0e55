// The scripted page dialog: a page window whose page reaches the service catalogue.
#pragma once

#include "host/page_window.h"

class CBaseDHtmlPgDlg : public CBaseDHtmlDlg {
 public:
  CBaseDHtmlPgDlg(const std::wstring& page, const std::wstring& element, HWND parent);

  static const fx::DispatchTable kDispatch;
  const fx::DispatchTable* GetDispatchTable() const override;
};
