#include "image/ImageFormats.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "base/Message.h"

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

// A character of a line as the user can find it: 'x', or its byte when unprintable.
std::string ShownChar(unsigned char c) {
  char shown[16];
  if (c >= 0x20 && c <= 0x7E) {
    std::snprintf(shown, sizeof shown, "'%c'", c);
  } else {
    std::snprintf(shown, sizeof shown, "byte %02X", c);
  }
  return shown;
}

[[noreturn]] void LineError(int line, Phrase what) {
  throw FileError(
      Message{Tr("pt4::File", "Line %1: %2").With(std::to_string(line), std::move(what))});
}

// A CR that ends no line: what a file whose line ends were turned into CRs holds.
[[noreturn]] void LoneCrError(int line, std::size_t column) {
  LineError(line, Tr("pt4::File",
                     "a CR alone at column %1 ends no line: records need LF or CR "
                     "LF line ends")
                      .With(std::to_string(column)));
}

struct TextLine {
  int number;  // from 1
  std::string text;
};

// The file's lines without their ends, split at LF alone as srec_cat splits them:
// the CR of a CR LF end is taken off, and a CR anywhere else stays in the line,
// where a record refuses it (a file of CR-only line ends is one long line).
std::vector<TextLine> Lines(const std::vector<std::uint8_t>& bytes) {
  std::vector<TextLine> out;
  std::string cur;
  int number = 1;
  for (std::uint8_t c : bytes) {
    if (c == '\n') {
      if (!cur.empty() && cur.back() == '\r') cur.pop_back();
      out.push_back({number++, cur});
      cur.clear();
    } else {
      cur.push_back(static_cast<char>(c));
    }
  }
  if (!cur.empty()) out.push_back({number, cur});
  return out;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool StartsSRecord(std::string_view t, std::size_t at) {
  return t.size() > at + 1 && (t[at] == 'S' || t[at] == 's') &&
         std::isdigit(static_cast<unsigned char>(t[at + 1]));
}

// The kind of the first record line: a line whose first character after blanks
// is ':', or S or s and a digit, at the file's start or after an LF or a CR. A CR
// counts here so that a file of CR-only line ends, whose records no reader
// takes, is still known for what it is and refused, never burnt raw.
std::optional<ImageFormat> FirstRecordKind(const std::vector<std::uint8_t>& bytes) {
  const std::string_view t(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  bool lineStart = true;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    if (c == '\n' || c == '\r') {
      lineStart = true;
    } else if (lineStart && !IsBlank(c)) {
      if (c == ':') return ImageFormat::IntelHex;
      if (StartsSRecord(t, i)) return ImageFormat::SRecord;
      lineStart = false;
    }
  }
  return std::nullopt;
}

// srec_cat passes over every line that does not start with its format's record
// mark. Two such lines are refused here all the same, as they are records gone
// wrong rather than comments: one indented, and one holding a CR alone with a
// record after it (a file whose line ends were turned into CRs).
void RefuseHiddenRecord(const TextLine& l, bool intel) {
  const std::string_view t = l.text;
  const auto first = t.find_first_not_of(" \t");
  const auto isRecord = [&](std::size_t at) { return intel ? t[at] == ':' : StartsSRecord(t, at); };
  if (first != std::string_view::npos && first > 0 && isRecord(first)) {
    LineError(l.number, Tr("pt4::File",
                           "the record starts at column %1; a record must start "
                           "at column 1")
                            .With(std::to_string(first + 1)));
  }
  for (auto cr = t.find('\r'); cr != std::string_view::npos; cr = t.find('\r', cr + 1)) {
    if (cr + 1 < t.size() && isRecord(cr + 1)) {
      LineError(l.number, Tr("pt4::File",
                             "a CR alone at column %1 ends no line: records need "
                             "LF or CR LF line ends")
                              .With(std::to_string(cr + 1)));
    }
  }
}

// The bytes of a record after its start characters: hex digit pairs, nothing else.
std::vector<std::uint8_t> RecordBytes(const TextLine& l, std::size_t start) {
  const std::string_view s = std::string_view(l.text).substr(start);
  const auto bad = std::find_if(
      s.begin(), s.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) == 0; });
  if (bad != s.end()) {
    const unsigned char c = static_cast<unsigned char>(*bad);
    const auto column = start + 1 + static_cast<std::size_t>(bad - s.begin());
    if (c == '\r') LoneCrError(l.number, column);
    LineError(l.number, Tr("pt4::File", "%1 at column %2 is not a hex digit")
                            .With(ShownChar(c), std::to_string(column)));
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
  void SawRecord() { records_ = true; }
  std::vector<std::uint8_t> Finish(ImageFormat format) const {
    if (!records_) {
      throw FileError(Message{format == ImageFormat::IntelHex
                                  ? Tr("pt4::File",
                                       "The file holds no Intel HEX record (a line "
                                       "that starts with ':')")
                                  : Tr("pt4::File",
                                       "The file holds no S-record (a line that "
                                       "starts with S and a digit)")});
    }
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
  bool records_ = false;
};

std::vector<std::uint8_t> DecodeIntelHex(const std::vector<std::uint8_t>& bytes,
                                         std::size_t count) {
  WordSink sink(count);
  std::uint64_t base = 0;
  for (const auto& l : Lines(bytes)) {
    if (l.text.empty() || l.text[0] != ':') {
      RefuseHiddenRecord(l, true);
      continue;
    }
    sink.SawRecord();
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
    // The address records carry their value in the data; a value in the address
    // field as well leaves two readings, and srec_cat takes neither.
    if (type >= 0x02 && type <= 0x05 && address != 0) {
      LineError(
          l.number,
          Tr("pt4::File", "record type %1 must have 0000 in its address field").With(Hex2(type)));
    }
    switch (type) {
      case 0x00:
        for (std::size_t i = 0; i < len; ++i) sink.Put(base + address + i, b[4 + i], l.number);
        break;
      case 0x01:
        if (len != 0) LineError(l.number, Tr("pt4::File", "an end record holds no data"));
        return sink.Finish(ImageFormat::IntelHex);  // what follows the end is not part of the image
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
  return sink.Finish(ImageFormat::IntelHex);
}

std::vector<std::uint8_t> DecodeSRecord(const std::vector<std::uint8_t>& bytes, std::size_t count) {
  WordSink sink(count);
  std::uint64_t dataRecords = 0;
  for (const auto& l : Lines(bytes)) {
    // Every line that starts with S is a record to srec_cat, whatever follows.
    if (l.text.empty() || l.text[0] != 'S') {
      RefuseHiddenRecord(l, false);
      continue;
    }
    sink.SawRecord();
    const char type = l.text.size() > 1 ? l.text[1] : '\n';
    if (!std::isdigit(static_cast<unsigned char>(type))) {
      LineError(l.number, Tr("pt4::File",
                             "an S-record starts with S and a digit; this line "
                             "starts with S and %1")
                              .With(type == '\n' ? std::string("nothing")
                                                 : ShownChar(static_cast<unsigned char>(type))));
    }
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
  return sink.Finish(ImageFormat::SRecord);
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

std::optional<ImageFormat> FormatOfName(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == "hex" || ext == "ihx") return ImageFormat::IntelHex;
  if (ext == "s19" || ext == "srec" || ext == "mot") return ImageFormat::SRecord;
  if (ext == "rom" || ext == "bin") return ImageFormat::Raw;
  return {};
}

ImageFormat FormatForPath(const std::string& path) {
  return FormatOfName(path).value_or(ImageFormat::Raw);
}

ImageFormat LoadFormat(const std::string& path, ImageFormat requested) {
  if (requested != ImageFormat::Auto) return requested;
  return FormatOfName(path).value_or(ImageFormat::Auto);
}

ImageFormat DetectFormat(const std::vector<std::uint8_t>& bytes, ImageFormat requested) {
  if (requested != ImageFormat::Auto) return requested;
  // A file that holds a record line is that format, whatever else it holds: a
  // damaged HEX file is an error, never its own ASCII for the fuses.
  return FirstRecordKind(bytes).value_or(ImageFormat::Raw);
}

std::vector<std::uint8_t> DecodeImage(const std::vector<std::uint8_t>& bytes, ImageFormat format,
                                      std::size_t count) {
  const ImageFormat used = DetectFormat(bytes, format);
  switch (used) {
    case ImageFormat::IntelHex:
    case ImageFormat::SRecord: {
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
