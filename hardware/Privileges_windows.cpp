// Windows has neither set-id programs, file capabilities nor sudo: an
// administrator's rights come from the account that starts the program.
#include "hardware/Privileges.h"

namespace pt4 {

bool RaisedPrivileges(std::string*) {
  return false;
}

Drop DropSudoRoot() {
  return Drop::NotAsked;
}

}  // namespace pt4
