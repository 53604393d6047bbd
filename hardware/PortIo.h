// The processor's own I/O ports, as the platform lets a program reach them:
// ioperm and inb/outb on Linux, the InpOut32 driver's DLL on Windows. Used by
// DirectBackend alone.
#pragma once

#include <cstdint>

#include "base/Message.h"

namespace pt4::portio {

// Run with rights its user does not have (root through sudo, set-id, capabilities),
// a program may take only registers the system lists as a parallel port's
// (ParallelPorts.h): empty when `base`'s three and `ecr` are such, else why not
// and the ports there are. A root login itself may name any port.
Message RefuseUnlisted(std::uint16_t base, std::uint16_t ecr);
// Asks for `count` ports from `first`. Empty when granted; else why not (a cause
// that follows "refused: ") and then what to do about it, in sentences.
Message Grant(std::uint16_t first, std::uint16_t count);
void Revoke(std::uint16_t first, std::uint16_t count) noexcept;
// Only on granted ports; safe in a crash's signal handler.
void Out(std::uint16_t port, std::uint8_t value) noexcept;
std::uint8_t In(std::uint16_t port) noexcept;

}  // namespace pt4::portio
