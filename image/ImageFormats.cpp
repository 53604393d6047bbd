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

// The file's lines without their ends (LF or CRLF) and without surrounding blanks;
// blank lines are left out.
std::vector<TextLine> Lines(const std::vector<std::uint8_t>& bytes) {
  std::vector<TextLine> out;
  std::string cur;
  int number = 1;
  auto push = [&] {
    const auto b = cur.find_first_not_of(" \t\r");
    if (b != std::string::npos) {
      const auto e = cur.find_last_not_of(" \t\r");
      out.push_back({number, cur.substr(b, e - b + 1)});
    }
    cur.clear();
    ++number;
  };
  for (std::uint8_t c : bytes) {
    if (c == '\n') {
      push();
    } else {
      cur.push_back(static_cast<char>(c));
    }
  }
  push();
  return out;
}

bool AllHex(std::string_view s) {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

// Every line a record of the kind: a start character, then hex digit pairs.
bool LooksLike(const std::vector<std::uint8_t>& bytes, ImageFormat f) {
  // Text of a few kilobytes at most; a binary has bytes no text line has.
  if (bytes.empty() || bytes.size() > kTextImageLimit) return false;
  for (std::uint8_t c : bytes) {
    if (c != '\n' && c != '\r' && c != '\t' && (c < 0x20 || c > 0x7E)) return false;
  }
  const auto lines = Lines(bytes);
  if (lines.empty()) return false;
  for (const auto& l : lines) {
    const std::string& t = l.text;
    if (f == ImageFormat::IntelHex) {
      if (t.size() < 11 || t[0] != ':' || (t.size() - 1) % 2 != 0 || !AllHex(t.substr(1)))
        return false;
    } else {
      if (t.size() < 4 || (t[0] != 'S' && t[0] != 's') ||
          !std::isdigit(static_cast<unsigned char>(t[1])) || (t.size() - 2) % 2 != 0 ||
          !AllHex(t.substr(2))) {
        return false;
      }
    }
  }
  return true;
}

std::vector<std::uint8_t> HexBytes(std::string_view s) {
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
    out.push_back(static_cast<std::uint8_t>(std::stoul(std::string(s.substr(i, 2)), nullptr, 16)));
  }
  return out;
}

[[noreturn]] void LineError(int line, Phrase what) {
  throw FileError(
      Message{Tr("pt4::File", "Line %1: %2").With(std::to_string(line), std::move(what))});
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
    if (from_[address] != 0) {
      throw FileError(Message{Tr("pt4::File", "Word %1 is given twice, on line %2 and line %3")
                                  .With(Hex2(static_cast<unsigned>(address)),
                                        std::to_string(from_[address]), std::to_string(line))});
    }
    words_[address] = value;
    from_[address] = line;
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
  bool ended = false;
  for (const auto& l : Lines(bytes)) {
    if (ended) break;
    const auto b = HexBytes(std::string_view(l.text).substr(1));
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
        ended = true;
        break;
      case 0x02:
      case 0x04:
        if (len != 2)
          LineError(l.number, Tr("pt4::File", "an extended address record holds two bytes"));
        base = static_cast<std::uint64_t>((b[4] << 8) | b[5]) << (type == 0x02 ? 4 : 16);
        break;
      case 0x03:
      case 0x05:
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
    const char type = l.text[1];
    const auto b = HexBytes(std::string_view(l.text).substr(2));
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
    } else if (type == '7' || type == '8' || type == '9') {
      break;
    }
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
  const auto first =
      std::find_if(bytes.begin(), bytes.end(), [](std::uint8_t c) { return !std::isspace(c); });
  if (first == bytes.end()) return ImageFormat::Raw;
  if (*first == ':' && LooksLike(bytes, ImageFormat::IntelHex)) return ImageFormat::IntelHex;
  if ((*first == 'S' || *first == 's') && LooksLike(bytes, ImageFormat::SRecord))
    return ImageFormat::SRecord;
  return ImageFormat::Raw;
}

std::vector<std::uint8_t> DecodeImage(const std::vector<std::uint8_t>& bytes, ImageFormat format,
                                      std::size_t count) {
  switch (DetectFormat(bytes, format)) {
    case ImageFormat::IntelHex:
      if (!LooksLike(bytes, ImageFormat::IntelHex))
        throw FileError(Message{Tr("pt4::File", "Not an Intel HEX file")});
      return DecodeIntelHex(bytes, count);
    case ImageFormat::SRecord:
      if (!LooksLike(bytes, ImageFormat::SRecord))
        throw FileError(Message{Tr("pt4::File", "Not an S-record file")});
      return DecodeSRecord(bytes, count);
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
