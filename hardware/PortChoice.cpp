#include "hardware/PortChoice.h"

#include <cstdlib>

namespace pt4 {

bool MayBeParallelPort(std::uint16_t first, std::uint16_t count) {
  const unsigned last = static_cast<unsigned>(first) + count - 1;
  const bool pciConfig = last >= 0xCF8 && first <= 0xCFF;
  return first > 0xFF && last <= 0xFFFF && !pciConfig;
}

PortChoice ChosenPort(const char* given) {
  PortChoice c = ParsePortChoice(given != nullptr ? given : std::getenv("PT4_PORT"));
  if (given != nullptr) c.source = "--port";
  if (const char* trace = std::getenv("PT4_TRACE")) c.traceFile = trace;
  return c;
}

}  // namespace pt4
