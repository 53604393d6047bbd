// ppdev is the Linux kernel's: on Windows a /dev/parportN port says where to
// turn instead, at its first access, like any refused port.
#include "hardware/PpdevBackend.h"

namespace pt4 {

int PpdevSys::OpenPath(const char*) {
  return -1;
}
int PpdevSys::Fstat(int, struct stat*) {
  return -1;
}
int PpdevSys::Open(const char*, int) {
  return -1;
}
int PpdevSys::Ioctl(int, unsigned long, void*) {
  return -1;
}
int PpdevSys::Close(int) {
  return 0;
}

PpdevBackend::PpdevBackend(std::string device, std::uint16_t base, std::shared_ptr<PpdevSys> sys)
    : device_(std::move(device)), base_(base), sys_(std::move(sys)) {}

PpdevBackend::~PpdevBackend() = default;

void PpdevBackend::Open() {
  openError_ = Message{
      Tr("pt4::Port",
         "%1 is a port of the Linux kernel's ppdev driver. On Windows the port is reached "
         "through the InpOut32 driver: choose it with --port direct (0x378) or direct:0xADDR (a "
         "PCIe card's address, as the device manager lists it).")
          .With(device_)};
}

void PpdevBackend::Check() {
  if (!openError_) Open();
  throw PortError(*openError_);
}

void PpdevBackend::Out(std::uint16_t, std::uint8_t) {
  Check();
}

std::uint8_t PpdevBackend::In(std::uint16_t) {
  Check();
  return 0xFF;
}

void PpdevBackend::Release() {}

void PpdevBackend::CrashOut(std::uint16_t, std::uint8_t) noexcept {}

int PpdevBackend::SendControl(std::uint8_t, const char**) noexcept {
  return -1;
}

int PpdevBackend::SetDirection(int) noexcept {
  return -1;
}

void PpdevBackend::Fail(const char*, int) {
  if (!openError_) Open();
  throw PortError(*openError_);
}

}  // namespace pt4
