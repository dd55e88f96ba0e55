#include "services/pair_services.h"

#include "services/pair_store.h"

namespace services {

std::wstring GetPair(CBaseDHtmlPgDlg&, const std::wstring& key) { return ThePairStore().Get(key); }

void InsertPair(CBaseDHtmlPgDlg&, const std::wstring& key, const std::wstring& value) {
  ThePairStore().Insert(key, value);
}

}  // namespace services
