// Files on Windows: every name is UTF-8 to the rest of the program and wide
// characters to the system. A save replaces its target at once (ReplaceFileW,
// which keeps the old file's attributes and permissions, or MoveFileExW for a
// new one), after FlushFileBuffers, so a crash or a full disk never leaves half
// a file.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <random>

#include "base/Message.h"
#include "base/WideText.h"
#include "image/FileUtil.h"
#include "image/SystemLibrary.h"

namespace pt4 {

std::wstring WideFromUtf8(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring out(n > 0 ? static_cast<std::size_t>(n - 1) : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, out.data(), n);
  return out;
}

std::string Utf8FromWide(const wchar_t* wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? static_cast<std::size_t>(n - 1) : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
  return out;
}

namespace {
std::wstring Wide(const std::string& utf8) {
  return WideFromUtf8(utf8);
}

std::string Utf8(const std::wstring& wide) {
  return Utf8FromWide(wide.c_str());
}

// The errno that the rest of the program knows for a Windows error.
int Errno(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    default:
      return EIO;
  }
}

// The whole path: ReplaceFileW wants one (Wine's refuses a relative name).
std::wstring Full(const std::wstring& path) {
  const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring out(n, L'\0');
  const DWORD got = GetFullPathNameW(path.c_str(), n, out.data(), nullptr);
  out.resize(got);
  return got > 0 && got < n ? out : path;
}

DWORD Attributes(const std::string& path) {
  return GetFileAttributesW(Wide(path).c_str());
}

bool IsFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string BaseName(const std::string& path) {
  return path.substr(path.find_last_of("/\\") + 1);
}

constexpr std::size_t kTemporarySuffix = 6;

// A new file ".NAME.XXXXXX" in the target's folder.
HANDLE MakeTemporary(const std::string& folder, const std::string& name, std::string* tmp) {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = folder + "\\." + name + ".";
    for (std::size_t i = 0; i < kTemporarySuffix; ++i)
      candidate += kChars[random() % (sizeof kChars - 1)];
    HANDLE h = CreateFileW(Wide(candidate).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      *tmp = candidate;
      return h;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return INVALID_HANDLE_VALUE;
  }
  return INVALID_HANDLE_VALUE;
}
}  // namespace

namespace {
// CON, PRN, AUX, NUL, COM1-COM9 and LPT1-LPT9, with any extension and trailing
// blanks, name a device in every folder: NUL.hex is the null device, and a load
// or save of it would read nothing or write nowhere.
bool IsDeviceName(const std::string& path) {
  std::string name = path.substr(
      path.find_last_of("\\/:") == std::string::npos ? 0 : path.find_last_of("\\/:") + 1);
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL") return true;
  return name.size() == 4 && (name.rfind("COM", 0) == 0 || name.rfind("LPT", 0) == 0) &&
         name[3] >= '1' && name[3] <= '9';
}
}  // namespace

bool PathExists(const std::string& path) {
  return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

std::string ParentFolder(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  if (slash == std::string::npos)
    return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
  if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

bool IsAbsolutePath(const char* path) {
  if (path == nullptr) return false;
  if (path[0] == '/' || path[0] == '\\') return true;
  const char d = path[0];
  return ((d >= 'A' && d <= 'Z') || (d >= 'a' && d <= 'z')) && path[1] == ':' &&
         (path[2] == '\\' || path[2] == '/');
}

bool FolderWritable(const std::string& folder) {
  const DWORD a = Attributes(folder);
  if (!IsFolder(a)) return false;
  // Windows has no write bit for folders: try, as the save would.
  std::string tmp;
  HANDLE h = MakeTemporary(folder, "pt4-probe", &tmp);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  DeleteFileW(Wide(tmp).c_str());
  return true;
}

HeldFile::~HeldFile() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

int HeldFile::Open(const std::string& path, bool* created) {
  if (IsDeviceName(path)) return ENODEV;
  // No sharing for writing: a second program's open fails while this one holds it.
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? EBUSY : Errno(error);
  }
  *created = GetLastError() != ERROR_ALREADY_EXISTS;
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    return EINVAL;
  }
  handle_ = reinterpret_cast<long long>(h);
  return 0;
}

