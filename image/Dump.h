// The dump of the image, sixteen words a row, and the panes it is drawn into.
// Plain text: the windows and the terminal only draw what these routines produce.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Colour.h"
#include "image/Buffer.h"

namespace pt4 {

// One dump row of 16 bytes: " 00010 : 00 01 ... 0F = ................" (75 characters).
std::string DumpLine(const RomImage& image, std::int32_t row);

// The panes and the checksum label of the main window, as the dump and the reports see them.
class PaneView {
 public:
  virtual ~PaneView() = default;
  virtual void ClearPanes() = 0;      // program and data pane
  virtual void ShowDumpLayout() = 0;  // data pane hidden, program pane full height
  virtual void AddReportLine(const std::string& text, Colour colour) = 0;
  // Lines of one colour at once, for a view that lays out text once per change.
  virtual void AddReportLines(const std::vector<std::string>& lines, Colour colour) {
    for (const std::string& line : lines) AddReportLine(line, colour);
  }
  virtual void SetChecksumText(const std::string& text) = 0;
};

void ShowDump(const RomImage& image, PaneView& view);
void UpdateChecksum(const RomImage& image, PaneView& view);

}  // namespace pt4
