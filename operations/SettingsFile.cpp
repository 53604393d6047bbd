#include "operations/SettingsFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "base/Message.h"
#include "image/FileUtil.h"

namespace pt4 {

namespace {
struct Line {
  std::string body;  // without its line ending
  std::string eol;   // "\r\n", "\n", "\r" or "" for a last line without one
};

std::vector<Line> SplitLines(const std::string& s) {
  std::vector<Line> lines;
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t j = i;
    while (j < s.size() && s[j] != '\n' && s[j] != '\r') ++j;
    Line l{s.substr(i, j - i), ""};
    if (j < s.size()) {
      if (s[j] == '\r' && j + 1 < s.size() && s[j + 1] == '\n') {
        l.eol = "\r\n";
        j += 2;
      } else {
        l.eol = std::string(1, s[j]);
        ++j;
      }
    }
    lines.push_back(l);
    i = j;
  }
  return lines;
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  const auto e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// The section name of a header line "[name]", or nothing.
bool SectionName(const std::string& body, std::string* name) {
  const std::string t = Trim(body);
  if (t.size() < 2 || t.front() != '[') return false;
  const auto close = t.find(']');
  if (close == std::string::npos) return false;
  *name = Trim(t.substr(1, close - 1));
  return true;
}

bool IsKeyLine(const std::string& body, const std::string& key, std::size_t* valueStart) {
  const std::string t = Trim(body);
  if (t.empty() || t[0] == ';' || t[0] == '#') return false;
  const auto eq = body.find('=');
  if (eq == std::string::npos || !SameName(Trim(body.substr(0, eq)), key)) return false;
  std::size_t v = eq + 1;
  while (v < body.size() && (body[v] == ' ' || body[v] == '\t')) ++v;
  *valueStart = v;
  return true;
}

std::string Clean(const std::string& value) {
  std::string v;
  for (char c : value) v += (c == '\r' || c == '\n') ? ' ' : c;
  return v;
}
}  // namespace

std::string UpdateIniText(const std::string& content, const std::string& section,
                          const IniKeys& keys) {
  std::vector<Line> lines = SplitLines(content);
  std::string eol = "\n";
  for (const auto& l : lines) {
    if (!l.eol.empty()) {
      eol = l.eol;
      break;
    }
  }
  // Find the section: from its header to the next header.
  std::size_t begin = lines.size(), end = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string name;
    if (!SectionName(lines[i].body, &name)) continue;
    if (begin == lines.size()) {
      if (SameName(name, section)) begin = i;
    } else {
      end = i;
      break;
    }
  }
  if (begin == lines.size()) {
    if (!lines.empty() && lines.back().eol.empty()) lines.back().eol = eol;
    lines.push_back({"[" + section + "]", eol});
    begin = lines.size() - 1;
    end = lines.size();
  }
  for (const auto& [key, rawValue] : keys) {
    const std::string value = Clean(rawValue);
    bool found = false;
    std::size_t lastContent = begin;
    for (std::size_t i = begin + 1; i < end; ++i) {
      std::size_t v = 0;
      if (Trim(lines[i].body).size() > 0) lastContent = i;
      if (IsKeyLine(lines[i].body, key, &v)) {
        // The file's own spacing after '=' stays, unless the value brings blanks
        // of its own: they must not pile up on the file's at every write.
        if (!value.empty() && (value[0] == ' ' || value[0] == '\t'))
          v = lines[i].body.find('=') + 1;
        lines[i].body = lines[i].body.substr(0, v) + value;
        found = true;
        break;
      }
    }
    if (found) continue;
    // A new key goes after the section's last non-blank line, before blank lines
    // that separate it from the next section.
    if (lines[lastContent].eol.empty()) lines[lastContent].eol = eol;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastContent) + 1,
                 {key + "=" + value, eol});
    ++end;
  }
  std::string out;
  for (const auto& l : lines) out += l.body + l.eol;
  return out;
}

std::string UserHome(const char* homeVariable) {
  if (IsAbsolutePath(homeVariable)) return homeVariable;
  return AccountHome();
}

std::string ChooseSettingsPath(const std::string& exeFolder, const std::string& installedBinFolder,
                               const std::string& fileName, const char* configHome,
                               const std::string& home) {
  const bool installed = !installedBinFolder.empty() && exeFolder == installedBinFolder;
  // Beside the program only in a folder of the user's own: in a shared one another
  // user could have put a file or a link of that name there first.
  if (!installed && FolderPrivateToUser(exeFolder)) return exeFolder + "/" + fileName;
  std::string config;
  if (IsAbsolutePath(configHome)) {
    config = configHome;
  } else if (!home.empty()) {
    config = home + "/.config";
  } else {
    return {};
  }
  return config + "/pt4prog/" + fileName;
}

int MakeFolders(const std::string& folder) {
  if (folder.empty() || PathExists(folder)) return 0;
  if (const int err = MakeFolders(ParentFolder(folder)); err != 0) return err;
  const int err = MakeFolder(folder);
  return err == EEXIST ? 0 : err;
}

int MakeSettingsFolder(const std::string& folder) {
  if (const int err = MakeFolders(folder); err != 0) return err;
  return FolderPrivateToUser(folder) ? 0 : EPERM;
}

void WriteIniKeys(const std::string& path, const std::string& section, const IniKeys& keys) {
  std::vector<std::uint8_t> bytes;
  // Read whole or not at all: a cut file would lose its tail on the rewrite.
  int err = ReadWholeFile(path, bytes, kMaxSettingsBytes + 1);
  if (err == 0 && bytes.size() > kMaxSettingsBytes) err = EFBIG;
  if (err == 0 || err == ENOENT) {
    const std::string updated =
        UpdateIniText(std::string(bytes.begin(), bytes.end()), section, keys);
    err = WriteFileAtomically(path, std::vector<std::uint8_t>(updated.begin(), updated.end()));
  }
  if (err != 0) throw FileError(Message{SysError(err)}).About(path);
}

}  // namespace pt4
