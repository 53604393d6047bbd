#include "cli/Options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Message.h"
#include "cli/Commands.h"
#include "cli/Json.h"

namespace pt4::cli {
namespace {

Options ParseWords(std::vector<std::string> words) {
  words.insert(words.begin(), "pt4cli");
  return Parse(words);
}

// The usage error's text, or "" when the line parses.
std::string Refusal(std::vector<std::string> words) {
  try {
    ParseWords(std::move(words));
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

TEST(Options, CommandsFilesAndOptionsOnEitherSide) {
  Options o = ParseWords({"--mask", "lh", "write", "a.hex", "--time", "2", "--cycles", "3"});
  EXPECT_EQ(o.command, "write");
  EXPECT_EQ(o.file, "a.hex");
  EXPECT_EQ(o.params.CompMask, 0x0C);
  EXPECT_TRUE(o.params.LowToHigh);
  EXPECT_EQ(o.params.ProgTime, 2);
  EXPECT_EQ(o.params.ProgCycles, 3);
  o = ParseWords({"convert", "in.rom", "out.s19", "--to", "srec"});
  EXPECT_EQ(o.out, "out.s19");
  EXPECT_EQ(o.to, ImageFormat::SRecord);
  // A conversion keeps every bit unless a mask is asked for; the passes default to low.
  EXPECT_EQ(o.params.CompMask, 0xFF);
  EXPECT_EQ(ParseWords({"convert", "a", "b", "--mask", "high"}).params.CompMask, 0x0C);
  EXPECT_EQ(ParseWords({"read", "x"}).params.CompMask, 0x03);
  EXPECT_EQ(ParseWords({"probe", "--port", "sim"}).port, "sim");
}

TEST(Options, RulesBetweenOptionsAndCommands) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"frob"}, "unknown command 'frob'"},
      {{"read"}, "read takes one FILE"},
      {{"blank", "x"}, "blank takes no FILE"},
      {{"convert", "a"}, "convert takes IN and OUT"},
      {{"verify", "a", "--repeat"}, "--repeat goes with write"},
      {{"read", "a", "--force"}, "--force and --dry-run go with write"},
      {{"write", "a", "--log", "l"}, "--log and --stop-on-fail go with write --repeat"},
      {{"write", "a", "--stop-on-fail"}, "--log and --stop-on-fail go with write --repeat"},
      {{"write", "a", "--repeat", "--dry-run"}, "--dry-run does not go with --repeat"},
      {{"write", "-", "--repeat"},
       "--repeat reads Enter from standard input: give the image as a file"},
      {{"dump", "a", "--json"}, "--json goes with read, verify, write, blank, checksum and probe"},
      {{"read", "a", "--to", "hex"}, "--to goes with convert"},
      {{"read", "-", "--json"},
       "read - writes the image to standard output: --json cannot share it"},
  };
  for (const auto& [words, why] : refused) {
    std::string line;
    for (const auto& w : words) line += w + " ";
    EXPECT_EQ(Refusal(words), why) << line;
  }
  // The numbers' ranges: a pulse of 0 to 10 s, 1 to 1000 cycles, the dialog's voltages.
  EXPECT_EQ(Refusal({"write", "a", "--time", "10000", "--cycles", "1000"}), "");
  EXPECT_NE(Refusal({"write", "a", "--time", "10001"}), "");
  EXPECT_NE(Refusal({"write", "a", "--time", "-1"}), "");
  EXPECT_NE(Refusal({"write", "a", "--cycles", "0"}), "");
  EXPECT_NE(Refusal({"write", "a", "--cycles", "1001"}), "");
  EXPECT_NE(Refusal({"write", "a", "--voltage", "121"}), "");
  EXPECT_NE(Refusal({"write", "a", "--mask", "middle"}), "");
  EXPECT_NE(Refusal({"write", "a", "--format", "bin"}), "");
  EXPECT_NE(Refusal({}), "");
}

// The bits a write would leave out are the user's to leave: under the default
// mask an image that holds them is refused, naming the word and both ways on.
TEST(Options, BitsOutsideTheDefaultMaskAreNeverDroppedSilently) {
  const auto refusal = [](std::vector<std::string> words, std::uint8_t word) -> std::string {
    const Options o = ParseWords(std::move(words));
    LoadedImage l;
    l.stored.RomSize = l.image.RomSize = 256;
    l.stored.RomBuffer[0x1F] = word;
    try {
      RefuseBitsOutsideDefaultMask(o, "a.hex", l);
    } catch (const Error& e) {
      return e.what();
    }
    return "";
  };
  EXPECT_EQ(refusal({"write", "a.hex"}, 0x03), "");
  EXPECT_EQ(refusal({"write", "a.hex"}, 0x0C),
            "a.hex: word 1F is 0Ch, with bits outside the default mask (low, 03h) that a write "
            "would leave unprogrammed. Give --mask full to program all four bits, or --mask low "
            "to program bits 0-1 alone");
  EXPECT_NE(refusal({"verify", "a.hex"}, 0x04), "");
  EXPECT_EQ(refusal({"write", "a.hex"}, 0x3A).substr(0, 52),
            "a.hex: word 1F is 3Ah, more than a 4-bit word can ho");
  // Named on the command line, any mask is the user's choice.
  EXPECT_EQ(refusal({"write", "a.hex", "--mask", "low"}, 0x0C), "");
  EXPECT_EQ(refusal({"--mask", "full", "verify", "a.hex"}, 0x3A), "");
}

// Names that are not UTF-8 go into JSON and the log as \xNN; no two names may
// come out alike, a name that holds those four characters included.
TEST(Json, NamesThatAreNotUtf8StayTellableApart) {
  EXPECT_EQ(JsonText("a\xFF.rom"), "a\\xFF.rom");
#ifdef _WIN32
  EXPECT_EQ(JsonText("C:\\a\\b.rom"), "C:\\a\\b.rom");  // the folder separator stays one
#else
  EXPECT_EQ(JsonText("a\\xFF.rom"), "a\\\\xFF.rom");
#endif
  EXPECT_EQ(JsonText("\xD0\x9F\xD0\x97\xD0\xA3.hex"),
            "\xD0\x9F\xD0\x97\xD0\xA3.hex");      // UTF-8 kept
  EXPECT_EQ(JsonText("\xC0\xAF"), "\\xC0\\xAF");  // an overlong '/' is no UTF-8
}

// A chip with a bad word is bad, whatever else it has: a script must never read
// "only programmable" for a chip that can never match.
TEST(Verdict, BadWinsOverProgrammable) {
  VerifyCounters n;
  EXPECT_EQ(VerdictCode(n), kExitIdentical);
  n.ProgrammableCount = 3;
  EXPECT_EQ(VerdictCode(n), kExitProgrammable);
  n.BadCount = 1;
  EXPECT_EQ(VerdictCode(n), kExitBad);
  EXPECT_STREQ(ResultName(VerdictCode(n)), "bad");
}

}  // namespace
}  // namespace pt4::cli
