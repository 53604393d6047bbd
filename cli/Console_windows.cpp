// The console on Windows: standard input and output in binary mode (an image
// is bytes, not text with CR LF), output in UTF-8 ("µs"), ANSI colours where
// the console can show them, and the command line read wide and given as UTF-8.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

#include "base/WideText.h"
#include "cli/Console.h"

namespace pt4::cli {

namespace {
void AllowColours(DWORD which) {
  HANDLE h = GetStdHandle(which);
  DWORD mode = 0;
  if (h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode))
    SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}
}  // namespace

void PrepareConsole() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
  AllowColours(STD_OUTPUT_HANDLE);
  AllowColours(STD_ERROR_HANDLE);
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) out.push_back(Utf8FromWide(wide[i]));
  LocalFree(wide);
  return out;
}

bool IsTerminal(int stream) {
  return _isatty(stream) != 0;
}

long ReadInput(void* buffer, std::size_t size) {
  return _read(0, buffer, static_cast<unsigned>(size));
}

std::tm LocalTime(std::time_t t) {
  std::tm tm{};
  localtime_s(&tm, &t);
  return tm;
}

}  // namespace pt4::cli
