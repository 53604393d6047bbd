#include "image/ImageFormats.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "image/FileError.h"

namespace pt4 {

namespace {
std::string Hex2(unsigned v) {
  char buf[4];
  std::snprintf(buf, sizeof buf, "%02X", v & 0xFF);
  return buf;
}
std::string Hex4(unsigned v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", v & 0xFFFF);
  return buf;
}

struct TextLine {
  int number;  // from 1
  std::string text;
};

// The file's lines without their ends (LF, or CR LF). Nothing else is taken off:
// a record with a blank before or after it is no record, as srec_cat has it.
std::vector<TextLine> Lines(const std::vector<std::uint8_t>& bytes) {
  std::vector<TextLine> out;
  std::string cur;
  int number = 1;
  auto push = [&] {
    if (!cur.empty() && cur.back() == '\r') cur.pop_back();
    out.push_back({number++, cur});
    cur.clear();
  };
  for (std::uint8_t c : bytes) {
    if (c == '\n') {
      push();
    } else {
      cur.push_back(static_cast<char>(c));
    }
  }
  if (!cur.empty()) push();
  return out;
}

// Printable ASCII in lines, and the Ctrl+Z that DOS tools end a text file with: a
// binary image has bytes no text line has (its words are 00-0F).
bool IsText(const std::vector<std::uint8_t>& bytes) {
  return !bytes.empty() && std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t c) {
    return c == '\n' || c == '\r' || c == '\t' || c == 0x1A || (c >= 0x20 && c <= 0x7E);
  });
}

// Lines meant as records. The tools that read these files pass over every other
// line (a comment, a blank, a DOS end-of-file mark), and so do the loads here.
bool IsHexRecordLine(const std::string& t) {
  return !t.empty() && t[0] == ':';
}
bool IsSRecordLine(const std::string& t) {
  return t.size() >= 2 && t[0] == 'S' && std::isdigit(static_cast<unsigned char>(t[1]));
}
// A lower-case s: never a record to srec_cat, but a sign of the format all the same.
bool LooksLikeSRecord(const std::string& t) {
  return t.size() >= 2 && (t[0] == 'S' || t[0] == 's') &&
         std::isdigit(static_cast<unsigned char>(t[1]));
}

[[noreturn]] void LineError(int line, Phrase what) {
  throw FileError(
      Message{Tr("pt4::File", "Line %1: %2").With(std::to_string(line), std::move(what))});
}

// The bytes of a record after its start characters: hex digit pairs, nothing else.
std::vector<std::uint8_t> RecordBytes(const TextLine& l, std::size_t start) {
  const std::string_view s = std::string_view(l.text).substr(start);
  const auto bad = std::find_if(
      s.begin(), s.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) == 0; });
  if (bad != s.end()) {
    const unsigned char c = static_cast<unsigned char>(*bad);
    char shown[16];
    if (c >= 0x20 && c <= 0x7E) {
      std::snprintf(shown, sizeof shown, "'%c'", c);
    } else {
      std::snprintf(shown, sizeof shown, "byte %02X", c);
    }
    LineError(l.number, Tr("pt4::File", "%1 at column %2 is not a hex digit")
                            .With(shown, std::to_string(start + 1 + (bad - s.begin()))));
  }
  if (s.size() % 2 != 0)
    LineError(l.number, Tr("pt4::File", "the record has an odd number of hex digits"));
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
    out.push_back(static_cast<std::uint8_t>(std::stoul(std::string(s.substr(i, 2)), nullptr, 16)));
  }
  return out;
}

