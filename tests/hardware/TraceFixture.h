// A programmer on the tracing backend with the virtual clock: the exact port
// sequence of anything driven through it can be read back as trace lines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "hardware/Clock.h"
#include "hardware/DirectPort.h"
#include "hardware/OpenPort.h"
#include "hardware/Registers.h"
#include "hardware/SimProgrammer.h"
#include "hardware/TracingBackend.h"
#include "image/FileUtil.h"

namespace pt4::testing {

// The backend that a PT4_PORT value names, opened as the programs open it but
// with nobody's rights changed and no trace.
inline std::unique_ptr<PortBackend> OpenedForTest(const std::string& value, Clock& clock) {
  const PortChoice choice = ParsePortChoice(value.c_str());
  OpenedPort opened = OpenPortAccess(choice, clock);
  CompleteBackend(opened, choice, clock);
  return std::move(opened.backend);
}

class TracedProgrammer {
 public:
  TracedProgrammer() {
    static int made = 0;
    path_ = (std::filesystem::temp_directory_path() /
             ("pt4trace-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "-" +
              std::to_string(++made)))
                .string();
    auto simOwned = std::make_unique<SimProgrammer>(clock, PortBase);
    sim = simOwned.get();
    trace = std::make_unique<TracingBackend>(std::move(simOwned),
                                             OpenRecordFile(path_, true, false), clock);
    port = std::make_unique<TDirectPort>(*trace);
    regs.Attach(port.get());
  }
  ~TracedProgrammer() {
    trace.reset();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  // Everything traced so far.
  std::string Text() {
    std::ifstream in(path_, std::ios::binary);
    text_.assign(std::istreambuf_iterator<char>(in), {});
    buf_ = text_.data();
    size_ = text_.size();
    return text_;
  }
  // The trace lines without their timestamps, e.g. "out 0x37A 0x05".
  std::vector<std::string> Lines(bool withTime = false) {
    Text();
    std::vector<std::string> out;
    std::istringstream in(std::string(buf_ != nullptr ? buf_ : "", size_));
    std::string line;
    while (std::getline(in, line)) {
      if (line.size() <= start_) continue;
      out.push_back(withTime ? line : line.substr(line.find(' ') + 1));
    }
    return out;
  }
  // Forget what was traced so far.
  void Mark() {
    Lines();
    start_ = 0;
    skip_ = size_;
  }
  std::vector<std::string> Since() {
    Text();
    std::vector<std::string> out;
    std::istringstream in(std::string(buf_ + skip_, size_ - skip_));
    std::string line;
    while (std::getline(in, line)) out.push_back(line.substr(line.find(' ') + 1));
    return out;
  }

  VirtualClock clock;
  SimProgrammer* sim = nullptr;
  std::unique_ptr<TracingBackend> trace;
  std::unique_ptr<TDirectPort> port;
  Registers regs;

 private:
  std::string path_;
  std::string text_;
  char* buf_ = nullptr;
  std::size_t size_ = 0;
  std::size_t start_ = 0;
  std::size_t skip_ = 0;
};

}  // namespace pt4::testing
