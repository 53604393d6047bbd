// Files on Linux and other POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "base/Message.h"
#include "image/FileUtil.h"

namespace pt4 {

HeldFile::~HeldFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

int HeldFile::Open(const std::string& path, bool* created) {
  // O_NONBLOCK: a FIFO is refused below instead of waited on.
  const int flags = O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
  // A chip file others can read could be locked by them, which would stop the
  // owner's runs: the user's alone, unless the folder is a group's shared one.
  struct stat folder {};
  const bool shared =
      ::stat(ParentFolder(path).c_str(), &folder) == 0 && (folder.st_mode & S_ISGID) != 0;
  int fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, shared ? 0660 : 0600);
  *created = fd >= 0;
  if (fd < 0 && errno == EEXIST) fd = ::open(path.c_str(), flags);
  if (fd < 0) return errno;
  struct stat st {};
  int err = ::fstat(fd, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
  if (err == 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) err = errno == EWOULDBLOCK ? EBUSY : errno;
  if (err != 0) {
    ::close(fd);
    return err;
  }
  handle_ = fd;
  return 0;
}

bool HeldFile::Is(const std::string& path) const {
  struct stat mine {
  }, named{};
  return handle_ >= 0 && ::fstat(static_cast<int>(handle_), &mine) == 0 &&
         ::stat(path.c_str(), &named) == 0 && mine.st_dev == named.st_dev &&
         mine.st_ino == named.st_ino;
}

LockOwner LockHolder(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  // "1: FLOCK  ADVISORY  WRITE 4711 08:01:1234 0 EOF": the holder's pid, then
  // the file's device (major:minor, hex) and inode.
  std::FILE* locks = std::fopen("/proc/locks", "re");
  if (locks == nullptr) return {};
  char line[256];
  LockOwner holder;
  while (holder.pid == 0 && std::fgets(line, sizeof line, locks) != nullptr) {
    char kind[16], mode[16], access[16];
    long pid = 0;
    unsigned major = 0, minor = 0;
    unsigned long long inode = 0;
    if (std::sscanf(line, "%*d: %15s %15s %15s %ld %x:%x:%llu", kind, mode, access, &pid, &major,
                    &minor, &inode) != 7 ||
        major != ::major(st.st_dev) || minor != ::minor(st.st_dev) || inode != st.st_ino ||
        pid <= 0 || pid == ::getpid()) {
      continue;
    }
    std::string name;
    if (std::FILE* comm = std::fopen(("/proc/" + std::to_string(pid) + "/comm").c_str(), "re")) {
      char buf[64] = {};
      if (std::fgets(buf, sizeof buf, comm) != nullptr) name = buf;
      std::fclose(comm);
    }
    while (!name.empty() && name.back() == '\n') name.pop_back();
    holder = {name, pid};
  }
  std::fclose(locks);
  return holder;
}

int HeldFile::Read(std::vector<std::uint8_t>& out, std::size_t limit) {
  const int fd = static_cast<int>(handle_);
  out.clear();
  std::uint8_t buf[4096];
  for (off_t at = 0; out.size() < limit;) {
    const ssize_t r = ::pread(fd, buf, sizeof buf, at);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return errno;
    if (r == 0) break;
    out.insert(out.end(), buf, buf + r);
    at += r;
  }
  if (out.size() > limit) out.resize(limit);
  return 0;
}

int HeldFile::Rewrite(const std::vector<std::uint8_t>& data) {
  const int fd = static_cast<int>(handle_);
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t w =
        ::pwrite(fd, data.data() + done, data.size() - done, static_cast<off_t>(done));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return w < 0 && errno != EDQUOT ? errno : ENOSPC;
    done += static_cast<std::size_t>(w);
  }
  if (::ftruncate(fd, static_cast<off_t>(data.size())) != 0) return errno;
  return ::fdatasync(fd) == 0 ? 0 : errno;
}

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

bool IsAbsolutePath(const char* path) {
  return path != nullptr && path[0] == '/';
}

bool FolderWritable(const std::string& folder) {
  struct stat st {};
  return ::stat(folder.c_str(), &st) == 0 && (st.st_mode & 0222) != 0 &&
         ::access(folder.c_str(), W_OK) == 0;
}

bool FolderPrivateToUser(const std::string& folder) {
  struct stat st {};
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & 022) == 0 && FolderWritable(folder);
}

int MakeFolder(const std::string& folder) {
  return ::mkdir(folder.c_str(), 0700) == 0 ? 0 : errno;
}

std::string AccountHome() {
  const passwd* pw = ::getpwuid(::getuid());
  if (pw == nullptr || pw->pw_dir == nullptr || pw->pw_dir[0] != '/') return {};
  return pw->pw_dir;
}

