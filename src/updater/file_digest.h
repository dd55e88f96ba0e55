// The SHA-256 digest of a file's contents through the platform's hash provider, for checking
// the downloaded installer against the digest its description names.
#pragma once

#include <windows.h>

#include <optional>

#include "updater/update_rules.h"

namespace updater {

// The digest of everything that remains to be read from file (a borrowed handle opened for
// reading), read in chunks on the calling thread. Empty when the hash provider cannot be used
// or a read fails.
std::optional<Sha256Digest> Sha256OfFile(HANDLE file);

}  // namespace updater