// The words given so far, with the line that gave each.
class WordSink {
 public:
  explicit WordSink(std::size_t count) : words_(count, 0), from_(count, 0) {}
  void Put(std::uint64_t address, std::uint8_t value, int line) {
    if (address >= words_.size()) {
      // At least four digits, and every digit an extended address gives.
      char where[24];
      std::snprintf(where, sizeof where, "%04llX", static_cast<unsigned long long>(address));
      LineError(line, Tr("pt4::File", "data at address %1 is beyond the chip's %2 words")
                          .With(where, std::to_string(words_.size())));
    }
    const auto at = static_cast<std::size_t>(address);
    // The same value twice is what an overlapping export writes; two values for
    // one word leave no way to tell which is meant.
    if (from_[at] != 0 && words_[at] != value) {
      throw FileError(
          Message{Tr("pt4::File", "Word %1 is given twice, %2 on line %3 and %4 on line %5")
                      .With(Hex2(static_cast<unsigned>(at)), Hex2(words_[at]),
                            std::to_string(from_[at]), Hex2(value), std::to_string(line))});
    }
    words_[at] = value;
    if (from_[at] == 0) from_[at] = line;
  }
  std::vector<std::uint8_t> Finish() const {
    for (std::size_t a = 0; a < words_.size(); ++a) {
      if (from_[a] == 0) {
        throw FileError(
            Message{Tr("pt4::File", "Word %1 is missing: every word from 00 to %2 must be given")
                        .With(Hex2(static_cast<unsigned>(a)),
                              Hex2(static_cast<unsigned>(words_.size() - 1)))});
      }
    }
    return words_;
  }

 private:
  std::vector<std::uint8_t> words_;
  std::vector<int> from_;
};

std::vector<std::uint8_t> DecodeIntelHex(const std::vector<std::uint8_t>& bytes,
                                         std::size_t count) {
  WordSink sink(count);
  std::uint64_t base = 0;
  for (const auto& l : Lines(bytes)) {
    if (!IsHexRecordLine(l.text)) continue;
    const auto b = RecordBytes(l, 1);
    if (b.size() < 5) LineError(l.number, Tr("pt4::File", "the record is cut short"));
    const std::size_t len = b[0];
    if (b.size() < len + 5)
      LineError(l.number, Tr("pt4::File", "the record is shorter than its length byte says"));
    if (b.size() > len + 5)
      LineError(l.number, Tr("pt4::File", "the record is longer than its length byte says"));
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < b.size(); ++i) sum += b[i];
    const unsigned want = (0x100 - (sum & 0xFF)) & 0xFF;
    if (want != b.back())
      LineError(
          l.number,
          Tr("pt4::File", "checksum is %1, the record says %2").With(Hex2(want), Hex2(b.back())));
    const unsigned address = (b[1] << 8) | b[2];
    const std::uint8_t type = b[3];
    switch (type) {
      case 0x00:
        for (std::size_t i = 0; i < len; ++i) sink.Put(base + address + i, b[4 + i], l.number);
        break;
      case 0x01:
        if (len != 0) LineError(l.number, Tr("pt4::File", "an end record holds no data"));
        return sink.Finish();  // what follows the end is not part of the image
      case 0x02:
      case 0x04:
        if (len != 2)
          LineError(l.number, Tr("pt4::File", "an extended address record holds two bytes"));
        base = static_cast<std::uint64_t>((b[4] << 8) | b[5]) << (type == 0x02 ? 4 : 16);
        break;
      case 0x03:
      case 0x05:
        if (len != 4)
          LineError(l.number, Tr("pt4::File", "a start address record holds four bytes"));
        break;  // start addresses mean nothing to a PROM
      default:
        LineError(
            l.number,
            Tr("pt4::File", "record type %1 is not an Intel HEX record type").With(Hex2(type)));
    }
  }
  return sink.Finish();
}

