// Whole-or-nothing file writes: the data go to a temporary file in the target's
// folder, which is then renamed over the target, so a crash or a full disk never
// leaves half a file and never spoils the old one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pt4 {

// Returns 0, or the errno of the step that failed (ENOSPC for a short write).
// An existing target without any write permission bit is refused with EACCES,
// even for root: replacing it would defeat the user's read-only mark.
int WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& data);

// Reads a whole regular file. Returns 0 or an errno (EISDIR for a folder, EINVAL
// for a device or pipe).
int ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out,
                  std::size_t limit = 1 << 20);

// Removes the temporary files that a write of `path` killed mid-way left behind.
void RemoveStaleTemporaries(const std::string& path);

bool PathExists(const std::string& path);
std::string ParentFolder(const std::string& path);

}  // namespace pt4
