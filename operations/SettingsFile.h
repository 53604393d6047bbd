// Writes a few keys of one section of an INI file and leaves every other byte of
// the file as it was: other sections and keys, comments, blank lines, spacing and
// line endings. Section and key names match without regard to case.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace pt4 {

using IniKeys = std::vector<std::pair<std::string, std::string>>;

// The new file content for `content` with `keys` set in `section`.
std::string UpdateIniText(const std::string& content, const std::string& section,
                          const IniKeys& keys);

// A file larger than this is no settings file: it is refused, unchanged.
constexpr std::size_t kMaxSettingsBytes = 1 << 20;

// The user's home folder: HOME when it is an absolute path, else the one the
// password database gives; empty when neither knows one. Never a shared folder
// such as /tmp, where another user could have prepared the settings' place.
std::string UserHome(const char* homeVariable);

// Where the settings file goes: beside the executable when that folder is the
// user's own and no one else can write it (a program run from its build folder
// or a portable folder), otherwise
// `configHome`/pt4prog ($XDG_CONFIG_HOME; on Windows the user's application
// data), or `home`/.config/pt4prog. A program run from the
// folder it was installed into always uses the latter: /usr/bin is no place for
// a user's file. A folder without any write permission bit counts as read-only,
// even for root. Empty when the settings have no place (no home is known).
std::string ChooseSettingsPath(const std::string& exeFolder, const std::string& installedBinFolder,
                               const std::string& fileName, const char* configHome,
                               const std::string& home);

// mkdir -p, for the user's settings folder: what it makes is the user's alone
// (0700). Returns 0 or an errno.
[[nodiscard]] int MakeFolders(const std::string& folder);
// The user's settings folder made when missing, then taken only when it is the
// user's own and no one else may write in it (as a folder beside the program
// must be): one that was there already, made or linked by another user, would
// let them put a file or a link of the settings' name there first. 0, EPERM for
// such a folder, or another errno.
[[nodiscard]] int MakeSettingsFolder(const std::string& folder);

// Reads `path` (missing is fine), updates it and replaces it atomically.
// Throws Error of kind File, with the cause, when it cannot (a file too large to
// be a settings file among them); the old file is untouched then.
void WriteIniKeys(const std::string& path, const std::string& section, const IniKeys& keys);

}  // namespace pt4