std::vector<std::uint8_t> DecodeSRecord(const std::vector<std::uint8_t>& bytes, std::size_t count) {
  WordSink sink(count);
  std::uint64_t dataRecords = 0;
  for (const auto& l : Lines(bytes)) {
    if (!IsSRecordLine(l.text)) continue;
    const char type = l.text[1];
    const auto b = RecordBytes(l, 2);
    if (b.empty()) LineError(l.number, Tr("pt4::File", "the record is cut short"));
    const std::size_t len = b[0];
    if (b.size() < len + 1)
      LineError(l.number, Tr("pt4::File", "the record is shorter than its count byte says"));
    if (b.size() > len + 1)
      LineError(l.number, Tr("pt4::File", "the record is longer than its count byte says"));
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < b.size(); ++i) sum += b[i];
    const unsigned want = ~sum & 0xFF;
    if (want != b.back())
      LineError(
          l.number,
          Tr("pt4::File", "checksum is %1, the record says %2").With(Hex2(want), Hex2(b.back())));
    std::size_t addrBytes = 0;
    switch (type) {
      case '0':
      case '1':
      case '5':
      case '9':
        addrBytes = 2;
        break;
      case '2':
      case '6':
      case '8':
        addrBytes = 3;
        break;
      case '3':
      case '7':
        addrBytes = 4;
        break;
      default:
        LineError(l.number,
                  Tr("pt4::File", "%1 is not an S-record type").With(std::string("S") + type));
    }
    if (len < addrBytes + 1)
      LineError(l.number, Tr("pt4::File", "the record is too short for its address"));
    std::uint64_t address = 0;
    for (std::size_t i = 0; i < addrBytes; ++i) address = (address << 8) | b[1 + i];
    if (type == '1' || type == '2' || type == '3') {
      ++dataRecords;
      for (std::size_t i = 1 + addrBytes; i < len; ++i)
        sink.Put(address + (i - 1 - addrBytes), b[i], l.number);
    } else if (type == '5' || type == '6') {
      if (address != dataRecords) {
        LineError(l.number,
                  Tr("pt4::File", "the count record says %1 data records, the file has %2")
                      .With(std::to_string(address), std::to_string(dataRecords)));
      }
    }
    // S7-S9 give a start address, which means nothing to a PROM; the records
    // after one still count, as srec_cat reads them.
  }
  return sink.Finish();
}

void AppendText(std::vector<std::uint8_t>& out, const std::string& s) {
  out.insert(out.end(), s.begin(), s.end());
}

std::string HexRecord(unsigned address, std::uint8_t type, const std::uint8_t* data,
                      std::size_t n) {
  std::string r = ":" + Hex2(static_cast<unsigned>(n)) + Hex4(address) + Hex2(type);
  unsigned sum = static_cast<unsigned>(n) + (address >> 8) + (address & 0xFF) + type;
  for (std::size_t i = 0; i < n; ++i) {
    r += Hex2(data[i]);
    sum += data[i];
  }
  return r + Hex2((0x100 - (sum & 0xFF)) & 0xFF) + "\n";
}

std::string SRecord(char type, unsigned address, const std::uint8_t* data, std::size_t n) {
  const unsigned count = static_cast<unsigned>(n) + 3;
  std::string r = std::string("S") + type + Hex2(count) + Hex4(address);
  unsigned sum = count + (address >> 8) + (address & 0xFF);
  for (std::size_t i = 0; i < n; ++i) {
    r += Hex2(data[i]);
    sum += data[i];
  }
  return r + Hex2(~sum & 0xFF) + "\n";
}
}  // namespace

std::optional<ImageFormat> FormatFromName(std::string_view name) {
  if (name == "auto") return ImageFormat::Auto;
  if (name == "raw") return ImageFormat::Raw;
  if (name == "hex" || name == "ihex") return ImageFormat::IntelHex;
  if (name == "srec" || name == "s19") return ImageFormat::SRecord;
  if (name == "high") return ImageFormat::High;
  if (name == "packed") return ImageFormat::Packed;
  return std::nullopt;
}

const char* FormatName(ImageFormat f) {
  switch (f) {
    case ImageFormat::Auto:
      return "auto";
    case ImageFormat::Raw:
      return "raw";
    case ImageFormat::IntelHex:
      return "hex";
    case ImageFormat::SRecord:
      return "srec";
    case ImageFormat::High:
      return "high";
    case ImageFormat::Packed:
      return "packed";
  }
  return "raw";
}

ImageFormat FormatForPath(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return ImageFormat::Raw;
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == "hex" || ext == "ihx") return ImageFormat::IntelHex;
  if (ext == "s19" || ext == "srec" || ext == "mot") return ImageFormat::SRecord;
  return ImageFormat::Raw;
}

