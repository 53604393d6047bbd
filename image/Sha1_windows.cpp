// SHA-1 through Windows' own cryptography (CNG): no library to ship. bcrypt.dll
// is not among the DLLs Windows always takes from System32, so it is loaded from
// there at run time rather than imported.
#include <windows.h>
// bcrypt.h needs the types of windows.h first.
#include <bcrypt.h>

#include "image/ImageId.h"
#include "image/SystemLibrary.h"

namespace pt4 {

std::string Sha1Hex(const std::uint8_t* data, std::size_t count) {
  using Open = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE*, LPCWSTR, LPCWSTR, ULONG);
  using Create = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, BCRYPT_HASH_HANDLE*, PUCHAR, ULONG, PUCHAR,
                                   ULONG, ULONG);
  using Data = NTSTATUS(WINAPI*)(BCRYPT_HASH_HANDLE, PUCHAR, ULONG, ULONG);
  using Finish = NTSTATUS(WINAPI*)(BCRYPT_HASH_HANDLE, PUCHAR, ULONG, ULONG);
  using Destroy = NTSTATUS(WINAPI*)(BCRYPT_HASH_HANDLE);
  using Close = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, ULONG);
  static const auto open = SystemFunction<Open>(L"bcrypt.dll", "BCryptOpenAlgorithmProvider");
  static const auto create = SystemFunction<Create>(L"bcrypt.dll", "BCryptCreateHash");
  static const auto hashData = SystemFunction<Data>(L"bcrypt.dll", "BCryptHashData");
  static const auto finish = SystemFunction<Finish>(L"bcrypt.dll", "BCryptFinishHash");
  static const auto destroy = SystemFunction<Destroy>(L"bcrypt.dll", "BCryptDestroyHash");
  static const auto close = SystemFunction<Close>(L"bcrypt.dll", "BCryptCloseAlgorithmProvider");
  if (!open || !create || !hashData || !finish || !destroy || !close) return {};
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!BCRYPT_SUCCESS(open(&algorithm, BCRYPT_SHA1_ALGORITHM, nullptr, 0))) return {};
  unsigned char digest[20];
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = BCRYPT_SUCCESS(create(algorithm, &hash, nullptr, 0, nullptr, 0, 0));
  ok = ok && BCRYPT_SUCCESS(hashData(hash, const_cast<PUCHAR>(data), static_cast<ULONG>(count), 0));
  ok = ok && BCRYPT_SUCCESS(finish(hash, digest, sizeof digest, 0));
  if (hash != nullptr) destroy(hash);
  close(algorithm, 0);
  return ok ? LowerHex(digest, sizeof digest) : std::string();
}

}  // namespace pt4
