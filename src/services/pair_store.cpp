#include "services/pair_store.h"

#include <utility>

std::wstring PairStore::Get(std::wstring_view key) const {
  const auto found = pairs_.find(key);
  return found == pairs_.end() ? std::wstring() : found->second;
}

void PairStore::Insert(std::wstring key, std::wstring value) {
  pairs_.insert_or_assign(std::move(key), std::move(value));
}

namespace {
// A process-wide object: its place in the start-up construction order (after the report
// settings, before the tray exit action) is fixed by the process start-up, which owns the
// definition order of these objects. It is empty until a page inserts.
PairStore g_pairStore;
}  // namespace

PairStore& ThePairStore() { return g_pairStore; }
