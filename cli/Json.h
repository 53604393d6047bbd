// The objects of pt4cli's --json output and of the production log's lines.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "image/Buffer.h"
#include "image/ImageFormats.h"
#include "operations/Passes.h"

namespace pt4::cli {

using Json = nlohmann::ordered_json;

// A file name or a message for a JSON string. Names are bytes, and JSON text is
// UTF-8: a byte that is not part of valid UTF-8 (a CP1251 or KOI8-R name) is
// written as the four characters \xNN, upper-case hex, and a backslash as two, so
// that no two names read alike (on POSIX: Windows names are UTF-8 already, and a
// backslash there is the folder separator); other valid UTF-8 is kept as it is.
std::string JsonText(const std::string& s);
// The JSON text of `j`, `indent` spaces deep (-1: one line). Never throws: what
// JsonText did not clean is replaced by U+FFFD.
std::string JsonDump(const Json& j, int indent = -1);

// The image: path, format, the signature under `mask` (as the passes see the
// image), and the CRC32 and SHA-1 of every bit as stored.
Json ImageJson(const std::string& path, ImageFormat format, const RomImage& masked,
               const RomImage& stored, std::uint8_t mask);
Json CountsJson(const VerifyCounters& n);
// Every word that is not identical, with its class.
Json DifferencesJson(const WritePlan& plan);
// The pulse count, the width asked for and the overshoot's quantiles.
Json AuditJson(const PulseAudit& a);

}  // namespace pt4::cli