bool HeldFile::Is(const std::string& path) const {
  if (handle_ == -1) return false;
  // Attributes alone: an open that asks no data access passes the held sharing.
  HANDLE other = CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (other == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  const bool same = GetFileInformationByHandle(reinterpret_cast<HANDLE>(handle_), &a) &&
                    GetFileInformationByHandle(other, &b) &&
                    a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                    a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
  CloseHandle(other);
  return same;
}

// Windows says which program holds a file only through the Restart Manager,
// which the programs do not load.
LockOwner LockHolder(const std::string&) {
  return {};
}

int HeldFile::Read(std::vector<std::uint8_t>& out, std::size_t limit) {
  HANDLE h = reinterpret_cast<HANDLE>(handle_);
  out.clear();
  if (SetFilePointer(h, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
    return Errno(GetLastError());
  std::uint8_t buf[4096];
  while (out.size() < limit) {
    DWORD got = 0;
    if (!ReadFile(h, buf, sizeof buf, &got, nullptr)) return Errno(GetLastError());
    if (got == 0) break;
    out.insert(out.end(), buf, buf + got);
  }
  if (out.size() > limit) out.resize(limit);
  return 0;
}

int HeldFile::Rewrite(const std::vector<std::uint8_t>& data) {
  HANDLE h = reinterpret_cast<HANDLE>(handle_);
  if (SetFilePointer(h, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
    return Errno(GetLastError());
  DWORD written = 0;
  if (!WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr))
    return Errno(GetLastError());
  if (written != data.size()) return ENOSPC;
  if (!SetEndOfFile(h) || !FlushFileBuffers(h)) return Errno(GetLastError());
  return 0;
}

int MakeFolder(const std::string& folder) {
  return CreateDirectoryW(Wide(folder).c_str(), nullptr) ? 0 : Errno(GetLastError());
}

std::string AccountHome() {
  wchar_t buf[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"USERPROFILE", buf, MAX_PATH);
  return n > 0 && n < MAX_PATH ? Utf8(buf) : std::string();
}

bool FolderPrivateToUser(const std::string& folder) {
  return FolderWritable(folder);
}

int WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& data,
                        bool* keptNeither) {
  // ReplaceFileW keeps the old file's access list, its owner's and group's rights with it.
  if (keptNeither != nullptr) *keptNeither = false;
  if (IsDeviceName(path)) return ENODEV;
  const DWORD a = Attributes(path);
  const bool replacing = a != INVALID_FILE_ATTRIBUTES;
  if (replacing) {
    if (IsFolder(a)) return EISDIR;
    if ((a & FILE_ATTRIBUTE_READONLY) != 0) return EACCES;
    if ((a & FILE_ATTRIBUTE_DEVICE) != 0) return EINVAL;
  } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
    return Errno(GetLastError());
  }
  std::string tmp;
  HANDLE h = MakeTemporary(ParentFolder(path), BaseName(path), &tmp);
  if (h == INVALID_HANDLE_VALUE) return Errno(GetLastError());
  int err = 0;
  const std::uint8_t* p = data.data();
  std::size_t left = data.size();
  while (err == 0 && left > 0) {
    DWORD written = 0;
    const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    if (!WriteFile(h, p, chunk, &written, nullptr)) err = Errno(GetLastError());
    if (err == 0 && written == 0) err = ENOSPC;
    p += written;
    left -= written;
  }
  if (err == 0 && !FlushFileBuffers(h)) err = Errno(GetLastError());
  CloseHandle(h);
  const std::wstring target = Full(Wide(path)), temporary = Full(Wide(tmp));
  if (err == 0) {
    const BOOL moved = replacing
                           ? ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                          REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                           : MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!moved) err = Errno(GetLastError());
  }
  if (err != 0) DeleteFileW(temporary.c_str());
  return err;
}

void RemoveStaleTemporaries(const std::string& path) {
  const std::string folder = ParentFolder(path);
  const std::string prefix = "." + BaseName(path) + ".";
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Wide(folder + "\\" + prefix + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = Utf8(found.cFileName);
    // Exactly what WriteFileAtomically makes: the prefix and six characters.
    if (name.size() == prefix.size() + kTemporarySuffix &&
        (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      DeleteFileW(Wide(folder + "\\" + name).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

void* SystemLibraryFunction(const wchar_t* dll, const char* function) {
  wchar_t folder[MAX_PATH];
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, n) + L"\\" + dll;
  // Its own dependencies from System32 too; Windows 7 without KB2533623 knows no
  // such flag, and there the DLL's own folder, System32, is searched first.
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER)
    module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(module, function));
}

int ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t limit) {
  if (IsDeviceName(path)) return ENODEV;
  const DWORD a = Attributes(path);
  if (a == INVALID_FILE_ATTRIBUTES) return Errno(GetLastError());
  if (IsFolder(a)) return EISDIR;
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return Errno(GetLastError());
  // A pipe or a device must not hang the program.
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    return EINVAL;
  }
  out.clear();
  std::uint8_t buf[4096];
  while (out.size() < limit) {
    DWORD got = 0;
    if (!ReadFile(h, buf, sizeof buf, &got, nullptr)) {
      const int err = Errno(GetLastError());
      CloseHandle(h);
      return err;
    }
    if (got == 0) break;
    out.insert(out.end(), buf, buf + got);
  }
  if (out.size() > limit) out.resize(limit);
  CloseHandle(h);
  return 0;
}

int OpenRecordFile(const std::string& path, bool truncate, bool append) {
  const auto refuse = [](Phrase why) -> int { throw FileError(Message{std::move(why)}); };
  if (IsDeviceName(path)) return refuse(Tr("pt4::File", "Windows keeps the name for a device"));
  const DWORD a = Attributes(path);
  if (a != INVALID_FILE_ATTRIBUTES) {
    if ((a & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
      return refuse(Tr("pt4::File", "it is a symbolic link"));
    if (IsFolder(a) || (a & FILE_ATTRIBUTE_DEVICE) != 0)
      return refuse(Tr("pt4::File", "it is not a regular file"));
  }
  // Appending may cut a failed record off again, which takes the right to write.
  HANDLE h =
      CreateFileW(Wide(path).c_str(), append ? FILE_APPEND_DATA | FILE_WRITE_DATA : GENERIC_WRITE,
                  FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    return refuse(GetLastError() == ERROR_ACCESS_DENIED ? Tr("pt4::File", "access is denied")
                                                        : Tr("pt4::File", "it cannot be opened"));
  }
  BY_HANDLE_FILE_INFORMATION info{};
  std::optional<Phrase> refusal;
  if (GetFileType(h) != FILE_TYPE_DISK) {
    refusal = Tr("pt4::File", "it is not a regular file");
  } else if (GetFileInformationByHandle(h, &info) && info.nNumberOfLinks > 1) {
    refusal = Tr("pt4::File", "it has another name (a hard link)");
  } else if (truncate && !SetEndOfFile(h)) {
    refusal = Tr("pt4::File", "it cannot be emptied");
  }
  if (refusal) {
    CloseHandle(h);
    return refuse(std::move(*refusal));
  }
  const int fd =
      _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_BINARY | (append ? _O_APPEND : 0));
  if (fd < 0) {
    CloseHandle(h);
    return refuse(Tr("pt4::File", "it cannot be written"));
  }
  return fd;
}

int WriteRecord(int fd, const void* data, std::size_t size) {
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const int w = _write(fd, p, size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size));
    if (w <= 0) return w < 0 ? errno : ENOSPC;
    p += w;
    size -= static_cast<std::size_t>(w);
  }
  return 0;
}

