// The terminal pt4cli talks to, as the platform has it: standard streams that
// carry raw image bytes, colours, UTF-8 arguments and text.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

namespace pt4::cli {

// Before anything is read or written: binary standard input and output, UTF-8
// text, colours where the terminal can show them.
void PrepareConsole();
// The command line's words in UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);
// True when the stream (1 standard output, 2 standard error) is a terminal.
bool IsTerminal(int stream);
// Reads standard input: the bytes read, 0 at its end, -1 with errno on failure.
long ReadInput(void* buffer, std::size_t size);
// The local time, broken down.
std::tm LocalTime(std::time_t t);

}  // namespace pt4::cli
