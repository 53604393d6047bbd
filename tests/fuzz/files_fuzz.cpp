// libFuzzer target: what the programs read from files they did not write: a
// whole file read back, the simulator's chip file, and the kernel's parallel
// port list under /proc. No crash, no hang; a read gives the file's bytes; a
// chip file loads only when it has exactly 256 bytes, and then as they are.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hardware/Clock.h"
#include "hardware/DirectPort.h"
#include "hardware/SimProgrammer.h"
#include "image/FileUtil.h"
#include "operations/Probe.h"

namespace {
namespace fs = std::filesystem;

// A folder of the run's own, gone when the fuzzer ends.
struct ScratchFolder {
  fs::path dir = fs::temp_directory_path() / ("pt4fuzz" + std::to_string(getpid()));
  ScratchFolder() { fs::create_directories(dir); }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
};

const fs::path& Scratch() {
  static const ScratchFolder folder;
  return folder.dir;
}

void Write(const fs::path& p, const std::uint8_t* data, std::size_t size) {
  std::ofstream(p, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0];
  ++data;
  --size;
  const fs::path file = Scratch() / "input";
  switch (mode % 3) {
    case 0: {  // a whole file, read with a limit
      Write(file, data, size);
      const std::size_t limit = (mode >> 2) * 64 + 1;
      std::vector<std::uint8_t> out;
      if (pt4::ReadWholeFile(file.string(), out, limit) != 0) std::abort();
      const std::size_t want = size < limit ? size : limit;
      if (out.size() != want || !std::equal(out.begin(), out.end(), data)) std::abort();
      break;
    }
    case 1: {  // the simulator's chip file
      Write(file, data, size);
      pt4::VirtualClock clock;
      pt4::SimProgrammer sim(clock, pt4::PortBase);
      std::string why;
      bool attached = true;
      try {
        sim.AttachFile(file.string());
      } catch (const pt4::Error& e) {
        attached = false;
        why = e.what();
      }
      if (attached != (size == 256)) std::abort();
      if (!attached && why.empty()) std::abort();
      for (std::size_t a = 0; attached && a < 256; ++a) {
        if (sim.Word(static_cast<int>(a)) != (data[a] & 0x0F)) std::abort();
      }
      break;
    }
    default: {  // /proc/sys/dev/parport: base-addr, then modes after a 0x00
      const fs::path proc = Scratch() / "proc", port = proc / "parport0";
      fs::create_directories(port);
      const auto* split = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
      const std::size_t baseLen = split != nullptr ? static_cast<std::size_t>(split - data) : size;
      Write(port / "base-addr", data, baseLen);
      Write(port / "modes", data + baseLen, size - baseLen);
      const auto ports = pt4::KernelPorts(proc.string(), (Scratch() / "dev").string());
      if (ports.size() != 1 || ports[0].device != (Scratch() / "dev" / "parport0").string())
        std::abort();
      break;
    }
  }
  return 0;
}
