// I/O ports on Windows, through the InpOut32 driver's DLL (inpoutx64.dll), which
// the user installs once, as administrator, with its own signed driver. The
// DLL is loaded at run time, never shipped or embedded: without it nothing but
// the refusal's text happens. It is taken only from the program's own folder or
// from System32: a DLL of that name in the folder the user works in (Downloads,
// a stick of images) or on PATH would run its code inside this program.
#include <windows.h>

#include <string>
#include <utility>

#include "base/WideText.h"
#include "hardware/PortIo.h"

namespace pt4::portio {

// Windows lists no port regions a program can read; the InpOut32 driver is the
// administrator's grant, installed for this.
Message RefuseUnlisted(std::uint16_t, std::uint16_t) {
  return {};
}

namespace {
using Out32Fn = void(__stdcall*)(short port, short data);
using Inp32Fn = short(__stdcall*)(short port);
using IsOpenFn = BOOL(__stdcall*)();

Out32Fn g_out = nullptr;
Inp32Fn g_in = nullptr;

// The 64-bit driver package's DLL, or the 32-bit one's for a 32-bit program.
constexpr const wchar_t* kDllName = sizeof(void*) == 8 ? L"inpoutx64.dll" : L"inpout32.dll";

// The program the user started, as Explorer shows its file: pt4prog.exe or pt4cli.exe.
std::string ProgramFile() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return "pt4cli.exe";
  const wchar_t* name = path;
  for (const wchar_t* c = path; *c != 0; ++c) {
    if (*c == L'\\' || *c == L'/') name = c + 1;
  }
  return Utf8FromWide(name);
}

// The cause, then what to do: first how to try everything without the driver,
// then how to install it, in the words of the program the user started.
Message Refused(Phrase cause) {
  const std::string program = ProgramFile();
  const bool window = program.rfind("pt4prog", 0) == 0;
  return {std::move(cause),
          window ? Tr("pt4::Port",
                      "To try the program without a programmer, double-click \"%1\" in its "
                      "folder.")
                       .With("Pt4prog (simulated programmer).cmd")
                 : Tr("pt4::Port", "To try it without a programmer, give --port sim."),
          Tr("pt4::Port",
             "For the port, install the InpOut32 driver once, as administrator (its "
             "InstallDriver.exe), and put %1 beside %2; DRIVER.txt says where to get it, and "
             "pt4cli probe then tells whether the port answers.")
              .With(Utf8FromWide(kDllName), program)};
}

// The DLL from the program's folder, else from System32, each by its full name:
// a bare name would be searched for, the working folder and PATH among the places.
HMODULE LoadInpOut() {
  std::wstring folders[2];
  wchar_t buf[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    folders[0].assign(buf, n);
    folders[0].resize(folders[0].find_last_of(L"\\/") + 1);
  }
  n = GetSystemDirectoryW(buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) folders[1] = std::wstring(buf, n) + L"\\";
  for (const auto& folder : folders) {
    if (folder.empty()) continue;
    const std::wstring path = folder + kDllName;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    // Its own dependencies from its folder and System32 alone, never from PATH.
    if (HMODULE dll = LoadLibraryExW(
            path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32))
      return dll;
  }
  return nullptr;
}

// A registry switch of Windows' own, when it is on.
bool SwitchOn(const wchar_t* key, const wchar_t* value) {
  DWORD data = 0, size = sizeof data;
  return RegGetValueW(HKEY_LOCAL_MACHINE, key, value, RRF_RT_REG_DWORD, nullptr, &data, &size) ==
             ERROR_SUCCESS &&
         data != 0;
}

// Why the DLL found no open driver, as far as the service manager tells: never
// installed, or installed and not running, which on Windows 11 is most often
// Windows refusing to load it.
Message DriverNotOpen() {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  SC_HANDLE service =
      manager != nullptr ? OpenServiceW(manager, L"inpoutx64", SERVICE_QUERY_STATUS) : nullptr;
  const DWORD error = service == nullptr ? GetLastError() : ERROR_SUCCESS;
  if (service != nullptr) CloseServiceHandle(service);
  if (manager != nullptr) CloseServiceHandle(manager);
  if (error == ERROR_SERVICE_DOES_NOT_EXIST) {
    return Refused(Tr("pt4::Port",
                      "the InpOut32 driver is not open: it needs installing once by an "
                      "administrator"));
  }
  const bool hvci = SwitchOn(
      L"SYSTEM\\CurrentControlSet\\Control\\DeviceGuard\\Scenarios\\HypervisorEnforcedCodeIntegrit"
      L"y",
      L"Enabled");
  const bool blocklist = SwitchOn(L"SYSTEM\\CurrentControlSet\\Control\\CI\\Config",
                                  L"VulnerableDriverBlocklistEnable");
  return {Tr("pt4::Port",
             "the InpOut32 driver is installed, but Windows did not start it. Windows 11 "
             "refuses drivers like it when memory integrity (Core isolation) or the "
             "Microsoft vulnerable driver blocklist is on%1")
              .With(hvci && blocklist ? Tr("pt4::Port", "; on this machine both are on")
                    : hvci            ? Tr("pt4::Port", "; on this machine memory integrity is on")
                    : blocklist       ? Tr("pt4::Port", "; on this machine the blocklist is on")
                                      : Phrase(std::string())),
          Tr("pt4::Port",
             "Windows Security, Device security, Core isolation shows both switches; turning "
             "them off lowers the machine's protection, so do it only on a machine kept for "
             "this programmer, then restart. Else use the port from Linux with ppdev.")};
}
}  // namespace

Message Grant(std::uint16_t, std::uint16_t) {
  if (g_out != nullptr) return {};
  HMODULE dll = LoadInpOut();
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
    return DriverNotOpen();
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
