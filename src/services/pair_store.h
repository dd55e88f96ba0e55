// The pair store: small named values that the pages of every window share for the life of the
// process. Nothing is written to disk. Keys compare code unit by code unit, letter case
// included. UI thread only (no lock).
#pragma once

#include <map>
#include <string>
#include <string_view>

class PairStore {
 public:
  // The value stored under key; empty when the key is absent (an empty value reads the same).
  std::wstring Get(std::wstring_view key) const;
  // Stores value under key; a later insert of the same key replaces the earlier value.
  void Insert(std::wstring key, std::wstring value);

 private:
  // std::wstring's ordering is a plain code-unit comparison, independent of locale.
  std::map<std::wstring, std::wstring, std::less<>> pairs_;
};

// The one store of the process, shared by every page window.
PairStore& ThePairStore();
