// The file formats a chip image comes in, besides the raw one-word-a-byte file:
// Intel HEX and Motorola S-record (one byte per word, the record address is the
// word address), and two nibble layouts of binary dumps.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pt4 {

// A HEX or S-record image larger than this is refused, never cut: a 256-word
// chip's file is a few kilobytes.
constexpr std::size_t kTextImageLimit = 1 << 20;

enum class ImageFormat {
  Auto,      // loads: HEX or S-record when the file holds a record line, else raw
  Raw,       // one word a byte, low nibble
  IntelHex,  // records of type 00, 01, 02, 04 (03 and 05 ignored); other lines comments
  SRecord,   // S0 ignored, S1-S3 data, S5-S6 counts, S7-S9 ignored; other lines comments
  High,      // one word a byte, high nibble
  Packed,    // two words a byte: word 2k low nibble, word 2k+1 high nibble
};

// raw, hex, srec, high, packed (and auto); nothing for anything else.
std::optional<ImageFormat> FormatFromName(std::string_view name);
const char* FormatName(ImageFormat f);
// The format a file's name states: .hex and .ihx Intel HEX; .s19, .srec and .mot
// S-record; .rom and .bin raw; nothing for any other name.
std::optional<ImageFormat> FormatOfName(const std::string& path);
// The format a save takes from the file name: as FormatOfName, raw for any other.
ImageFormat FormatForPath(const std::string& path);
// The format a load of `path` uses: `requested` (the user's --format or filter)
// when not Auto, else what the name states, else Auto (decided by the content).
ImageFormat LoadFormat(const std::string& path, ImageFormat requested);
// What a load of `bytes` in format `requested` reads them as. Auto is resolved by
// content: a file that holds a record line (':' or S and a digit at a line's
// start) is Intel HEX or S-record by its first one, and every record must then
// be right; a file with no record line at all is raw.
ImageFormat DetectFormat(const std::vector<std::uint8_t>& bytes, ImageFormat requested);

// `count` words from a file's bytes. Throws FileError with the text the user sees
// ("Read beyond end of file", "Line 12: checksum is 3A, the record says 3B", ...).
// A HEX or S-record image must give every word, each once or with one value,
// and nothing beyond them. Lines are read as srec_cat reads them (a line that
// does not start with the record mark is passed over, an Intel HEX file ends at
// its end record), except that an indented record, or one behind a lone CR, is
// refused rather than passed over. `bytes` may hold more than kTextImageLimit to tell an over-size
// file.
std::vector<std::uint8_t> DecodeImage(const std::vector<std::uint8_t>& bytes, ImageFormat format,
                                      std::size_t count);
// The file bytes for `count` words.
std::vector<std::uint8_t> EncodeImage(const std::uint8_t* words, std::size_t count,
                                      ImageFormat format);

}  // namespace pt4
