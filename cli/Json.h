// The objects of pt4cli's --json output and of the production log's lines.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "image/Buffer.h"
#include "image/ImageFormats.h"
#include "operations/Passes.h"

namespace pt4::cli {

using Json = nlohmann::ordered_json;

// The image: path, format, signature, CRC32 and SHA-1.
Json ImageJson(const std::string& path, ImageFormat format, const RomImage& image);
Json CountsJson(const VerifyCounters& n);
// Every word that is not identical, with its class.
Json DifferencesJson(const WritePlan& plan);
// The pulse count, the width asked for and the overshoot's quantiles.
Json AuditJson(const PulseAudit& a);

}  // namespace pt4::cli
