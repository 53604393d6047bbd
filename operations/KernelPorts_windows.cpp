// The parallel ports Windows knows, from its device manager (SetupAPI): each
// LPT port of the Ports class with the I/O ranges it was given, so that the user
// can pick the address of a PCIe card for --port direct:0xADDR.
#include <windows.h>
// These need the types of windows.h first.
#include <cfgmgr32.h>
#include <devguid.h>
#include <setupapi.h>

#include <cstdio>

#include "base/WideText.h"
#include "operations/Probe.h"

namespace pt4 {

namespace {
// The device's I/O ranges as the configuration manager allocated them, first first.
std::vector<unsigned long long> IoBases(DEVINST device) {
  std::vector<unsigned long long> bases;
  LOG_CONF config = 0;
  if (CM_Get_First_Log_Conf(&config, device, ALLOC_LOG_CONF) != CR_SUCCESS &&
      CM_Get_First_Log_Conf(&config, device, BOOT_LOG_CONF) != CR_SUCCESS)
    return bases;
  RES_DES descriptor = 0;
  RESOURCEID kind = 0;
  if (CM_Get_Next_Res_Des(&descriptor, config, ResType_IO, &kind, 0) == CR_SUCCESS) {
    for (;;) {
      IO_DES io{};
      if (CM_Get_Res_Des_Data(descriptor, &io, sizeof io, 0) == CR_SUCCESS)
        bases.push_back(io.IOD_Alloc_Base);
      RES_DES next = 0;
      const CONFIGRET more = CM_Get_Next_Res_Des(&next, descriptor, ResType_IO, &kind, 0);
      CM_Free_Res_Des_Handle(descriptor);
      if (more != CR_SUCCESS) break;
      descriptor = next;
    }
  }
  CM_Free_Log_Conf_Handle(config);
  return bases;
}
}  // namespace

std::string NoPortsText() {
  return "No parallel ports known to Windows (the device manager lists none under Ports).";
}

std::string PortStatusText(const KernelPort& p) {
  return p.deviceExists ? "use --port " + p.device : "no I/O range assigned";
}

std::string ModesFileFor(const std::string&, const std::string&) {
  return {};
}

std::vector<KernelPort> KernelPorts(const std::string&, const std::string&) {
  std::vector<KernelPort> ports;
  HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) return ports;
  SP_DEVINFO_DATA info{};
  info.cbSize = sizeof info;
  for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
    wchar_t name[256] = L"";
    HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key != INVALID_HANDLE_VALUE) {
      DWORD size = sizeof name;
      RegQueryValueExW(key, L"PortName", nullptr, nullptr, reinterpret_cast<LPBYTE>(name), &size);
      RegCloseKey(key);
    }
    if (wcsncmp(name, L"LPT", 3) != 0) continue;  // COM ports share the class
    KernelPort p;
    p.name = Utf8FromWide(name);
    const auto bases = IoBases(info.DevInst);
    char buf[64];
    for (std::size_t b = 0; b < bases.size() && b < 2; ++b) {
      std::snprintf(buf, sizeof buf, "%s0x%llX", b == 0 ? "" : " ECR ", bases[b]);
      p.base += buf;
    }
    if (!bases.empty()) {
      std::snprintf(buf, sizeof buf, "direct:0x%llX", bases[0]);
      p.device = buf;
    }
    p.deviceExists = !bases.empty();
    p.mayOpen = p.deviceExists;
    ports.push_back(p);
  }
  SetupDiDestroyDeviceInfoList(set);
  return ports;
}

}  // namespace pt4
