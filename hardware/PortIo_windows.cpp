// I/O ports on Windows, through the InpOut32 driver's DLL (inpoutx64.dll), which
// the user installs once, as administrator, with its own signed driver. The
// DLL is loaded at run time, never shipped or embedded: without it nothing but
// the refusal's text happens.
#include <windows.h>

#include <utility>

#include "hardware/PortIo.h"

namespace pt4::portio {

namespace {
using Out32Fn = void(__stdcall*)(short port, short data);
using Inp32Fn = short(__stdcall*)(short port);
using IsOpenFn = BOOL(__stdcall*)();

Out32Fn g_out = nullptr;
Inp32Fn g_in = nullptr;

Message Refused(Phrase cause) {
  return {std::move(cause),
          Tr("pt4::Port",
             "Install the InpOut32 driver once, as administrator (its InstallDriver.exe), and "
             "put inpoutx64.dll beside pt4cli.exe; pt4cli probe then tells whether the port "
             "answers.")};
}
}  // namespace

Message Grant(std::uint16_t, std::uint16_t) {
  if (g_out != nullptr) return {};
  HMODULE dll = LoadLibraryW(L"inpoutx64.dll");
  if (dll == nullptr)
    return Refused(Tr("pt4::Port", "inpoutx64.dll, the InpOut32 driver's DLL, was not found"));
  auto out = reinterpret_cast<Out32Fn>(reinterpret_cast<void*>(GetProcAddress(dll, "Out32")));
  auto in = reinterpret_cast<Inp32Fn>(reinterpret_cast<void*>(GetProcAddress(dll, "Inp32")));
  auto open = reinterpret_cast<IsOpenFn>(
      reinterpret_cast<void*>(GetProcAddress(dll, "IsInpOutDriverOpen")));
  if (out == nullptr || in == nullptr || open == nullptr) {
    FreeLibrary(dll);
    return Refused(Tr("pt4::Port",
                      "inpoutx64.dll lacks Out32, Inp32 or IsInpOutDriverOpen: it is not "
                      "InpOut32's"));
  }
  if (!open()) {
    FreeLibrary(dll);
    return Refused(Tr("pt4::Port",
                      "the InpOut32 driver is not open: it needs installing once by an "
                      "administrator"));
  }
  g_out = out;
  g_in = in;
  return {};
}

// The driver grants every port at once; there is nothing to give back.
void Revoke(std::uint16_t, std::uint16_t) noexcept {}

void Out(std::uint16_t port, std::uint8_t value) noexcept {
  if (g_out != nullptr) g_out(static_cast<short>(port), static_cast<short>(value));
}

std::uint8_t In(std::uint16_t port) noexcept {
  return g_in != nullptr ? static_cast<std::uint8_t>(g_in(static_cast<short>(port)) & 0xFF) : 0xFF;
}

}  // namespace pt4::portio
