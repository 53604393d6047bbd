#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "image/ImageFormats.h"
#include "image/ImageId.h"
#include "image/RomFile.h"

namespace pt4 {
namespace {

std::vector<std::uint8_t> Text(const std::string& s) {
  return {s.begin(), s.end()};
}

std::vector<std::uint8_t> RandomWords(unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> w(256);
  for (auto& b : w) b = static_cast<std::uint8_t>(rng() & 0x0F);
  return w;
}

// The load's message, or "" when it loaded; the buffer is checked untouched on failure.
std::string LoadError(const std::string& text, ImageFormat f = ImageFormat::Auto) {
  RomImage img;
  img.RomSize = 256;
  img.RomBuffer[7] = 0x0C;
  try {
    LoadRomBytes(Text(text), img, 0x0F, false, f);
  } catch (const Error& e) {
    EXPECT_EQ(img.RomBuffer[7], 0x0C) << "a failed load touched the buffer";
    return e.what();
  }
  return "";
}

// One Intel HEX record with its checksum.
std::string Record(unsigned address, unsigned type, const std::vector<std::uint8_t>& data) {
  char buf[16];
  std::snprintf(buf, sizeof buf, ":%02X%04X%02X", static_cast<unsigned>(data.size()), address,
                type);
  std::string r = buf;
  unsigned sum = static_cast<unsigned>(data.size()) + (address >> 8) + (address & 0xFF) + type;
  for (std::uint8_t b : data) {
    std::snprintf(buf, sizeof buf, "%02X", b);
    r += buf;
    sum += b;
  }
  std::snprintf(buf, sizeof buf, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
  return r + buf;
}

std::string HexOf(const std::vector<std::uint8_t>& words) {
  const auto t = EncodeImage(words.data(), words.size(), ImageFormat::IntelHex);
  return {t.begin(), t.end()};
}

TEST(Formats, RoundTripsThroughHexAndSRecordAndTheNibbleLayouts) {
  for (unsigned seed = 0; seed < 20; ++seed) {
    const auto words = RandomWords(seed);
    for (auto f : {ImageFormat::IntelHex, ImageFormat::SRecord, ImageFormat::High,
                   ImageFormat::Packed, ImageFormat::Raw}) {
      const auto file = EncodeImage(words.data(), 256, f);
      const bool text = f == ImageFormat::IntelHex || f == ImageFormat::SRecord;
      // A raw image of 4-bit words holds no ':' and no S; the nibble layouts are
      // loaded only when named, as their bytes may hold anything.
      if (text || f == ImageFormat::Raw) EXPECT_EQ(DetectFormat(file, ImageFormat::Auto), f);
      EXPECT_EQ(DecodeImage(file, text ? ImageFormat::Auto : f, 256), words) << FormatName(f);
    }
  }
  // The layouts as the issue of dumps has them.
  const auto words = RandomWords(1);
  const auto packed = EncodeImage(words.data(), 256, ImageFormat::Packed);
  ASSERT_EQ(packed.size(), 128u);
  EXPECT_EQ(packed[3], words[6] | (words[7] << 4));
  EXPECT_EQ(EncodeImage(words.data(), 256, ImageFormat::High)[9], words[9] << 4);
  const auto hex = HexOf(words);
  EXPECT_EQ(hex.substr(0, 9), ":10000000");
  EXPECT_EQ(hex.substr(hex.size() - 12), ":00000001FF\n");
  const auto srec = EncodeImage(words.data(), 256, ImageFormat::SRecord);
  EXPECT_EQ(std::string(srec.begin(), srec.begin() + 2), "S0");
  EXPECT_EQ(std::string(srec.end() - 11, srec.end()), "S9030000FC\n");
}

TEST(Formats, FilesOfOtherToolsConventionsLoad) {
  const auto words = RandomWords(3);
  std::string lower = HexOf(words);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(DecodeImage(Text(lower), ImageFormat::Auto, 256), words);
  std::string crlf;
  for (char c : HexOf(words)) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(DecodeImage(Text("\n" + crlf + "\r\n\r\n"), ImageFormat::Auto, 256), words);
  // Records of 32 bytes, behind an extended linear address of 0, ending in a start address.
  std::string wide = ":020000040000FA\n";
  for (int a = 0; a < 256; a += 32) {
    char head[16];
    std::snprintf(head, sizeof head, ":20%04X00", a);
    std::string r = head;
    unsigned sum = 0x20 + (a >> 8) + (a & 0xFF);
    for (int i = 0; i < 32; ++i) {
      char b[4];
      std::snprintf(b, sizeof b, "%02X", words[a + i]);
      r += b;
      sum += words[a + i];
    }
    char ck[4];
    std::snprintf(ck, sizeof ck, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
    wide += r + ck + "\n";
  }
  wide += ":0400000500000000F7\n:00000001FF\n";
  EXPECT_EQ(DecodeImage(Text(wide), ImageFormat::Auto, 256), words);
  // Segment addresses (type 02, in paragraphs of 16 bytes): each row at offset 0 of its own
  // segment.
  std::string segmented;
  for (unsigned row = 0; row < 16; ++row) {
    segmented += Record(0, 0x02, {0x00, static_cast<std::uint8_t>(row)});
    segmented += Record(0, 0x00, {words.begin() + row * 16, words.begin() + row * 16 + 16});
  }
  EXPECT_EQ(DecodeImage(Text(segmented + ":00000001FF\n"), ImageFormat::Auto, 256), words);
  // S-record with a header, 32-byte records and a count record, as srec_cat writes it.
  const std::string s19 =
      "S00600004844521B\n"
      "S1230000000102030405060708090A0B0C0D0E0F000102030405060708090A0B0C0D0E0FEC\n";
  std::string rest;
  for (int a = 0x20; a < 256; a += 0x20) {
    char line[80];
    unsigned sum = 0x23 + (a >> 8) + (a & 0xFF);
    for (int i = 0; i < 32; ++i) sum += i % 16;
    std::snprintf(line, sizeof line, "S123%04X", a);
    rest += line;
    for (int i = 0; i < 32; ++i) {
      std::snprintf(line, sizeof line, "%02X", i % 16);
      rest += line;
    }
    std::snprintf(line, sizeof line, "%02X\n", ~sum & 0xFF);
    rest += line;
  }
  const auto ramp =
      DecodeImage(Text(s19 + rest + "S5030008F4\nS9030000FC\n"), ImageFormat::Auto, 256);
  EXPECT_EQ(ramp[17], 1);
  EXPECT_EQ(ramp[255], 15);
}

TEST(Formats, BadFilesSayWhatIsWrongAndLoadNothing) {
  const auto words = RandomWords(4);
  std::string good = HexOf(words);
  // Line 2's checksum off by one.
  std::string bad = good;
  const auto second = bad.find('\n') + 1;
  const auto end = bad.find('\n', second);
  const std::string stored = bad.substr(end - 2, 2);
  const auto want = static_cast<unsigned>(std::stoul(stored, nullptr, 16));
  char wrong[4];
  std::snprintf(wrong, sizeof wrong, "%02X", (want + 1) & 0xFF);
  bad.replace(end - 2, 2, wrong);
  char msg[80];
  std::snprintf(msg, sizeof msg, "Line 2: checksum is %02X, the record says %s", want, wrong);
  EXPECT_EQ(LoadError(bad), msg);
  // A record shorter than its length byte.
  EXPECT_EQ(LoadError(":10000000000102\n:00000001FF\n").substr(0, 7), "Line 1:");
  EXPECT_NE(LoadError(":10000000000102\n:00000001FF\n").find("shorter"), std::string::npos);
  // A missing word, a word twice, data beyond the chip.
  std::string missing = good;
  missing.erase(0, missing.find('\n') + 1);
  EXPECT_EQ(LoadError(missing), "Word 00 is missing: every word from 00 to FF must be given");
  // The same value twice loads, as srec_cat takes it; two values for one word do not.
  std::string twice = good.substr(0, good.find('\n') + 1) + good;
  EXPECT_EQ(LoadError(twice), "");
  std::vector<std::uint8_t> other(words.begin(), words.begin() + 16);
  other[0] ^= 1;
  char clash[80];
  std::snprintf(clash, sizeof clash, "Word 00 is given twice, %02X on line 1 and %02X on line 2",
                other[0], words[0]);
  EXPECT_EQ(LoadError(Record(0, 0, other) + good), clash);
  EXPECT_EQ(LoadError(":0101000005F9\n" + good),
            "Line 1: data at address 0100 is beyond the chip's 256 words");
  // A linear address of 0x0001 puts the data at 0x10000, far above the chip: never at 0x10.
  EXPECT_EQ(LoadError(Record(0, 0x04, {0x00, 0x01}) + good),
            "Line 2: data at address 10000 is beyond the chip's 256 words");
  // A binary file that starts with ':' is raw only where its name or the user says
  // so; left to its content, it is a HEX record gone wrong, and refused.
  std::string binary(256, '\x03');
  binary[0] = ':';
  binary[5] = '\x01';
  EXPECT_EQ(LoadError(binary, LoadFormat("chip.rom", ImageFormat::Auto)), "");
  EXPECT_EQ(LoadError(binary, LoadFormat("chip.dat", ImageFormat::Auto)),
            "Line 1: byte 03 at column 2 is not a hex digit");
  EXPECT_EQ(LoadError(binary, LoadFormat("chip.hex", ImageFormat::Raw)), "");
  // Short raw and nibble files.
  EXPECT_EQ(LoadError(std::string(255, '\0')), "Read beyond end of file");
  EXPECT_EQ(LoadError(std::string(127, '\0'), ImageFormat::Packed), "Read beyond end of file");
  // An S-record count that does not match.
  EXPECT_NE(LoadError("S5030009F3\n").find("count record says 9"), std::string::npos);
  // An end record with data, a start address of the wrong size, a blank after a record.
  EXPECT_EQ(LoadError(good.substr(0, good.size() - 12) + ":01000001FFFF\n"),
            "Line 17: an end record holds no data");
  EXPECT_EQ(LoadError(":03000003000000FA\n" + good),
            "Line 1: a start address record holds four bytes");
  EXPECT_EQ(LoadError(Record(0, 0x03, {0x12, 0x34, 0x56, 0x78}) + good), "");
  EXPECT_EQ(LoadError(":0000 0001FF\n"), "Line 1: ' ' at column 6 is not a hex digit");
}

TEST(Formats, ADamagedTextImageIsAnErrorNeverRawBytes) {
  const auto words = RandomWords(5);
  for (auto f : {ImageFormat::IntelHex, ImageFormat::SRecord}) {
    const auto full = EncodeImage(words.data(), 256, f);
    const std::string text(full.begin(), full.end());
    // Cut anywhere short of the end record: an error, whatever the cut leaves.
    const auto last = text.rfind('\n', text.size() - 2);
    for (std::size_t cut = 2; cut <= last; cut += 7) {
      const std::string part = text.substr(0, cut);
      EXPECT_EQ(DetectFormat(Text(part), ImageFormat::Auto), f) << cut;
      EXPECT_NE(LoadError(part), "") << FormatName(f) << " cut at " << cut;
    }
    // What DOS tools and editors add: a trailing Ctrl+Z, comment lines, no last line end.
    for (const std::string& variant :
         {text + "\x1a", "; made by hand\n" + text + "# end\n", text.substr(0, text.size() - 1)})
      EXPECT_EQ(DecodeImage(Text(variant), ImageFormat::Auto, 256), words) << FormatName(f);
    // A record that lost a digit, and one with a blank after it.
    std::string lost = text;
    lost.erase(lost.find('\n') - 3, 1);
    EXPECT_EQ(LoadError(lost).substr(0, 7), "Line 1:") << FormatName(f);
    std::string blank = text;
    const auto line2 = blank.find('\n') + 1, end2 = blank.find('\n', line2);
    blank.insert(end2, " ");
    EXPECT_EQ(LoadError(blank),
              "Line 2: ' ' at column " + std::to_string(end2 - line2 + 1) + " is not a hex digit")
        << FormatName(f);
  }
  // S3 data with an S7 end, and the records after an S-record end still count.
  std::string s3;
  for (int a = 0; a < 256; a += 16) {
    char head[20];
    std::snprintf(head, sizeof head, "S315%08X", a);
    unsigned sum = 0x15 + (a >> 8) + (a & 0xFF);
    std::string r = head;
    for (int i = 0; i < 16; ++i) {
      char b[4];
      std::snprintf(b, sizeof b, "%02X", words[a + i]);
      r += b;
      sum += words[a + i];
    }
    char ck[4];
    std::snprintf(ck, sizeof ck, "%02X\n", ~sum & 0xFF);
    s3 += r + ck;
    if (a == 0xF0) s3.insert(s3.rfind("S315"), "S70500000000FA\n");
  }
  EXPECT_EQ(DecodeImage(Text(s3), ImageFormat::Auto, 256), words);
  // Larger than a text image may be: refused with the limit named, never cut.
  std::string huge = HexOf(words);
  huge += std::string(kTextImageLimit, ';');
  EXPECT_EQ(LoadError(huge), "The file is larger than 1024 KiB, the most a text image may be");
  // A lower-case s starts no record: such a file is no image at all.
  EXPECT_EQ(LoadError("s1130000000102030405060708090A0B0C0D0E0F74\n"),
            "The file holds no S-record (a line that starts with S and a digit)");
}

// What srec_cat makes of files that once went to the fuses as their own bytes.
TEST(Formats, TextImagesAreReadAsSrecCatReadsThemWhateverElseTheyHold) {
  const auto words = RandomWords(6);
  const auto hexBytes = EncodeImage(words.data(), 256, ImageFormat::IntelHex);
  const auto sBytes = EncodeImage(words.data(), 256, ImageFormat::SRecord);
  const std::string hex(hexBytes.begin(), hexBytes.end()), s19(sBytes.begin(), sBytes.end());
  const std::string cr = [&] {
    std::string t = hex;
    std::replace(t.begin(), t.end(), '\n', '\r');
    return t;
  }();
  struct Case {
    std::string file, error;  // error "" : loads the words
  } cases[] = {
      {"; \xC2\xA9 2026\n" + hex, ""},
      {hex + std::string(1, '\0'), ""},
      {hex + "\x0c\n:zz\n", ""},  // nothing after the end record is read
      {"\x1a\n" + hex, ""},       // a Ctrl+Z line is one more comment
      {s19 + std::string(1, '\0'), ""},
      {hex.substr(0, hex.size() - 1), ""},
      {std::string("\xEF\xBB\xBF") + s19, ""},
      {":10000000\xB0" + hex.substr(10), "Line 1: byte B0 at column 10 is not a hex digit"},
      {"; comment\r" + cr,
       "Line 1: a CR alone at column 10 ends no line: records need LF or CR "
       "LF line ends"},
      {" " + hex, "Line 1: the record starts at column 2; a record must start at column 1"},
      {":020001040000F9\n" + hex, "Line 1: record type 04 must have 0000 in its address field"},
      {s19.substr(0, s19.rfind("S9")) + "SX030000FC\n",
       "Line 18: an S-record starts with S and a digit; this line starts with S and 'X'"},
      {hex.substr(0, hex.size() - 1) + "\r",
       "Line 17: a CR alone at column 12 ends no line: records need LF or CR LF line ends"},
      {"no records here\n", ""},  // raw: 16 bytes, too short, see below
  };
  for (const auto& c : cases) {
    if (c.file.rfind("no records", 0) == 0) {
      EXPECT_EQ(DetectFormat(Text(c.file), ImageFormat::Auto), ImageFormat::Raw);
      continue;
    }
    EXPECT_EQ(LoadError(c.file), c.error) << c.file.substr(0, 40);
    if (c.error.empty()) EXPECT_EQ(DecodeImage(Text(c.file), ImageFormat::Auto, 256), words);
  }
  // The name states the format before the content does; the user's choice before both.
  EXPECT_EQ(LoadFormat("a.HEX", ImageFormat::Auto), ImageFormat::IntelHex);
  EXPECT_EQ(LoadFormat("a.bin", ImageFormat::Auto), ImageFormat::Raw);
  EXPECT_EQ(LoadFormat("a.s19", ImageFormat::Packed), ImageFormat::Packed);
  EXPECT_EQ(LoadFormat("dir.hex/a", ImageFormat::Auto), ImageFormat::Auto);
  EXPECT_EQ(LoadError(s19, ImageFormat::IntelHex),
            "The file holds no Intel HEX record (a line that starts with ':')");
}

TEST(Formats, SaveFormatByNameAndIdentificationSums) {
  EXPECT_EQ(FormatForPath("/a/b.HEX"), ImageFormat::IntelHex);
  EXPECT_EQ(FormatForPath("x.ihx"), ImageFormat::IntelHex);
  EXPECT_EQ(FormatForPath("x.s19"), ImageFormat::SRecord);
  EXPECT_EQ(FormatForPath("x.mot"), ImageFormat::SRecord);
  EXPECT_EQ(FormatForPath("x.srec"), ImageFormat::SRecord);
  EXPECT_EQ(FormatForPath("x.rom"), ImageFormat::Raw);
  EXPECT_EQ(FormatForPath("dir.hex/x"), ImageFormat::Raw);
  // The sums zlib and sha1sum give for the same 256 bytes.
  const std::vector<std::uint8_t> zero(256, 0);
  EXPECT_EQ(Crc32Hex(zero.data(), 256), "0d968558");
  EXPECT_EQ(Sha1Hex(zero.data(), 256), "b376885ac8452b6cbf9ced81b1080bfd570d9b91");
  std::vector<std::uint8_t> ramp(256);
  for (int a = 0; a < 256; ++a) ramp[a] = static_cast<std::uint8_t>(a % 16);
  EXPECT_EQ(Crc32Hex(ramp.data(), 256), "b6135ee0");
  EXPECT_EQ(Sha1Hex(ramp.data(), 256), "248a978987cff86c2bbad10ef332f63a6abd5bee");
}

}  // namespace
}  // namespace pt4
