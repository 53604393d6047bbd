// The production log of a batch: one JSON line per chip, appended whole and
// flushed to the disk, so a crash or a pulled plug loses no finished chip.
#pragma once

#include <string>

#include "cli/Json.h"

namespace pt4::cli {

// Local time as 2026-12-09T03:30:12+0000.
std::string IsoTimeNow();

class ProductionLog {
 public:
  // No file for an empty path: Append then does nothing. Throws FileError.
  explicit ProductionLog(const std::string& path);
  ~ProductionLog();
  ProductionLog(const ProductionLog&) = delete;
  ProductionLog& operator=(const ProductionLog&) = delete;
  // One line, in one write (O_APPEND), then to the disk. Throws FileError.
  void Append(const Json& line);

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace pt4::cli
