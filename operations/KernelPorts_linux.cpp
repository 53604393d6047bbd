// The kernel's parallel ports on Linux, from /proc/sys/dev/parport.
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "operations/Probe.h"

namespace pt4 {

namespace {
// The kernel lists the base (and the ECR) in decimal: "888\t1914".
std::string Addresses(const std::string& decimal) {
  std::string out;
  std::size_t at = 0;
  while (at < decimal.size()) {
    std::size_t used = 0;
    unsigned long v = 0;
    try {
      v = std::stoul(decimal.substr(at), &used, 10);
    } catch (...) {
      break;
    }
    at += used;
    if (v == 0 && !out.empty()) continue;  // no ECR listed
    char buf[16];
    std::snprintf(buf, sizeof buf, "%s0x%lX", out.empty() ? "" : " ECR ", v);
    out += buf;
  }
  return out.empty() ? decimal : out;
}
}  // namespace

std::string NoPortsText() {
  return "No parallel ports known to the kernel (load them with 'sudo modprobe parport_pc "
         "ppdev').";
}

std::string PortStatusText(const KernelPort& p) {
  return !p.deviceExists ? "no device: load ppdev"
         : p.mayOpen     ? "you may open it"
                         : "not for you: join group lp";
}

std::string ModesFileFor(const std::string& device, const std::string& procRoot) {
  const auto slash = device.find_last_of('/');
  const std::string name = slash == std::string::npos ? device : device.substr(slash + 1);
  const std::string path = procRoot + "/" + name + "/modes";
  return ::access(path.c_str(), R_OK) == 0 ? path : std::string();
}

std::vector<KernelPort> KernelPorts(const std::string& procRoot, const std::string& devRoot) {
  std::vector<KernelPort> ports;
  DIR* dir = ::opendir(procRoot.c_str());
  if (dir == nullptr) return ports;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name.rfind("parport", 0) != 0) continue;
    KernelPort p;
    p.name = name;
    p.device = devRoot + "/" + name;
    p.base = Addresses(ReadFirstLine(procRoot + "/" + name + "/base-addr"));
    p.modes = ReadFirstLine(procRoot + "/" + name + "/modes");
    p.deviceExists = ::access(p.device.c_str(), F_OK) == 0;
    p.mayOpen = ::access(p.device.c_str(), R_OK | W_OK) == 0;
    ports.push_back(p);
  }
  ::closedir(dir);
  std::sort(ports.begin(), ports.end(),
            [](const KernelPort& a, const KernelPort& b) { return a.name < b.name; });
  return ports;
}

}  // namespace pt4
