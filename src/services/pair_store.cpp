#include "services/pair_store.h"

#include <utility>

std::wstring PairStore::Get(std::wstring_view key) const {
  const auto found = pairs_.find(key);
  return found == pairs_.end() ? std::wstring() : found->second;
}

void PairStore::Insert(std::wstring key, std::wstring value) {
  pairs_.insert_or_assign(std::move(key), std::move(value));
}
