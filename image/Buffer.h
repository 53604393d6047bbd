// The chip image in memory: the 1 MiB buffer, of which RomSize bytes from address
// 0 are the chip's words, one word a byte.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace pt4 {

constexpr std::int32_t kRomBufferBytes = 1 << 20;
constexpr std::int32_t kChipWords = 256;  // the K556PT4: 256 words of 4 bits

// Memory that comes zeroed from the system (calloc: untouched pages cost nothing
// until used), and elements that are left as they come instead of being zeroed
// again: the 1 MiB buffer is ready without a pass over it at start-up.
template <class T>
struct ZeroedAllocator {
  using value_type = T;
  ZeroedAllocator() = default;
  template <class U>
  ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    void* p = std::calloc(n, sizeof(T));
    if (p == nullptr) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t) noexcept { std::free(p); }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    if constexpr (sizeof...(Args) > 0) ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  template <class U>
  bool operator==(const ZeroedAllocator<U>&) const noexcept {
    return true;
  }
};
using ByteBuffer = std::vector<std::uint8_t, ZeroedAllocator<std::uint8_t>>;

struct RomImage {
  ByteBuffer RomBuffer = ByteBuffer(kRomBufferBytes);
  std::int32_t RomSize = 0;
};

// Upper-case hex of fixed width.
std::string Hex(unsigned value, int digits);

void FillBuffer(RomImage& image, std::int32_t count, std::uint8_t value);

}  // namespace pt4
