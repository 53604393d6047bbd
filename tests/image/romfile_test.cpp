#include "image/RomFile.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "image/FileUtil.h"

namespace pt4 {
namespace {

// Why a trace or log may not be opened at `path`, or empty when it may.
std::string RecordRefusal(const std::string& path) {
  try {
    CloseRecord(OpenRecordFile(path, true, false));
  } catch (const pt4::Error& e) {
    return e.what();
  }
  return {};
}

namespace fs = std::filesystem;

class RomFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("pt4rom" + std::to_string(getpid()));
    fs::create_directories(dir);
    img.RomSize = 256;
  }
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
  }
  std::string Make(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const auto p = (dir / name).string();
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return p;
  }
  std::vector<std::uint8_t> Bytes(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::string Error(const std::function<void()>& f) {
    try {
      f();
    } catch (const pt4::Error& e) {
      return e.what();
    }
    return "";
  }
  fs::path dir;
  RomImage img;
};

TEST_F(RomFileTest, LoadAppliesShiftAndMask) {
  const auto f0f = Make("0f.rom", std::vector<std::uint8_t>(256, 0x0F));
  LoadRom(f0f, img, 0x03, false);
  EXPECT_EQ(img.RomBuffer[100], 0x03);
  LoadRom(f0f, img, 0x0C, true);
  EXPECT_EQ(img.RomBuffer[0], 0x0C);
  LoadRom(Make("01.rom", std::vector<std::uint8_t>(256, 0x01)), img, 0x0C, true);
  EXPECT_EQ(img.RomBuffer[0], 0x04);
  LoadRom(Make("03.rom", std::vector<std::uint8_t>(256, 0x03)), img, 0x0C, true);
  EXPECT_EQ(img.RomBuffer[0], 0x0C);
  LoadRom(Make("a5.rom", std::vector<std::uint8_t>(256, 0xA5)), img, 0x0F, false);
  EXPECT_EQ(img.RomBuffer[0], 0x05);
  std::vector<std::uint8_t> big(300, 0x02);
  big[255] = 0x01;
  LoadRom(Make("big.rom", big), img, 0x0F, false);
  EXPECT_EQ(img.RomBuffer[255], 0x01);
  EXPECT_EQ(img.RomBuffer[256], 0x00);
}

TEST_F(RomFileTest, SaveWritesTheBufferAsItStands) {
  const auto p = (dir / "out.rom").string();
  SaveRom(p, img);
  EXPECT_EQ(Bytes(p), std::vector<std::uint8_t>(256, 0));
  LoadRom(Make("in.rom", std::vector<std::uint8_t>(256, 0x0B)), img, 0x0C, true);
  SaveRom(p, img);
  EXPECT_EQ(Bytes(p), std::vector<std::uint8_t>(256, 0x0C));
  // No temporary file is left beside it.
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++files;
  EXPECT_EQ(files, 2);
}

TEST_F(RomFileTest, FailedLoadsLeaveTheBufferAlone) {
  img.RomBuffer[0] = 0x09;
  EXPECT_EQ(Error([&] {
              LoadRom(Make("short.rom", std::vector<std::uint8_t>(10, 1)), img, 0x0F, false);
            }),
            "Read beyond end of file");
  EXPECT_EQ(Error([&] { LoadRom(Make("empty.rom", {}), img, 0x0F, false); }),
            "Read beyond end of file");
  EXPECT_EQ(Error([&] { LoadRom((dir / "none.rom").string(), img, 0x0F, false); }),
            "File not found");
  EXPECT_EQ(Error([&] { LoadRom((dir / "no/dir/x.rom").string(), img, 0x0F, false); }),
            "Invalid filename");
  EXPECT_EQ(Error([&] { LoadRom(dir.string(), img, 0x0F, false); }), "Is a folder, not a file");
  const auto fifo = (dir / "pipe").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(Error([&] { LoadRom(fifo, img, 0x0F, false); }), "Not a regular file");
  EXPECT_EQ(img.RomBuffer[0], 0x09);
  EXPECT_EQ(img.RomBuffer[1], 0x00);
}