int WriteRecord(int fd, const void* data, std::size_t size) {
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t w = ::write(fd, p, size);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return w < 0 && errno != EDQUOT ? errno : ENOSPC;
    p += w;
    size -= static_cast<std::size_t>(w);
  }
  return 0;
}

int AppendWhole(int fd, const void* data, std::size_t size, bool* cutOff) {
  *cutOff = true;
  // Another program appending to the same file (a second batch on one log) waits
  // for this record: the end taken here stays the end until the record is whole
  // or cut off again, so a cut-back never takes another writer's line.
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) return errno;
  }
  int err = 0;
  const off_t end = ::lseek(fd, 0, SEEK_END);
  if (end < 0) {
    err = errno;
  } else {
    err = WriteRecord(fd, data, size);
    if (err == 0) err = SyncRecord(fd);
    if (err != 0) *cutOff = ::ftruncate(fd, end) == 0 && ::fdatasync(fd) == 0;
  }
  ::flock(fd, LOCK_UN);
  return err;
}

int SyncRecord(int fd) {
  return ::fdatasync(fd) == 0 ? 0 : errno == EDQUOT ? ENOSPC : errno;
}

void CloseRecord(int fd) {
  ::close(fd);
}

long WriteRecordNow(int fd, const void* data, std::size_t size) noexcept {
  return static_cast<long>(::write(fd, data, size));
}

namespace {
std::string BaseName(const std::string& path) {
  return path.substr(path.find_last_of('/') + 1);
}

// Where a save lands: the folder of the real target, held open, and the
// target's name in it.
struct Target {
  int dir = -1;
  std::string name;
  bool exists = false;
  struct stat st {};
  Target() = default;
  Target(const Target&) = delete;
  Target& operator=(const Target&) = delete;
  ~Target() {
    if (dir >= 0) ::close(dir);
  }
};

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The path the kernel arrived at for an open descriptor: /proc tells it; without
// /proc, the name realpath gives, taken only when it is the same file.
int RealPathOf(int fd, const std::string& requested, const struct stat& st, std::string* real) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char buf[PATH_MAX];
  const ssize_t n = ::readlink(link, buf, sizeof buf - 1);
  if (n > 0 && buf[0] == '/') {
    *real = std::string(buf, static_cast<std::size_t>(n));
    return 0;
  }
  if (::realpath(requested.c_str(), buf) == nullptr) return errno;
  struct stat again {};
  if (::stat(buf, &again) != 0) return errno;
  if (!SameFile(st, again)) return EAGAIN;
  *real = buf;
  return 0;
}

