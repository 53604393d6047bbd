// libFuzzer target: the settings writer on any file and any four values. Every
// other line stays byte for byte and in order, a second write with the same
// values changes nothing, and the four keys are in the section with their values.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "operations/SettingsFile.h"

namespace {
std::vector<std::string> LinesOf(const std::string& s) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : s) {
    if (c == '\n' || c == '\r') {
      out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}
std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s;
}
std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}
std::string LeftTrim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  return b == std::string::npos ? "" : s.substr(b);
}
bool IsOneOfTheKeys(const std::string& line, const pt4::IniKeys& keys) {
  const auto eq = line.find('=');
  if (eq == std::string::npos) return false;
  const std::string name = Lower(Trim(line.substr(0, eq)));
  for (const auto& [k, v] : keys) {
    if (Lower(k) == name) return true;
  }
  return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Four values from the first bytes, separated by 0x01; the rest is the file.
  std::string all(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> values;
  std::size_t at = 0;
  for (int i = 0; i < 4; ++i) {
    const auto end = all.find('\x01', at);
    if (end == std::string::npos) return 0;
    std::string v = all.substr(at, end - at);
    for (char& c : v) {
      if (c == '\r' || c == '\n') c = ' ';
    }
    values.push_back(v);
    at = end + 1;
  }
  const std::string content = all.substr(at);
  const pt4::IniKeys keys = {{"BufStartWriteAdr", values[0]},
                             {"BufEndWriteAdr", values[1]},
                             {"ROMStartWriteAdr", values[2]},
                             {"ROMEndWriteAdr", values[3]}};
  const std::string once = pt4::UpdateIniText(content, "K556PT4", keys);
  if (pt4::UpdateIniText(once, "K556PT4", keys) != once) std::abort();

  // Other lines: every line that is not one of the four keys survives, in order.
  const auto before = LinesOf(content), after = LinesOf(once);
  std::size_t j = 0;
  for (const auto& line : before) {
    if (IsOneOfTheKeys(line, keys)) continue;
    while (j < after.size() && after[j] != line) ++j;
    if (j == after.size()) std::abort();
    ++j;
  }
  // The four keys: in the first K556PT4 section, each with its value where it
  // first stands (a reader takes the first; a repeated key line is left alone).
  bool in = false, seenSection = false;
  int found = 0;
  std::vector<std::string> done;
  for (const auto& line : after) {
    const std::string t = Trim(line);
    if (!t.empty() && t[0] == '[' && t.find(']') != std::string::npos) {
      const bool ours = !seenSection && Lower(Trim(t.substr(1, t.find(']') - 1))) == "k556pt4";
      if (in && !ours) break;
      in = ours;
      seenSection = seenSection || ours;
      continue;
    }
    if (!in || t.empty() || t[0] == ';' || t[0] == '#') continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    for (const auto& [k, v] : keys) {
      if (Lower(Trim(line.substr(0, eq))) == Lower(k)) {
        if (std::find(done.begin(), done.end(), Lower(k)) != done.end()) break;
        if (LeftTrim(line.substr(eq + 1)) != LeftTrim(v)) std::abort();
        done.push_back(Lower(k));
        ++found;
        break;
      }
    }
  }
  if (found < 4) std::abort();
  return 0;
}
