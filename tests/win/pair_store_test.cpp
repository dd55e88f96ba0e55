// The pair store and its services: replace on insert, keys in exact letter case, one store for
// every window of the process.
#include "services/pair_store.h"

#include <gtest/gtest.h>
#include <string>

#include "host/scripted_page_dialog.h"
#include "services/pair_services.h"

namespace {

TEST(PairStoreTest, InsertReplacesAndKeysKeepTheirLetterCase) {
  PairStore store;
  store.Insert(L"key", L"first");
  store.Insert(L"key", L"second");
  store.Insert(L"Key", L"other case");
  store.Insert(L"empty", L"");
  store.Insert(L"", L"empty key");
  store.Insert(L"键", L"值");

  const struct {
    const wchar_t* key;
    const wchar_t* expected;
  } cases[] = {
      {L"key", L"second"}, {L"Key", L"other case"}, {L"KEY", L""},  {L"key ", L""},
      {L"empty", L""},     {L"", L"empty key"},     {L"键", L"值"}, {L"never", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(store.Get(c.key), c.expected) << testing::PrintToString(std::wstring(c.key));
  }
}

TEST(PairStoreTest, EveryWindowSharesTheProcessStore) {
  CBaseDHtmlPgDlg main_page(L"a.html", L".container", nullptr);
  CBaseDHtmlPgDlg split_page(L"b.html", L".container", nullptr);
  services::InsertPair(main_page, L"pair_store_test.shared", L"from main");
  EXPECT_EQ(services::GetPair(split_page, L"pair_store_test.shared"), L"from main");
  services::InsertPair(split_page, L"pair_store_test.shared", L"from split");
  EXPECT_EQ(services::GetPair(main_page, L"pair_store_test.shared"), L"from split");
  EXPECT_EQ(ThePairStore().Get(L"pair_store_test.shared"), L"from split");
  EXPECT_EQ(services::GetPair(main_page, L"pair_store_test.absent"), L"");
}

}  // namespace