// The kernel follows the links of `requested` as an open would, so that its
// protections apply; the temporary file then goes beside the file it found. A
// name that is not there yet (or a link to nothing) is made where it is named.
int FindTarget(const std::string& requested, Target& t) {
  if (requested.empty()) return ENOENT;
  const int fd = ::open(requested.c_str(), O_PATH | O_CLOEXEC);
  std::string real = requested;
  if (fd >= 0) {
    int err = ::fstat(fd, &t.st) == 0 ? 0 : errno;
    if (err == 0) err = RealPathOf(fd, requested, t.st, &real);
    ::close(fd);
    if (err != 0) return err;
    if (S_ISDIR(t.st.st_mode)) return EISDIR;
    if (!S_ISREG(t.st.st_mode)) return EINVAL;
    t.exists = true;
  } else if (errno != ENOENT) {
    return errno;
  }
  t.name = BaseName(real);
  if (t.name.empty() || t.name == "." || t.name == "..") return EISDIR;
  t.dir = ::open(ParentFolder(real).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (t.dir < 0) return errno;
  if (t.exists) {
    // Still the same file under that name in that folder, or the save stops.
    struct stat again {};
    if (::fstatat(t.dir, t.name.c_str(), &again, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (!SameFile(t.st, again)) return EAGAIN;
  }
  return 0;
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

constexpr std::size_t kTemporarySuffix = 6;

// A new file ".NAME.XXXXXX" in the target's folder, for this user alone until renamed.
int MakeTemporary(const Target& t, std::string* tmp) {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned char random[kTemporarySuffix];
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
      for (std::size_t i = 0; i < sizeof random; ++i)
        random[i] = static_cast<unsigned char>(::getpid() * 31 + attempt * 7 + i * 13);
    }
    std::string name = "." + t.name + ".";
    for (unsigned char r : random) name += kChars[r % (sizeof kChars - 1)];
    const int fd =
        ::openat(t.dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
      *tmp = name;
      return fd;
    }
    if (errno != EEXIST) return -errno;
  }
  return -EEXIST;
}
}  // namespace

namespace {
int WriteTarget(const std::string& requested, const std::vector<std::uint8_t>& data,
                bool* keptNeither);
}  // namespace

int WriteFileAtomically(const std::string& requested, const std::vector<std::uint8_t>& data,
                        bool* keptNeither) {
  bool neither = false;
  // A full quota is a full disk to the user.
  const int err = WriteTarget(requested, data, &neither);
  if (keptNeither != nullptr) *keptNeither = err == 0 && neither;
  return err == EDQUOT ? ENOSPC : err;
}

namespace {
int WriteTarget(const std::string& requested, const std::vector<std::uint8_t>& data,
                bool* keptNeither) {
  Target t;
  if (const int err = FindTarget(requested, t); err != 0) return err;
  // The permission bits only: a set-id or sticky bit stays with the old content.
  mode_t mode = 0666;
  if (t.exists) {
    if ((t.st.st_mode & 0222) == 0) return EACCES;
    if (::faccessat(t.dir, t.name.c_str(), W_OK, 0) != 0) return errno;
    mode = t.st.st_mode & 0777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  std::string tmp;
  const int fd = MakeTemporary(t, &tmp);
  if (fd < 0) return -fd;
  int err = ::fchmod(fd, mode) == 0 ? 0 : errno;
  // The file keeps its owner and group, as an overwrite in place would (root
  // saving over a user's file must not take it from the user). Only root can
  // give a file away; anyone else can still give it the group they share with
  // it, so that the group's other members keep writing it.
  if (err == 0 && t.exists && (t.st.st_uid != ::geteuid() || t.st.st_gid != ::getegid())) {
    if (::fchown(fd, t.st.st_uid, t.st.st_gid) != 0) {
      if (::geteuid() == 0) {
        err = errno;
      } else if (::fchown(fd, static_cast<uid_t>(-1), t.st.st_gid) != 0) {
        *keptNeither = true;
      }
    }
    // A change of owner clears set-id bits; the permission bits are set again.
    if (err == 0 && ::fchmod(fd, mode) != 0) err = errno;
  }
  if (err == 0) err = WriteAll(fd, data.data(), data.size());
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && ::renameat(t.dir, tmp.c_str(), t.dir, t.name.c_str()) != 0) err = errno;
  if (err != 0) ::unlinkat(t.dir, tmp.c_str(), 0);
  return err;
}
}  // namespace

void RemoveStaleTemporaries(const std::string& requested) {
  Target t;
  if (FindTarget(requested, t) != 0) return;
  const int listing = ::openat(t.dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return;
  DIR* dir = ::fdopendir(listing);
  if (dir == nullptr) {
    ::close(listing);
    return;
  }
  const std::string prefix = "." + t.name + ".";
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    // Exactly what WriteFileAtomically makes, and only this user's own files.
    if (name.size() != prefix.size() + kTemporarySuffix ||
        name.compare(0, prefix.size(), prefix) != 0)
      continue;
    struct stat st {};
    if (::fstatat(t.dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        st.st_uid == ::geteuid()) {
      ::unlinkat(t.dir, name.c_str(), 0);
    }
  }
  ::closedir(dir);
}

int ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t limit) {
  // O_NONBLOCK: a pipe or a device must not hang the program; it is refused below.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
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

int OpenRecordFile(const std::string& path, bool truncate, bool append) {
  // O_NONBLOCK: a FIFO with no reader is refused at once instead of waited on.
  const int flags =
      O_WRONLY | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC | (append ? O_APPEND : 0);
  const int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) {
    const int err = errno;
    throw FileError(
        Message{err == ELOOP ? Tr("pt4::File", "it is a symbolic link") : SysError(err)});
  }
  struct stat st {};
  std::optional<Phrase> refusal;
  if (::fstat(fd, &st) != 0) {
    refusal = Tr("pt4::File", "it cannot be examined");
  } else if (!S_ISREG(st.st_mode)) {
    refusal = Tr("pt4::File", "it is not a regular file");
  } else if (st.st_nlink > 1) {
    refusal = Tr("pt4::File", "it has another name (a hard link)");
  } else if (st.st_uid != ::geteuid()) {
    refusal = Tr("pt4::File", "it belongs to another user");
  }
  if (!refusal && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
    refusal = Tr("pt4::File", "it cannot be written in order");
  if (!refusal && truncate && ::ftruncate(fd, 0) != 0) refusal = SysError(errno);
  if (refusal) {
    ::close(fd);
    throw FileError(Message{std::move(*refusal)});
  }
  return fd;
}

}  // namespace pt4
