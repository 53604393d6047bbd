#include "operations/Process.h"

#include "hardware/ExitPaths.h"
#include "hardware/Privileges.h"
#include "hardware/StopSignal.h"

namespace pt4::process {

void LimitLibrarySearch() {
  pt4::LimitLibrarySearch();
}

std::string RaisedPrivileges() {
  return pt4::RaisedPrivileges();
}

void InstallExitPaths() {
  pt4::InstallExitPaths();
}

void GiveUpSudoRoot() {
  DropSudoRoot();
}

int StopSignalFd() {
  return pt4::StopSignalFd();
}

void RecordStop(int sig) {
  RecordStopSignal(sig);
}

}  // namespace pt4::process