int AppendWhole(int fd, const void* data, std::size_t size, bool* cutOff) {
  *cutOff = true;
  // Another program appending to the same file waits for this record (see the
  // POSIX side): the whole range is locked, the end and beyond included.
  HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  OVERLAPPED whole{};
  if (h == INVALID_HANDLE_VALUE ||
      !LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole))
    return Errno(GetLastError());
  int err = 0;
  const long long end = _lseeki64(fd, 0, SEEK_END);
  if (end < 0) {
    err = errno;
  } else {
    err = WriteRecord(fd, data, size);
    if (err == 0) err = SyncRecord(fd);
    if (err != 0) *cutOff = _chsize_s(fd, end) == 0 && SyncRecord(fd) == 0;
  }
  UnlockFileEx(h, 0, MAXDWORD, MAXDWORD, &whole);
  return err;
}

int SyncRecord(int fd) {
  HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h) ? 0 : Errno(GetLastError());
}

void CloseRecord(int fd) {
  _close(fd);
}

long WriteRecordNow(int fd, const void* data, std::size_t size) noexcept {
  // The file's own handle: no lock of the C runtime is taken, as a crash may hold it.
  HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  DWORD written = 0;
  if (h == INVALID_HANDLE_VALUE || !WriteFile(h, data, static_cast<DWORD>(size), &written, nullptr))
    return -1;
  return static_cast<long>(written);
}

}  // namespace pt4
