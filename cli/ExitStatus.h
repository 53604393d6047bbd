// pt4cli's exit statuses in one table: the status of every outcome, the name a
// JSON object gives it, and the "Exit status" lines of --help are all read
// from here, so that they cannot disagree.
#pragma once

#include <string>

#include "base/Message.h"

namespace pt4::cli {

constexpr int kExitIdentical = 0, kExitProgrammable = 1, kExitBad = 2, kExitUsage = 3,
              kExitPort = 4, kExitRefused = 5;

struct ExitRow {
  int status;
  const char* result;  // the JSON "result" of a command that ends with it
  const char* help;    // what it means, as --help and the manual say
};
inline constexpr ExitRow kExitRows[] = {
    {kExitIdentical, "identical", "identical or done"},
    {kExitProgrammable, "programmable", "some words only programmable"},
    {kExitBad, "bad", "some bad"},
    {kExitUsage, "error", "usage or file error"},
    {kExitPort, "error", "port error"},
    {kExitRefused, "refused", "write refused (a blown bit the image lacks, or no chip answers)"},
};

// Which status an error ends with, and the "kind" its JSON error object names.
struct KindRow {
  ErrorKind kind;
  int status;
  const char* name;
};
inline constexpr KindRow kKindRows[] = {
    {ErrorKind::Usage, kExitUsage, "usage"},
    {ErrorKind::File, kExitUsage, "file"},
    {ErrorKind::Port, kExitPort, "port"},
    // Root kept for the port could not be given up: nothing ran, as with a
    // refused port.
    {ErrorKind::Privilege, kExitPort, "privilege"},
};

const KindRow& RowOf(ErrorKind kind);
// The JSON "result" of a command that ended with `status`.
const char* ResultName(int status);
// "Exit status: 0 identical or done, ..., 128+n for signal n.", in lines of at
// most `width` characters.
std::string ExitStatusHelp(std::size_t width = 79);

}  // namespace pt4::cli
