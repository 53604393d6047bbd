// pt4cli's command line: the command, its files and the options, checked
// against each other before anything touches a file or the port.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/Message.h"
#include "image/ImageFormats.h"
#include "operations/Params.h"

namespace pt4::cli {

// A command line that cannot be run: one line for the user, then a pointer to --help.
// pt4cli speaks English alone (its words go to scripts and logs), so its own
// sentences are plain text.
inline Error UsageError(std::string text) {
  return Error(ErrorKind::Usage, Message{std::move(text)});
}

struct Options {
  std::string command;
  std::vector<std::string> args;
  std::string file, out;
  ProgParams params;
  std::string maskName = "low";
  bool maskGiven = false;  // --mask was on the command line: its bits are the user's choice
  ImageFormat format = ImageFormat::Auto, to = ImageFormat::Auto;
  std::string port, log;
  bool repeat = false, quiet = false, verbose = false, json = false, force = false, dryRun = false,
       stopOnFail = false;
};

// Options may stand before or after the command. --help and --version print and
// end the process; anything else that is wrong throws Error of kind Usage.
// `words` is the whole command line, the program's name first.
Options Parse(const std::vector<std::string>& words);

}  // namespace pt4::cli
