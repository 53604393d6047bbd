#include <grp.h>
#include <linux/capability.h>
#include <pwd.h>
#include <sys/auxv.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "base/Message.h"
#include "hardware/Privileges.h"

namespace pt4 {

namespace {
constexpr rlim_t kPassPriority = 80;  // what a pass asks for (Realtime.cpp)

// A decimal id from the environment, or nothing for anything else.
std::optional<unsigned> IdFromEnvironment(const char* name) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text < '0' || *text > '9') return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const unsigned long v = std::strtoul(text, &end, 10);
  if (errno != 0 || *end != '\0' || v >= static_cast<unsigned long>(static_cast<uid_t>(-1)))
    return std::nullopt;
  return static_cast<unsigned>(v);
}

bool EffectiveCapabilities() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
  if (::syscall(SYS_capget, &header, data) != 0) return false;
  for (const auto& d : data) {
    if (d.effective != 0 || d.permitted != 0) return true;
  }
  return false;
}

void RaiseLimit(int resource, rlim_t wanted) {
  rlimit now{};
  if (::getrlimit(resource, &now) != 0) return;
  if (now.rlim_cur != RLIM_INFINITY && (wanted == RLIM_INFINITY || now.rlim_cur < wanted)) {
    rlimit more{wanted, wanted};
    ::setrlimit(resource, &more);
  }
}

[[noreturn]] void Fail(const std::string& step) {
  throw Error(
      ErrorKind::Privilege,
      Message{Tr("pt4::Port",
                 "Cannot give up root for the user who ran sudo (%1: %2); nothing was done.")
                  .With(step, SysError(errno))});
}
}  // namespace

void LimitLibrarySearch() {}

std::string RaisedPrivileges() {
  if (::getauxval(AT_SECURE) != 0) return "it runs set-id or with file capabilities";
  if (::getuid() != 0 && EffectiveCapabilities()) return "it holds capabilities without being root";
  return {};
}

Drop DropSudoRoot() {
  if (::getuid() != 0 || ::geteuid() != 0) return Drop::NotAsked;
  const auto uid = IdFromEnvironment("SUDO_UID");
  const auto gid = IdFromEnvironment("SUDO_GID");
  if (!uid || !gid || *uid == 0) return Drop::NotAsked;
  // What the admin allowed by running it as root: real time for the passes.
  RaiseLimit(RLIMIT_RTPRIO, kPassPriority);
  RaiseLimit(RLIMIT_MEMLOCK, RLIM_INFINITY);
  const passwd* pw = ::getpwuid(*uid);
  const gid_t group = *gid;
  if (pw != nullptr ? ::initgroups(pw->pw_name, group) != 0 : ::setgroups(1, &group) != 0)
    Fail("setgroups");
  if (::setresgid(group, group, group) != 0) Fail("setgid");
  if (::setresuid(*uid, *uid, *uid) != 0) Fail("setuid");
  uid_t ru = 0, eu = 0, su = 0;
  gid_t rg = 0, eg = 0, sg = 0;
  if (::getresuid(&ru, &eu, &su) != 0 || ::getresgid(&rg, &eg, &sg) != 0) Fail("getresuid");
  if (ru != *uid || eu != *uid || su != *uid || rg != group || eg != group || sg != group)
    Fail("the ids did not all change");
  if (::setuid(0) == 0) {
    errno = EPERM;
    Fail("root could be taken back");
  }
  if (pw != nullptr) {
    ::setenv("HOME", pw->pw_dir, 1);
    ::setenv("USER", pw->pw_name, 1);
    ::setenv("LOGNAME", pw->pw_name, 1);
  }
  // A runtime folder of root's is no place for the user's sockets.
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
    struct stat st {};
    if (::stat(runtime, &st) != 0 || st.st_uid != *uid) ::unsetenv("XDG_RUNTIME_DIR");
  }
  return Drop::Dropped;
}

}  // namespace pt4
