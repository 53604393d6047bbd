#include "cli/ProductionLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "image/FileUtil.h"
#include "image/RomFile.h"

namespace pt4::cli {

std::string IsoTimeNow() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[40];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S%z", &tm);
  return buf;
}

ProductionLog::ProductionLog(const std::string& path) : path_(path) {
  if (path.empty()) return;
  std::string why;
  fd_ = OpenRecordFile(path, false, true, &why);
  if (fd_ < 0) throw FileError(path + ": cannot be the production log, " + why);
}

ProductionLog::~ProductionLog() {
  if (fd_ >= 0) ::close(fd_);
}

void ProductionLog::Append(const Json& line) {
  if (fd_ < 0) return;
  const std::string text = line.dump() + "\n";
  const ssize_t n = ::write(fd_, text.data(), text.size());
  if (n != static_cast<ssize_t>(text.size()) || ::fdatasync(fd_) != 0) {
    throw FileError(path_ + ": " + FileErrorText(n < 0 ? errno : ENOSPC, path_));
  }
}

}  // namespace pt4::cli