TEST_F(RomFileTest, ReadOnlyImageLoads) {
  const auto p = Make("ro.rom", std::vector<std::uint8_t>(256, 0x02));
  fs::permissions(p, fs::perms::owner_read);
  LoadRom(p, img, 0x03, false);
  EXPECT_EQ(img.RomBuffer[7], 0x02);
}

TEST_F(RomFileTest, FailedSavesKeepTheOldFile) {
  const auto ro = Make("ro.rom", std::vector<std::uint8_t>(256, 0x05));
  fs::permissions(ro, fs::perms::owner_read);
  img.RomBuffer[0] = 0x01;
  EXPECT_EQ(Error([&] { SaveRom(ro, img); }), "File access denied");
  EXPECT_EQ(Bytes(ro), std::vector<std::uint8_t>(256, 0x05));
  EXPECT_EQ(Error([&] { SaveRom(dir.string(), img); }), "Is a folder, not a file");
  EXPECT_EQ(Error([&] { SaveRom((dir / "no/such/x.rom").string(), img); }), "Invalid filename");

  // A full disk: a file-size limit makes the write come up short.
  const auto target = Make("full.rom", std::vector<std::uint8_t>(256, 0x07));
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 100;
  setrlimit(RLIMIT_FSIZE, &small);
  const std::string err = Error([&] { SaveRom(target, img); });
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(err, "Disk full");
  EXPECT_EQ(Bytes(target), std::vector<std::uint8_t>(256, 0x07));
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++files;
  EXPECT_EQ(files, 2);

  // A record that no longer fits is cut off again: the log ends with a whole line.
  const int fd = OpenRecordFile((dir / "log").string(), false, true);
  ASSERT_GE(fd, 0);
  const std::string line = std::string(60, 'x') + "\n";
  bool cutOff = false;
  EXPECT_EQ(AppendWhole(fd, line.data(), line.size(), &cutOff), 0);
  setrlimit(RLIMIT_FSIZE, &small);
  const int full = AppendWhole(fd, line.data(), line.size(), &cutOff);
  setrlimit(RLIMIT_FSIZE, &old);
  CloseRecord(fd);
  EXPECT_NE(full, 0);
  EXPECT_TRUE(cutOff);
  EXPECT_EQ(Bytes((dir / "log").string()).size(), line.size());

  // Two batches on one log: one appends while the other's record fails part way.
  // The failing one waits for the other's lock, takes the end after its line,
  // and cuts back only its own part: the other's finished line survives.
  const std::string logPath = (dir / "log").string();
  const int other = ::open(logPath.c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    rlimit tight = old;
    tight.rlim_cur = 2 * line.size() + 10;  // room for the other's line, not for this one
    setrlimit(RLIMIT_FSIZE, &tight);
    const int fd2 = OpenRecordFile(logPath, false, true);
    bool cut = false;
    const int e = AppendWhole(fd2, line.data(), line.size(), &cut);
    ::_exit(e != 0 && cut ? 0 : 1);
  }
  // Until the child waits for the lock: its system call, as /proc shows it.
  const std::string syscallFile = "/proc/" + std::to_string(child) + "/syscall";
  bool waiting = false;
  for (int i = 0; i < 3000 && !waiting; ++i) {
    std::ifstream in(syscallFile);
    long number = -1;
    waiting = (in >> number) && number == SYS_flock;
    if (!waiting) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(waiting) << "the failing append did not wait for the other writer's lock";
  const std::string mine = std::string(60, 'y') + "\n";
  ASSERT_EQ(::write(other, mine.data(), mine.size()), static_cast<ssize_t>(mine.size()));
  ::flock(other, LOCK_UN);
  int status = 0;
  ::waitpid(child, &status, 0);
  ::close(other);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child's append did not fail";
  const auto bytes = Bytes(logPath);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), line + mine);
}