ImageFormat DetectFormat(const std::vector<std::uint8_t>& bytes, ImageFormat requested) {
  if (requested != ImageFormat::Auto) return requested;
  // Text that holds records is that format, good or bad: a damaged HEX file is an
  // error, never 256 ASCII bytes for the fuses.
  if (!IsText(bytes)) return ImageFormat::Raw;
  for (const auto& l : Lines(bytes)) {
    if (IsHexRecordLine(l.text)) return ImageFormat::IntelHex;
    if (LooksLikeSRecord(l.text)) return ImageFormat::SRecord;
  }
  return ImageFormat::Raw;
}

std::vector<std::uint8_t> DecodeImage(const std::vector<std::uint8_t>& bytes, ImageFormat format,
                                      std::size_t count) {
  const ImageFormat used = DetectFormat(bytes, format);
  switch (used) {
    case ImageFormat::IntelHex:
    case ImageFormat::SRecord: {
      if (!IsText(bytes)) {
        throw FileError(Message{format == ImageFormat::IntelHex
                                    ? Tr("pt4::File", "Not an Intel HEX file")
                                    : Tr("pt4::File", "Not an S-record file")});
      }
      if (bytes.size() > kTextImageLimit) {
        throw FileError(
            Message{Tr("pt4::File", "The file is larger than %1 KiB, the most a text image may be")
                        .With(std::to_string(kTextImageLimit / 1024))});
      }
      return used == ImageFormat::IntelHex ? DecodeIntelHex(bytes, count)
                                           : DecodeSRecord(bytes, count);
    }
    case ImageFormat::High: {
      if (bytes.size() < count)
        throw FileError(Message{Tr("pt4::File", "Read beyond end of file")});
      std::vector<std::uint8_t> w(count);
      for (std::size_t i = 0; i < count; ++i) w[i] = static_cast<std::uint8_t>(bytes[i] >> 4);
      return w;
    }
    case ImageFormat::Packed: {
      if (bytes.size() < (count + 1) / 2)
        throw FileError(Message{Tr("pt4::File", "Read beyond end of file")});
      std::vector<std::uint8_t> w(count);
      for (std::size_t i = 0; i < count; ++i) {
        w[i] = static_cast<std::uint8_t>((i % 2 == 0 ? bytes[i / 2] : bytes[i / 2] >> 4) & 0x0F);
      }
      return w;
    }
    case ImageFormat::Auto:
    case ImageFormat::Raw:
      break;
  }
  if (bytes.size() < count) throw FileError(Message{Tr("pt4::File", "Read beyond end of file")});
  return std::vector<std::uint8_t>(bytes.begin(),
                                   bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

std::vector<std::uint8_t> EncodeImage(const std::uint8_t* words, std::size_t count,
                                      ImageFormat format) {
  std::vector<std::uint8_t> out;
  switch (format) {
    case ImageFormat::IntelHex:
      for (std::size_t a = 0; a < count; a += 16) {
        AppendText(out, HexRecord(static_cast<unsigned>(a), 0x00, words + a,
                                  std::min<std::size_t>(16, count - a)));
      }
      AppendText(out, ":00000001FF\n");
      return out;
    case ImageFormat::SRecord: {
      static const std::uint8_t kHeader[] = {'p', 't', '4', 'p', 'r', 'o', 'g'};
      AppendText(out, SRecord('0', 0, kHeader, sizeof kHeader));
      for (std::size_t a = 0; a < count; a += 16) {
        AppendText(out, SRecord('1', static_cast<unsigned>(a), words + a,
                                std::min<std::size_t>(16, count - a)));
      }
      AppendText(out, SRecord('9', 0, nullptr, 0));
      return out;
    }
    case ImageFormat::High:
      for (std::size_t a = 0; a < count; ++a)
        out.push_back(static_cast<std::uint8_t>(words[a] << 4));
      return out;
    case ImageFormat::Packed:
      for (std::size_t a = 0; a < count; a += 2) {
        const std::uint8_t hi = a + 1 < count ? words[a + 1] : 0;
        out.push_back(static_cast<std::uint8_t>((words[a] & 0x0F) | (hi << 4)));
      }
      return out;
    case ImageFormat::Auto:
    case ImageFormat::Raw:
      break;
  }
  return std::vector<std::uint8_t>(words, words + count);
}

}  // namespace pt4
