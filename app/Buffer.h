// The chip image in memory, its dump rows and its signature. Plain data and text:
// the windows only draw what these routines produce.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace pt4 {

enum class Colour { Navy, Maroon, Green, Red, Lime, Yellow, Aqua, Olive, Black };
struct Rgb {
  int r, g, b;
};
Rgb ColourRgb(Colour c);
constexpr Rgb kSilver{192, 192, 192};

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
  bool DumpShown = false;
};

// Upper-case hex of fixed width.
std::string Hex(unsigned value, int digits);

void FillBuffer(RomImage& image, std::int32_t count, std::uint8_t value);

// The 16-bit signature of a hardware signature analyser: a Fibonacci shift register
// with feedback x^16 + x^12 + x^9 + x^7 + 1, one clock per data bit, bit 0 of each
// byte first. Not a CRC: the data bit enters the feedback, not the output.
std::uint16_t Signature(const std::uint8_t* data, std::size_t count);
std::string SignatureText(const RomImage& image);

// One dump row of 16 bytes: " 00010 : 00 01 ... 0F = ................" (75 characters).
std::string DumpLine(const RomImage& image, std::int32_t row);

// The panes and the checksum label of the main window, as the dump and the reports see them.
class PaneView {
 public:
  virtual ~PaneView() = default;
  virtual void ClearPanes() = 0;      // program and data pane
  virtual void ShowDumpLayout() = 0;  // data pane hidden, program pane full height
  virtual void AddReportLine(const std::string& text, Colour colour) = 0;
  // Lines of one colour at once, for a view that lays out text once per change.
  virtual void AddReportLines(const std::vector<std::string>& lines, Colour colour) {
    for (const std::string& line : lines) AddReportLine(line, colour);
  }
  virtual void SetChecksumText(const std::string& text) = 0;
};

void ShowDump(RomImage& image, PaneView& view);
void UpdateChecksum(const RomImage& image, PaneView& view);

}  // namespace pt4
