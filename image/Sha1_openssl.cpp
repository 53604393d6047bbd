// SHA-1 through OpenSSL's libcrypto.
#include <openssl/evp.h>

#include "image/ImageId.h"

namespace pt4 {

std::string Sha1Hex(const std::uint8_t* data, std::size_t count) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int len = 0;
  if (EVP_Digest(data, count, digest, &len, EVP_sha1(), nullptr) != 1) return {};
  return LowerHex(digest, len);
}

}  // namespace pt4
