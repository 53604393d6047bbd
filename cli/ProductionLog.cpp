#include "cli/ProductionLog.h"

#include <cerrno>
#include <ctime>

#include "cli/Console.h"
#include "image/FileUtil.h"
#include "image/RomFile.h"

namespace pt4::cli {

std::string IsoTimeNow() {
  const std::time_t t = std::time(nullptr);
  const std::tm tm = LocalTime(t);
  char buf[40];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S%z", &tm);
  return buf;
}

ProductionLog::ProductionLog(const std::string& path) : path_(path) {
  if (path.empty()) return;
  try {
    fd_ = OpenRecordFile(path, false, true);
  } catch (const Error& e) {
    throw FileError(Message{path + ": cannot be the production log, " + e.what()});
  }
}

ProductionLog::~ProductionLog() {
  if (fd_ >= 0) CloseRecord(fd_);
}

void ProductionLog::Append(const Json& line) {
  if (fd_ < 0) return;
  const std::string text = JsonDump(line) + "\n";
  bool cutOff = true;
  const int err = AppendWhole(fd_, text.data(), text.size(), &cutOff);
  if (err != 0) {
    throw FileError(Message{
        path_ + ": " + FileErrorText(err, path_) +
        (cutOff ? "; this chip's line is not in the log" : "; the log may end in a broken line")});
  }
}

}  // namespace pt4::cli
