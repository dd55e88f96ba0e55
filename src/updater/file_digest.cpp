#include "updater/file_digest.h"

#include <vector>

#include "framework/owner.h"

namespace updater {
namespace {

constexpr DWORD kChunkBytes = 64 * 1024;

bool Succeeded(NTSTATUS status) { return BCRYPT_SUCCESS(status); }

}  // namespace

std::optional<Sha256Digest> Sha256OfFile(HANDLE file) {
  // Declared before the hash so that the hash is destroyed first.
  fx::UniqueAlgorithm algorithm;
  if (!Succeeded(::BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_SHA256_ALGORITHM,
                                               nullptr /* implementation */, 0 /* flags */))) {
    return std::nullopt;
  }
  fx::UniqueHash hash;
  // The provider keeps the hash object itself (no object buffer), as it does since Windows 7.
  if (!Succeeded(::BCryptCreateHash(algorithm.get(), hash.put(), nullptr /* object */, 0,
                                    nullptr /* secret */, 0, 0 /* flags */))) {
    return std::nullopt;
  }
  std::vector<UCHAR> chunk(kChunkBytes);
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file, chunk.data(), kChunkBytes, &read, nullptr /* overlapped */)) {
      return std::nullopt;
    }
    if (read == 0) break;
    if (!Succeeded(::BCryptHashData(hash.get(), chunk.data(), read, 0 /* flags */))) {
      return std::nullopt;
    }
  }
  Sha256Digest digest{};
  if (!Succeeded(::BCryptFinishHash(hash.get(), digest.data(), static_cast<ULONG>(digest.size()),
                                    0 /* flags */))) {
    return std::nullopt;
  }
  return digest;
}

}  // namespace updater
