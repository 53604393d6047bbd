// The file layer on Windows, run under Wine: UTF-8 names reach the wide
// calls, a save replaces its target whole or not at all, and the record files
// refuse what is no plain file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "image/FileUtil.h"
#include "image/RomFile.h"

namespace pt4 {
namespace {

namespace fs = std::filesystem;

// A path as the program names files: UTF-8 in a std::string.
std::string Utf8(const fs::path& p) {
  const std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

std::vector<std::uint8_t> Bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(WindowsFiles, SavesAndLoadsUnderUtf8NamesWholeOrNotAtAll) {
  const fs::path dir = fs::temp_directory_path() / fs::u8path("pt4 файлы");
  fs::create_directories(dir);
  const std::string image = Utf8(dir / fs::u8path("ПЗУ.rom"));
  RomImage img;
  img.RomSize = 256;
  img.RomBuffer[3] = 0x0A;
  SaveRom(image, img);
  EXPECT_EQ(Bytes(fs::u8path(image)).size(), 256u);
  RomImage back;
  back.RomSize = 256;
  LoadRom(image, back, 0x0F, false);
  EXPECT_EQ(back.RomBuffer[3], 0x0A);
  // Replaced over the old one, and no temporary file left beside it.
  img.RomBuffer[3] = 0x05;
  SaveRom(image, img);
  EXPECT_EQ(Bytes(fs::u8path(image))[3], 0x05);
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++files;
  EXPECT_EQ(files, 1);
  // A read-only file is refused and kept; a folder is no file.
  fs::permissions(fs::u8path(image), fs::perms::owner_read);
  img.RomBuffer[3] = 0x01;
  EXPECT_THROW(SaveRom(image, img), Error);
  EXPECT_EQ(Bytes(fs::u8path(image))[3], 0x05);
  fs::permissions(fs::u8path(image), fs::perms::owner_all);
  EXPECT_EQ(WriteFileAtomically(Utf8(dir), {1}), EISDIR);
  std::vector<std::uint8_t> out;
  EXPECT_EQ(ReadWholeFile(Utf8(dir), out), EISDIR);
  EXPECT_EQ(ReadWholeFile(Utf8(dir / "none"), out), ENOENT);
  // A record file: created, emptied when asked, appended to, never a folder.
  const std::string log = Utf8(dir / fs::u8path("журнал.log"));
  for (int i = 0; i < 2; ++i) {
    const int fd = OpenRecordFile(log, false, true);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(WriteRecord(fd, "line\n", 5), 0);
    EXPECT_EQ(SyncRecord(fd), 0);
    CloseRecord(fd);
  }
  EXPECT_EQ(Bytes(fs::u8path(log)).size(), 10u);
  const int fd = OpenRecordFile(log, true, false);
  ASSERT_GE(fd, 0);
  CloseRecord(fd);
  EXPECT_EQ(Bytes(fs::u8path(log)).size(), 0u);
  std::string why;
  try {
    CloseRecord(OpenRecordFile(Utf8(dir), true, false));
  } catch (const Error& e) {
    why = e.what();
  }
  EXPECT_EQ(why, "it is not a regular file");
  // Windows' device names, in any folder and with any extension: never a file.
  for (const char* device : {"NUL.hex", "con.rom", "COM1.rom", "aux", "Lpt9.s19", "PRN .bin"}) {
    const std::string named = Utf8(dir / device);
    EXPECT_EQ(ReadWholeFile(named, out), ENODEV) << device;
    EXPECT_EQ(WriteFileAtomically(named, {1}), ENODEV) << device;
    EXPECT_THROW(OpenRecordFile(named, false, true), Error) << device;
    EXPECT_NE(FileErrorText(ENODEV, named).find("keeps this name for a device"), std::string::npos);
  }
  EXPECT_EQ(ReadWholeFile(Utf8(dir / "COM10.rom"), out), ENOENT);  // an ordinary name
  EXPECT_EQ(ReadWholeFile(Utf8(dir / "console.rom"), out), ENOENT);
  EXPECT_EQ(ParentFolder("C:\\a\\b.rom"), "C:\\a");
  EXPECT_EQ(ParentFolder("C:\\b.rom"), "C:\\");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace pt4
