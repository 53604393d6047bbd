// SHA-1 through Windows' own cryptography (CNG): no library to ship.
#include <windows.h>
// bcrypt.h needs the types of windows.h first.
#include <bcrypt.h>

#include "image/ImageId.h"

namespace pt4 {

std::string Sha1Hex(const std::uint8_t* data, std::size_t count) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA1_ALGORITHM, nullptr, 0)))
    return {};
  unsigned char digest[20];
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0));
  ok = ok &&
       BCRYPT_SUCCESS(BCryptHashData(hash, const_cast<PUCHAR>(data), static_cast<ULONG>(count), 0));
  ok = ok && BCRYPT_SUCCESS(BCryptFinishHash(hash, digest, sizeof digest, 0));
  if (hash != nullptr) BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  return ok ? LowerHex(digest, sizeof digest) : std::string();
}

}  // namespace pt4
