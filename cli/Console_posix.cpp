// The terminal on Linux and other POSIX systems: bytes are bytes, text is UTF-8.
#include <unistd.h>

#include "cli/Console.h"

namespace pt4::cli {

void PrepareConsole() {}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

bool IsTerminal(int stream) {
  return ::isatty(stream) != 0;
}

long ReadInput(void* buffer, std::size_t size) {
  return static_cast<long>(::read(0, buffer, size));
}

std::tm LocalTime(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

}  // namespace pt4::cli
