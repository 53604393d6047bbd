#include "cli/Json.h"

#include "image/ImageId.h"
#include "image/Signature.h"

namespace pt4::cli {

Json ImageJson(const std::string& path, ImageFormat format, const RomImage& image) {
  const auto* data = image.RomBuffer.data();
  const auto n = static_cast<std::size_t>(image.RomSize);
  return Json{{"path", path},
              {"format", FormatName(format)},
              {"signature", SignatureText(image)},
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
