// Whole-or-nothing file writes: the data go to a temporary file in the target's
// folder, which is then renamed over the target, so a crash or a full disk never
// leaves half a file and never spoils the old one.
//
// The kernel resolves the name, as an open would: its link protections apply
// (another user's link in a sticky folder is refused), and a link of the user's
// own is saved through, its target replaced and the link kept.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pt4 {

// Returns 0, or the errno of the step that failed (ENOSPC for a short write).
// An existing target without any write permission bit is refused with EACCES,
// even for root: replacing it would defeat the user's read-only mark. The file
// keeps its owner, group and permission bits, never a set-id or sticky bit. Only
// root can keep another user's file theirs; anyone else keeps at least its group
// when they belong to it (a shared lab folder), and `keptNeither`, when given,
// tells when the replaced file became the saver's in both.
[[nodiscard]] int WriteFileAtomically(const std::string& path,
                                      const std::vector<std::uint8_t>& data,
                                      bool* keptNeither = nullptr);

// Reads a whole regular file, at most `limit` bytes of it. Returns 0 or an errno
// (EISDIR for a folder, EINVAL for a device or pipe, which are never waited on).
[[nodiscard]] int ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out,
                                std::size_t limit = 1 << 20);

// Removes the temporary files that a write of `path` killed mid-way left behind.
void RemoveStaleTemporaries(const std::string& path);

// Opens a file that records as it goes (a trace, a log) for writing: created
// when missing, never through a link, only a regular file with no other name,
// never another user's. `truncate` empties it, `append` adds at its end. Returns
// the descriptor; throws FileError saying what is wrong ("it is a symbolic link"),
// for the caller to put its purpose before.
[[nodiscard]] int OpenRecordFile(const std::string& path, bool truncate, bool append);

// Writing to a record file: all of `size` bytes, then to the disk. 0 or an errno.
[[nodiscard]] int WriteRecord(int fd, const void* data, std::size_t size);
// One whole record at the end of a file opened to append, on the disk, or none:
// a write that fails part way (a full disk) is cut off again, so the next record
// never joins a broken one. 0 or the write's errno; `cutOff` tells whether the
// part was taken away (false only when even that failed).
[[nodiscard]] int AppendWhole(int fd, const void* data, std::size_t size, bool* cutOff);
[[nodiscard]] int SyncRecord(int fd);
void CloseRecord(int fd);
// One write as it comes, from anywhere, a crash's signal handler too: the bytes
// written, or -1.
long WriteRecordNow(int fd, const void* data, std::size_t size) noexcept;

// A file held open and locked for as long as this object lives, so that a second
// program that would use it is refused at once: the simulator's chip, which two
// programs must never program together. Its content is rewritten in place.
class HeldFile {
 public:
  HeldFile() = default;
  HeldFile(HeldFile&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }
  HeldFile& operator=(HeldFile&&) = delete;
  HeldFile(const HeldFile&) = delete;
  ~HeldFile();
  // Opens `path`, making it empty when it is missing (`created` says so), and
  // takes the lock. A new file is the user's alone (0600), or the group's too
  // (0660) in a folder whose group is shared (set-group-id). 0, EBUSY when
  // another program holds it, EINVAL for anything but a regular file, or
  // another errno.
  [[nodiscard]] int Open(const std::string& path, bool* created);
  // Whether `path` names the file held here (by identity, not by name).
  bool Is(const std::string& path) const;
  // Its content, at most `limit` bytes. 0 or an errno.
  [[nodiscard]] int Read(std::vector<std::uint8_t>& out, std::size_t limit);
  // `data` in place of the content, on the disk. 0 or an errno.
  [[nodiscard]] int Rewrite(const std::vector<std::uint8_t>& data);

 private:
  long long handle_ = -1;  // a descriptor, or a Windows handle
};

// Which program holds a lock on `path`: its name (empty when unknown) and its
// process id, 0 when the system does not say.
struct LockOwner {
  std::string name;
  long pid = 0;
};
LockOwner LockHolder(const std::string& path);

bool PathExists(const std::string& path);
std::string ParentFolder(const std::string& path);
// A path that names its place from the top: /... (on Windows also C:\... and C:/...).
bool IsAbsolutePath(const char* path);
// A folder this user may make files in; one without any write permission bit
// counts as read-only, even for an administrator.
bool FolderWritable(const std::string& folder);
// A folder of this user's own that no one else can write: a file of the user's
// there cannot be replaced or linked by another user first. (On Windows, where
// folders carry access lists instead, a writable one.)
bool FolderPrivateToUser(const std::string& folder);
// Makes one folder, for this user alone. 0 or an errno (EEXIST when it is there).
[[nodiscard]] int MakeFolder(const std::string& folder);
// The user's home as the system's account records give it; empty when unknown.
std::string AccountHome();

// Every file name on these paths is UTF-8, whatever the platform's own calls take.

}  // namespace pt4