TEST_F(RomFileTest, RecordFilesAppendAndNeverFollowALinkOrTakeAnotherUsersFile) {
  const auto log = Make("log", {'a', '\n'});
  int fd = OpenRecordFile(log, false, true);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(WriteRecord(fd, "b\n", 2), 0);
  CloseRecord(fd);
  EXPECT_EQ(Bytes(log), (std::vector<std::uint8_t>{'a', '\n', 'b', '\n'}));
  const auto link = (dir / "link").string();
  ASSERT_EQ(symlink(log.c_str(), link.c_str()), 0);
  EXPECT_EQ(RecordRefusal(link), "it is a symbolic link");
  const auto hard = (dir / "hard").string();
  ASSERT_EQ(::link(log.c_str(), hard.c_str()), 0);
  EXPECT_EQ(RecordRefusal(hard), "it has another name (a hard link)");
  ASSERT_EQ(unlink(hard.c_str()), 0);
  // Not even root writes into another user's file: it may be that user's link target.
  if (geteuid() == 0) {
    ASSERT_EQ(chown(log.c_str(), 4321, 4321), 0);
    EXPECT_EQ(RecordRefusal(log), "it belongs to another user");
  }
  EXPECT_EQ(Bytes(log).size(), 4u);
}

TEST_F(RomFileTest, ASaveKeepsTheOwnerOfTheFileItReplaces) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  const auto p = Make("user.rom", std::vector<std::uint8_t>(256, 0x01));
  ASSERT_EQ(chown(p.c_str(), 4321, 4322), 0);
  SaveRom(p, img);
  struct stat st {};
  ASSERT_EQ(stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 4321u);
  EXPECT_EQ(st.st_gid, 4322u);
  EXPECT_EQ(Bytes(p), std::vector<std::uint8_t>(256, 0x00));
  // Root's own file of another group keeps that group.
  ASSERT_EQ(chown(p.c_str(), 0, 4322), 0);
  SaveRom(p, img);
  ASSERT_EQ(stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_gid, 4322u);
  // A member of the group saving over another member's file in a lab folder
  // cannot keep the owner, but keeps the group, and with it the others' right to
  // write; one who is not in the group is told that neither was kept.
  ASSERT_EQ(chmod(dir.c_str(), 0777), 0);
  ASSERT_EQ(chown(p.c_str(), 4400, 4322), 0);
  ASSERT_EQ(chmod(p.c_str(), 0666), 0);
  for (const gid_t member : {4322u, 4323u}) {
    const pid_t child = fork();
    if (child == 0) {
      int code = 1;
      bool neither = false;
      if (setgroups(1, &member) == 0 && setgid(4330) == 0 && setuid(4321) == 0 &&
          WriteFileAtomically(p, std::vector<std::uint8_t>(256, 1), &neither) == 0)
        code = neither ? 2 : 0;
      _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(stat(p.c_str(), &st), 0);
    if (member == 4322u) {
      EXPECT_EQ(WEXITSTATUS(status), 0);
      EXPECT_EQ(st.st_uid, 4321u);
      EXPECT_EQ(st.st_gid, 4322u);
      EXPECT_EQ(st.st_mode & 0777, 0666u);
      ASSERT_EQ(chown(p.c_str(), 4400, 4322), 0);
    } else {
      EXPECT_EQ(WEXITSTATUS(status), 2) << "keeping neither owner nor group was not said";
      EXPECT_EQ(st.st_gid, 4330u);
    }
  }
}

