#include "image/FileUtil.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace pt4 {

bool PathExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

std::string ParentFolder(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

namespace {
// Follow a symbolic link, so that the rename replaces the file it points to and
// not the link itself.
std::string ResolveTarget(const std::string& path) {
  char buf[PATH_MAX];
  if (::realpath(path.c_str(), buf) != nullptr) return buf;
  return path;
}

int WriteAll(int fd, const std::uint8_t* p, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return errno == EFBIG ? ENOSPC : errno;
    }
    if (w == 0) return ENOSPC;
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return 0;
}
}  // namespace

int WriteFileAtomically(const std::string& requested, const std::vector<std::uint8_t>& data) {
  const std::string path = ResolveTarget(requested);
  mode_t mode = 0666;
  bool replacing = false;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    replacing = true;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return EINVAL;
    if ((st.st_mode & 0222) == 0) return EACCES;
    if (::access(path.c_str(), W_OK) != 0) return errno;
    mode = st.st_mode & 07777;
  } else {
    if (errno != ENOENT) return errno;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  const std::string folder = ParentFolder(path);
  std::string tmpl = folder + "/." + path.substr(path.find_last_of('/') + 1) + ".XXXXXX";
  const int fd = ::mkstemp(tmpl.data());
  if (fd < 0) return errno;
  int err = ::fchmod(fd, mode) == 0 ? 0 : errno;
  // The file keeps its owner and group, as an overwrite in place would (root
  // saving over a user's file must not take it from the user). Only root can
  // give a file away; for anyone else the file is already theirs or cannot be.
  if (err == 0 && replacing && (st.st_uid != ::geteuid() || st.st_gid != ::getegid())) {
    if (::fchown(fd, st.st_uid, st.st_gid) != 0 && ::geteuid() == 0) err = errno;
  }
  if (err == 0) err = WriteAll(fd, data.data(), data.size());
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && ::rename(tmpl.c_str(), path.c_str()) != 0) err = errno;
  if (err != 0) ::unlink(tmpl.c_str());
  return err;
}

void RemoveStaleTemporaries(const std::string& requested) {
  const std::string path = ResolveTarget(requested);
  const std::string folder = ParentFolder(path);
  const std::string prefix = "." + path.substr(path.find_last_of('/') + 1) + ".";
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    // Exactly what WriteFileAtomically makes: the prefix and mkstemp's six characters.
    if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0) {
      ::unlink((folder + "/" + name).c_str());
    }
  }
  ::closedir(dir);
}

int ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t limit) {
  // O_NONBLOCK: a pipe or a device must not hang the program; it is refused below.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    return err;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  }
  out.clear();
  std::uint8_t buf[4096];
  while (out.size() < limit) {
    const ssize_t r = ::read(fd, buf, sizeof buf);
    if (r < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      return err;
    }
    if (r == 0) break;
    out.insert(out.end(), buf, buf + r);
  }
  if (out.size() > limit) out.resize(limit);
  ::close(fd);
  return 0;
}

}  // namespace pt4
