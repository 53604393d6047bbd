#include "operations/Params.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/Message.h"
#include "image/FileUtil.h"
#include "operations/SettingsFile.h"

namespace pt4 {
namespace {

TEST(TryParseInt, AcceptsWhatTheFieldsAccept) {
  const std::pair<const char*, std::int32_t> good[] = {{"0", 0},
                                                       {"100", 100},
                                                       {"+7", 7},
                                                       {"-3", -3},
                                                       {" 7", 7},
                                                       {"\t 12", 12},
                                                       {"$64", 100},
                                                       {"x1f", 31},
                                                       {"X1F", 31},
                                                       {"0x10", 16},
                                                       {"0XfF", 255},
                                                       {"-$10", -16},
                                                       {"2147483647", 2147483647},
                                                       {"-2147483648", INT32_MIN},
                                                       {"$7FFFFFFF", INT32_MAX},
                                                       {"-0x80000000", INT32_MIN},
                                                       {"007", 7}};
  for (auto [text, value] : good) {
    const auto v = TryParseInt(text);
    ASSERT_TRUE(v.has_value()) << text;
    EXPECT_EQ(*v, value) << text;
  }
}

TEST(TryParseInt, RejectsEverythingElse) {
  for (const char* text : {"",
                           " ",
                           "7 ",
                           "12a",
                           "a",
                           "$",
                           "0x",
                           "x",
                           "+",
                           "-",
                           "--1",
                           "+-1",
                           "$-1",
                           "1.5",
                           "2147483648",
                           "-2147483649",
                           "$80000000",
                           "0x100000000",
                           "99999999999999999999",
                           "1e3",
                           "+ 1",
                           "0b1"}) {
    EXPECT_FALSE(TryParseInt(text).has_value()) << '"' << text << '"';
  }
}

TEST(Params, DefaultsItemsAndTheWriteBox) {
  const ProgParams p;
  EXPECT_EQ(p.ProgVoltage, 120);
  EXPECT_EQ(p.CompMask, 0x03);
  EXPECT_FALSE(p.LowToHigh);
  EXPECT_EQ(p.ProgTime, 100);
  EXPECT_EQ(p.ProgCycles, 10);
  EXPECT_EQ(WriteParamsText(p), "UProg = 120\r\nMask = 03h\r\nWrTime = 100\r\nWrCycle = 10");
  EXPECT_EQ(VoltageItemText(0), "10.5");
  EXPECT_EQ(VoltageItemText(9), "15.0");
  EXPECT_EQ(*MaskIndexForName("lh"), 1);
  EXPECT_FALSE(MaskIndexForName("LOW").has_value());
}

const IniKeys kKeys = {{"BufStartWriteAdr", "00000"},
                       {"BufEndWriteAdr", "000FF"},
                       {"ROMStartWriteAdr", "0ZZ"},
                       {"ROMEndWriteAdr", ""}};

TEST(SettingsFile, NewFileAndNewSection) {
  EXPECT_EQ(UpdateIniText("", "K556PT4", kKeys),
            "[K556PT4]\nBufStartWriteAdr=00000\nBufEndWriteAdr=000FF\nROMStartWriteAdr=0ZZ\n"
            "ROMEndWriteAdr=\n");
  EXPECT_EQ(UpdateIniText("[Other]\r\na=1", "K556PT4", {{"K", "v"}}),
            "[Other]\r\na=1\r\n[K556PT4]\r\nK=v\r\n");
}

TEST(SettingsFile, EveryOtherByteStays) {
  const std::string before =
      "; settings\r\n"
      "[Other]\r\n"
      "BufStartWriteAdr = keep\r\n"
      "\r\n"
      "[k556pt4]\r\n"
      "  bufstartwriteadr =  11111\r\n"
      "; a comment\r\n"
      "Extra=yes\r\n"
      "ROMEndWriteAdr=9\r\n"
      "\r\n"
      "[Last]\r\n"
      "z=1";
  const std::string after = UpdateIniText(before, "K556PT4", kKeys);
  EXPECT_EQ(after,
            "; settings\r\n"
            "[Other]\r\n"
            "BufStartWriteAdr = keep\r\n"
            "\r\n"
            "[k556pt4]\r\n"
            "  bufstartwriteadr =  00000\r\n"
            "; a comment\r\n"
            "Extra=yes\r\n"
            "ROMEndWriteAdr=\r\n"
            "BufEndWriteAdr=000FF\r\n"
            "ROMStartWriteAdr=0ZZ\r\n"
            "\r\n"
            "[Last]\r\n"
            "z=1");
  EXPECT_EQ(UpdateIniText(after, "K556PT4", kKeys), after);
}

}  // namespace
}  // namespace pt4