TEST_F(RomFileTest, ASaveKeepsPermissionBitsNeverSetIdBitsAndGoesThroughTheUsersOwnLink) {
  const mode_t mask = umask(022);
  auto mode = [](const std::string& p) {
    struct stat st {};
    EXPECT_EQ(lstat(p.c_str(), &st), 0) << p;
    return st.st_mode;
  };
  // A private image stays private; a set-id or sticky bit stays with the old content.
  const std::pair<mode_t, mode_t> kept[] = {
      {0600, 0600}, {0640, 0640}, {04755, 0755}, {02775, 0775}, {01666, 0666}};
  for (auto [before, after] : kept) {
    const auto p = Make("m.rom", std::vector<std::uint8_t>(256, 0x01));
    ASSERT_EQ(chmod(p.c_str(), before), 0);
    SaveRom(p, img);
    EXPECT_EQ(mode(p) & 07777, after) << std::oct << before;
  }
  // Through a link of the user's own, into another folder: the target gets the
  // data, the link stays, and the temporary file was made beside the target.
  fs::create_directories(dir / "sub");
  const auto target = Make("sub/target.rom", std::vector<std::uint8_t>(256, 0x05));
  const auto link = (dir / "link.rom").string();
  ASSERT_EQ(symlink("sub/target.rom", link.c_str()), 0);
  img.RomBuffer[0] = 0x0A;
  SaveRom(link, img);
  EXPECT_TRUE(S_ISLNK(mode(link)));
  EXPECT_EQ(fs::read_symlink(link), "sub/target.rom");
  EXPECT_EQ(Bytes(target)[0], 0x0A);
  EXPECT_EQ(Bytes(target).size(), 256u);
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir / "sub")) ++files;
  EXPECT_EQ(files, 1);
  umask(mask);
}

// fs.protected_symlinks set for the length of a test, and put back after it.
class ProtectedSymlinks {
 public:
  ProtectedSymlinks() {
    std::ifstream("/proc/sys/fs/protected_symlinks") >> old_;
    std::ofstream out("/proc/sys/fs/protected_symlinks");
    out << 1;
    out.flush();
    ok_ = out.good() && Read() == 1;
  }
  ~ProtectedSymlinks() {
    if (old_ >= 0) std::ofstream("/proc/sys/fs/protected_symlinks") << old_;
  }
  bool Ok() const { return ok_; }

 private:
  static int Read() {
    int v = -1;
    std::ifstream("/proc/sys/fs/protected_symlinks") >> v;
    return v;
  }
  int old_ = -1;
  bool ok_ = false;
};

TEST_F(RomFileTest, RootNeverSavesThroughAnotherUsersLinkInASharedFolder) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root, and another user's link";
  ProtectedSymlinks guard;
  if (!guard.Ok()) GTEST_SKIP() << "fs.protected_symlinks cannot be set here";
  // A sticky folder for everyone, as /tmp is; another user's link in it points at
  // a file of root's.
  const auto shared = dir / "shared";
  fs::create_directories(shared);
  ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
  const auto victim = Make("victim", std::vector<std::uint8_t>(300, 0x07));
  const auto planted = (shared / "out.rom").string();
  ASSERT_EQ(symlink(victim.c_str(), planted.c_str()), 0);
  ASSERT_EQ(lchown(planted.c_str(), 4321, 4321), 0);
  EXPECT_EQ(Error([&] { SaveRom(planted, img); }), "File access denied");
  EXPECT_EQ(Bytes(victim), std::vector<std::uint8_t>(300, 0x07));
}

TEST(FileErrorText, SystemErrors) {
  EXPECT_EQ(FileErrorText(EMFILE, "/x"), "Too many open files");
  EXPECT_EQ(FileErrorText(EROFS, "/x"), "File access denied");
  EXPECT_EQ(FileErrorText(EIO, "/x"), "I/O error 5");
  // Sentences kept for translation read as before in English; a name that holds
  // a "%2" of its own is shown as it is, not filled again.
  const Message m{Tr("t", "Cannot open %1: %2.").With("/tmp/a%2b", SysError(ENOENT)),
                  Tr("t", "Then %1.").With(Tr("t", "try %1").With("%1"))};
  EXPECT_EQ(English(m), "Cannot open /tmp/a%2b: No such file or directory. Then try %1.");
  EXPECT_EQ(FileError(m).what(), English(m));
  // Told about a file, the first sentence is the file's, the rest unchanged.
  EXPECT_EQ(std::string(FileError(m).About("x.hex").what()),
            "x.hex: Cannot open /tmp/a%2b: No such file or directory. Then try %1.");
}

}  // namespace
}  // namespace pt4
