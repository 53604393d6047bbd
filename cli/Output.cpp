#include "cli/Output.h"

#include "cli/Console.h"
#include "image/Buffer.h"

namespace pt4::cli {

namespace {
const char* Ansi(Colour c) {
  switch (c) {
    case Colour::Navy:
      return "\033[34m";
    case Colour::Maroon:
      return "\033[31m";
    case Colour::Green:
      return "\033[32m";
    case Colour::Red:
      return "\033[1;31m";
    default:
      return "";
  }
}
}  // namespace

void PrintLine(std::FILE* to, const std::string& text, Colour c, bool colour) {
  std::string t;
  t.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    t += text[i];
  }
  if (colour) {
    std::fprintf(to, "%s%s\033[0m\n", Ansi(c), t.c_str());
  } else {
    std::fprintf(to, "%s\n", t.c_str());
  }
}

TerminalView::TerminalView(bool quiet, bool json)
    : quiet_(quiet || json), colour_(IsTerminal(1)), bar_(IsTerminal(2) && !quiet) {}

void TerminalView::AddReportLine(const std::string& t, Colour c) {
  if (printReport && !quiet_) {
    EndBar();
    PrintLine(stdout, t, c, colour_);
  }
}

void TerminalView::ShowTimeLeft(std::int64_t ns) {
  if (!bar_ || (address_ % 8 != 7 && address_ != kChipWords - 1)) return;
  const int filled = (address_ + 1) * 40 / kChipWords;
  const long long s = (ns + 999'999'999) / 1'000'000'000;
  std::fprintf(stderr, "\r%s [%s%s] %05X %3d%%  %lld:%02lld left ", label.c_str(),
               std::string(static_cast<std::size_t>(filled), '#').c_str(),
               std::string(static_cast<std::size_t>(40 - filled), '.').c_str(), address_,
               (address_ + 1) * 100 / kChipWords, s / 60, s % 60);
  barShown_ = true;
}

void TerminalView::EndBar() {
  if (barShown_) std::fputs("\r\033[K", stderr);
  barShown_ = false;
}

}  // namespace pt4::cli