namespace pt4 {
namespace {

TEST(SettingsFile, WritingTheSameValuesTwiceGivesTheSameBytes) {
  const IniKeys odd = {{"BufStartWriteAdr", " 12"},
                       {"BufEndWriteAdr", "\t7"},
                       {"ROMStartWriteAdr", ""},
                       {"ROMEndWriteAdr", "x"}};
  for (const std::string start : {"", "[K556PT4]\nBufStartWriteAdr =  1\nBufEndWriteAdr=2\n",
                                  "[k556pt4]\r\nromendwriteadr = old\r\n[Next]\r\n"}) {
    const std::string once = UpdateIniText(start, "K556PT4", odd);
    EXPECT_EQ(UpdateIniText(once, "K556PT4", odd), once) << start;
  }
}

TEST(SettingsFile, AFileTooLargeToBeSettingsIsRefusedUnchanged) {
  const std::string path = ::testing::TempDir() + "/big.ini";
  const std::string big(kMaxSettingsBytes + 10, ';');
  std::ofstream(path, std::ios::binary) << big;
  try {
    WriteIniKeys(path, "K556PT4", {{"K", "v"}});
    ADD_FAILURE() << "a file too large was rewritten";
  } catch (const pt4::Error& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::File);
    EXPECT_NE(std::string(e.what()).find(std::strerror(EFBIG)), std::string::npos) << e.what();
  }
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), big);
  std::remove(path.c_str());
}

}  // namespace
}  // namespace pt4

namespace pt4 {
namespace {

TEST(SettingsFile, ItsPlaceBesideAPortableProgramElseInTheUsersConfig) {
  // A portable folder of the user's own; never a folder others can write, where
  // another user could have put a file or a link of that name first.
  const auto own = (std::filesystem::temp_directory_path() / ("pt4ini" + std::to_string(getpid())))
                       .generic_string();
  std::filesystem::create_directories(own);
  std::filesystem::permissions(own, std::filesystem::perms::owner_all);
  EXPECT_EQ(ChooseSettingsPath(own, "/usr/bin", "ZI4.ini", nullptr, "/home/u"), own + "/ZI4.ini");
#if !defined(_WIN32)
  EXPECT_EQ(ChooseSettingsPath("/tmp", "/usr/bin", "ZI4.ini", nullptr, "/home/u"),
            "/home/u/.config/pt4prog/ZI4.ini");
  std::filesystem::permissions(own, std::filesystem::perms::group_all,
                               std::filesystem::perm_options::add);
  EXPECT_EQ(ChooseSettingsPath(own, "/usr/bin", "ZI4.ini", nullptr, "/home/u"),
            "/home/u/.config/pt4prog/ZI4.ini");
#endif
  // The first save makes the file.
  const std::string ini = own + "/ZI4.ini";
  WriteIniKeys(ini, "K556PT4", {{"K", "v"}});
  EXPECT_TRUE(PathExists(ini));
  std::filesystem::remove_all(own);
  // Installed: never beside the executable, even where root could write.
  EXPECT_EQ(ChooseSettingsPath("/usr/bin", "/usr/bin", "ZI4.ini", nullptr, "/home/u"),
            "/home/u/.config/pt4prog/ZI4.ini");
  EXPECT_EQ(ChooseSettingsPath("/usr/bin", "/usr/bin", "ZI4.ini", "/x/cfg", "/home/u"),
            "/x/cfg/pt4prog/ZI4.ini");
  // A relative XDG_CONFIG_HOME is ignored, as the base directory rules say.
  EXPECT_EQ(ChooseSettingsPath("/nonexistent", "", "ZI4.ini", "cfg", "/home/u"),
            "/home/u/.config/pt4prog/ZI4.ini");
  // With HOME unset, empty or relative the home is the account's, never /tmp;
  // with no home at all the settings have no place.
  const std::string account = AccountHome();
  EXPECT_FALSE(account.empty());
  EXPECT_NE(account.rfind("/tmp", 0), 0u);
  for (const char* home : {static_cast<const char*>(nullptr), "", "tmp"})
    EXPECT_EQ(UserHome(home), account);
  EXPECT_EQ(UserHome("/home/u"), "/home/u");
  EXPECT_EQ(ChooseSettingsPath("/usr/bin", "/usr/bin", "ZI4.ini", nullptr, ""), "");
  // The user's settings folder: made for them alone, and one others may write in
  // refused, as a folder beside the program is.
  const auto config = own + "/cfg/pt4prog";
  EXPECT_EQ(MakeSettingsFolder(config), 0);
  EXPECT_EQ(MakeSettingsFolder(config), 0);
#if !defined(_WIN32)
  std::filesystem::permissions(config, std::filesystem::perms::others_write,
                               std::filesystem::perm_options::add);
  EXPECT_EQ(MakeSettingsFolder(config), EPERM);
#endif
  std::filesystem::remove_all(own);
}

}  // namespace
}  // namespace pt4
