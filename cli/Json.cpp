#include "cli/Json.h"

#include <cstdio>

#include "image/ImageId.h"
#include "image/Signature.h"

namespace pt4::cli {

namespace {
// POSIX names are bytes, which may need \xNN. Windows hands the programs its
// UTF-16 names as UTF-8, where a backslash is the folder separator and stays one.
#ifdef _WIN32
constexpr bool kNamesAreBytes = false;
#else
constexpr bool kNamesAreBytes = true;
#endif
}  // namespace

std::string JsonText(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const std::size_t n = s.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned c = p[i];
    // The length of a well-formed sequence starting here (RFC 3629), or 0.
    std::size_t len = 0;
    if (c < 0x80) {
      len = 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
    }
    bool ok = len > 0 && i + len <= n;
    for (std::size_t k = 1; ok && k < len; ++k) ok = (p[i + k] & 0xC0) == 0x80;
    if (ok && len >= 3) {
      // No overlong forms, no surrogates, nothing past U+10FFFF.
      const unsigned c1 = p[i + 1];
      if (c == 0xE0 && c1 < 0xA0) ok = false;
      if (c == 0xED && c1 > 0x9F) ok = false;
      if (c == 0xF0 && c1 < 0x90) ok = false;
      if (c == 0xF4 && c1 > 0x8F) ok = false;
    }
    if (ok && c == '\\' && kNamesAreBytes) {
      // Doubled, so that a name holding the four characters \xFF never reads
      // like one holding the byte FF.
      out += "\\\\";
      ++i;
    } else if (ok) {
      out.append(s, i, len);
      i += len;
    } else {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\x%02X", c);
      out += esc;
      ++i;
    }
  }
  return out;
}

std::string JsonDump(const Json& j, int indent) {
  return j.dump(indent, ' ', false, Json::error_handler_t::replace);
}

Json ImageJson(const std::string& path, ImageFormat format, const RomImage& masked,
               const RomImage& stored, std::uint8_t mask) {
  const auto* data = stored.RomBuffer.data();
  const auto n = static_cast<std::size_t>(stored.RomSize);
  return Json{{"path", JsonText(path)},
              {"format", FormatName(format)},
              {"signature", SignatureText(masked)},
              {"mask", Hex(mask, 2)},
              {"crc32", Crc32Hex(data, n)},
              {"sha1", Sha1Hex(data, n)}};
}

Json CountsJson(const VerifyCounters& n) {
  return Json{
      {"identical", n.IdenticalCount}, {"programmable", n.ProgrammableCount}, {"bad", n.BadCount}};
}

Json DifferencesJson(const WritePlan& plan) {
  Json list = Json::array();
  for (const auto& d : plan.differences) {
    list.push_back(Json{{"address", d.address},
                        {"image", Hex(d.image, 2)},
                        {"chip", Hex(d.chip, 2)},
                        {"class", d.bad ? "bad" : "programmable"}});
  }
  return list;
}

Json AuditJson(const PulseAudit& a) {
  auto us = [](std::int64_t ns) { return static_cast<double>(ns) / 1000.0; };
  return Json{{"count", a.widthsNs.size()},
              {"asked_ms", static_cast<double>(a.askedNs) / 1e6},
              {"overshoot_us", Json{{"min", us(a.OvershootNs(0.0))},
                                    {"median", us(a.OvershootNs(0.5))},
                                    {"p99", us(a.OvershootNs(0.99))},
                                    {"max", us(a.OvershootNs(1.0))}}},
              {"excessive", a.Excessive()}};
}

}  // namespace pt4::cli
