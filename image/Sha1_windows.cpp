// SHA-1 through Windows' own cryptography (CNG): no library to ship.
#include <windows.h>
// bcrypt.h needs the types of windows.h first.
#include <bcrypt.h>

#include "image/ImageId.h"

namespace pt4 {

std::string Sha1Hex(const std::uint8_t* data, std::size_t count) {
  unsigned char digest[20];
  const NTSTATUS status = BCryptHash(BCRYPT_SHA1_ALG_HANDLE, nullptr, 0,
                                     const_cast<PUCHAR>(data), static_cast<ULONG>(count), digest,
                                     sizeof digest);
  if (!BCRYPT_SUCCESS(status)) return {};
  return LowerHex(digest, sizeof digest);
}

}  // namespace pt4
