// Windows has neither set-id programs, file capabilities nor sudo: an
// administrator's rights come from the account that starts the program.
#include <windows.h>

#include "hardware/Privileges.h"

namespace pt4 {

void LimitLibrarySearch() {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
  SetDllDirectoryW(L"");  // and not the working folder, for the calls that still search
}

std::string RaisedPrivileges() {
  return {};
}

Drop DropSudoRoot() {
  return Drop::NotAsked;
}

}  // namespace pt4
