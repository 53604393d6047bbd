#include "cli/Options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <iterator>

#include "cli/ExitStatus.h"
#include "operations/Session.h"

#ifndef PT4_VERSION
#define PT4_VERSION "0"
#endif

namespace pt4::cli {

namespace {
const char kFooter[] =
    "\nCommands:\n"
    "  read FILE        read the chip and save it as FILE; print the signature\n"
    "  verify FILE      compare FILE with the chip; print the report\n"
    "  write FILE       program FILE into the chip, then verify with report\n"
    "  blank            check that every word of the chip reads 0 under the mask\n"
    "  checksum FILE    the signature, CRC32 and SHA-1 of FILE\n"
    "  dump FILE        the dump the window shows\n"
    "  convert IN OUT   turn one image format into another\n"
    "  probe            test the port and the programmer, and say what was found\n"
    "  ports            list the kernel's parallel ports\n"
    "  reset            set the programmer idle and give the port back\n"
    "\n"
    "FILE may be - for standard input or output (written raw unless --format says\n"
    "otherwise). A load takes --format, else the name's extension (.hex/.ihx Intel\n"
    "HEX, .s19/.srec/.mot S-record, .rom/.bin raw), else the content: a file with a\n"
    "line starting ':' or S and a digit is a text image and must be right; only one\n"
    "with no such line is raw. --format high or packed reads nibble dumps. A read or\n"
    "convert saves by the name's extension, anything else raw.\n"
    "\n"
    "%EXIT%"
    "The port is --port, else PT4_PORT:\n"
    "%PORTS%"
    "PT4_TRACE=FILE records every port access.\n";

// One line a kind of port, from the table the parser and the opener read.
std::string PortLines() {
  std::string out;
  for (const Session::PortForm& kind : Session::PortForms()) {
    std::string line = "  " + kind.form;
    line.resize(std::max<std::size_t>(line.size() + 2, 32), ' ');
    out += line + kind.means + "\n";
  }
  return out;
}
}  // namespace

Options Parse(const std::vector<std::string>& commandLine) {
  Options o;
  CLI::App app{"pt4cli: programs K556PT4 PROMs through the ZI4 adapter", "pt4cli"};
  std::string footer = kFooter;
  footer.replace(footer.find("%EXIT%"), 6, ExitStatusHelp());
  footer.replace(footer.find("%PORTS%"), 7, PortLines());
  app.footer(footer);
  app.set_version_flag("--version", std::string("pt4cli ") + PT4_VERSION);
  std::vector<std::string> words;
  std::string format, to;
  int voltage = o.params.ProgVoltage, time = o.params.ProgTime, cycles = o.params.ProgCycles;
  app.add_option("command", words, "COMMAND and its FILE arguments")->required();
  auto* mask =
      app.add_option("--mask", o.maskName, "low, lh (bits 0-1 loaded as 2-3), high or full")
          ->check(CLI::IsMember({"low", "lh", "high", "full"}))
          ->capture_default_str();
  app.add_option("--voltage", voltage, "programming voltage in tenths: 105, 110, ... 150")
      ->check(CLI::IsMember({105, 110, 115, 120, 125, 130, 135, 140, 145, 150}))
      ->capture_default_str();
  app.add_option("--time", time, "pulse width in milliseconds")
      ->check(CLI::Range(kMinProgTime, kMaxProgTime))
      ->capture_default_str();
  app.add_option("--cycles", cycles, "programming cycles per address")
      ->check(CLI::Range(kMinProgCycles, kMaxProgCycles))
      ->capture_default_str();
  app.add_option("--format", format, "image format of FILE or IN: raw, hex, srec, high, packed")
      ->check(CLI::IsMember({"auto", "raw", "hex", "srec", "high", "packed"}));
  app.add_option("--to", to, "convert: format of OUT (default: by its extension)")
      ->check(CLI::IsMember({"raw", "hex", "srec", "high", "packed"}));
  app.add_option("--port", o.port, "the port, as PT4_PORT (wins over it)");
  app.add_flag("--repeat", o.repeat, "write: program one chip after another until end of input");
  app.add_option("--log", o.log, "write --repeat: append one JSON line per chip to this file");
  app.add_flag("--stop-on-fail", o.stopOnFail,
               "write --repeat: stop at the first chip not identical");
  app.add_flag("--force", o.force, "write even onto a chip with a blown bit the image lacks");
  app.add_flag("--dry-run", o.dryRun, "write: read the chip and say what a write would do");
  app.add_flag("--json", o.json, "print one JSON object on standard output");
  app.add_flag("-q,--quiet", o.quiet, "print only the verdict, in one line");
  app.add_flag("-v,--verbose", o.verbose, "say more on standard error");
  try {
    // CLI11 takes the words after the program's name, last first.
    std::vector<std::string> reversed(commandLine.rbegin(), commandLine.rend());
    if (!reversed.empty()) reversed.pop_back();
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    std::cout << app.help();
    std::exit(0);
  } catch (const CLI::CallForVersion&) {
    std::cout << app.version() << "\n";
    std::exit(0);
  } catch (const CLI::ParseError& e) {
    throw UsageError(e.what());
  }
  o.command = words[0];
  o.maskGiven = mask->count() > 0;
  o.args.assign(words.begin() + 1, words.end());
  const auto idx = MaskIndexForName(o.maskName);
  o.params.CompMask = kMaskModes[*idx].mask;
  o.params.LowToHigh = kMaskModes[*idx].lowToHigh;
  // A conversion keeps every bit unless a mask is asked for: the default mask of
  // the chip passes would silently drop bits 2-3.
  if (o.command == "convert" && mask->count() == 0) {
    o.params.CompMask = 0xFF;
    o.params.LowToHigh = false;
  }
  o.params.ProgVoltage = voltage;
  o.params.ProgTime = time;
  o.params.ProgCycles = cycles;
  if (!format.empty()) o.format = *FormatFromName(format);
  if (!to.empty()) o.to = *FormatFromName(to);

  struct Shape {
    const char* name;
    std::size_t files;
  };
  static const Shape kCommands[] = {{"read", 1},     {"verify", 1}, {"write", 1},   {"blank", 0},
                                    {"checksum", 1}, {"dump", 1},   {"convert", 2}, {"probe", 0},
                                    {"ports", 0},    {"reset", 0}};
  const auto shape = std::find_if(std::begin(kCommands), std::end(kCommands),
                                  [&](const Shape& s) { return o.command == s.name; });
  if (shape == std::end(kCommands)) throw UsageError("unknown command '" + o.command + "'");
  if (o.args.size() != shape->files) {
    throw UsageError(o.command + " takes " +
                     (shape->files == 0   ? std::string("no FILE")
                      : shape->files == 1 ? std::string("one FILE")
                                          : std::string("IN and OUT")));
  }
  if (shape->files >= 1) o.file = o.args[0];
  if (shape->files == 2) o.out = o.args[1];
  const bool write = o.command == "write";
  if (o.repeat && !write) throw UsageError("--repeat goes with write");
  if ((o.force || o.dryRun) && !write) throw UsageError("--force and --dry-run go with write");
  if ((!o.log.empty() || o.stopOnFail) && !o.repeat) {
    throw UsageError("--log and --stop-on-fail go with write --repeat");
  }
  if (o.repeat && o.dryRun) throw UsageError("--dry-run does not go with --repeat");
  if (o.repeat && o.file == "-")
    throw UsageError("--repeat reads Enter from standard input: give the image as a file");
  if (o.json && (o.command == "dump" || o.command == "convert" || o.command == "ports" ||
                 o.command == "reset")) {
    throw UsageError("--json goes with read, verify, write, blank, checksum and probe");
  }
  if (o.to != ImageFormat::Auto && o.command != "convert")
    throw UsageError("--to goes with convert");
  if (o.json && o.command == "read" && o.file == "-")
    throw UsageError("read - writes the image to standard output: --json cannot share it");
  return o;
}

}  // namespace pt4::cli
