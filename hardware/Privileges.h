// Rights the programs may hold beyond their user's, and giving them up. The port
// is the only thing that may need root; once it is open, nothing else does.
#pragma once

#include <stdexcept>
#include <string>

namespace pt4 {

// How the process was given rights its user does not have in a way that code
// named by the environment could use: set-id or file capabilities (the kernel's
// secure-execution mark), or capabilities without being root. Empty when it was
// not.
std::string RaisedPrivileges();

// Code the program loads after its start comes only from the system's folder and
// its own, never from the working folder or PATH, where a user's downloads or
// another user's files may be (Windows; Linux loads nothing by such a search).
void LimitLibrarySearch();

enum class Drop { NotAsked, Dropped };

// Started as root through sudo (SUDO_UID and SUDO_GID name an ordinary user):
// becomes that user for good, groups, group and user ids (real, effective,
// saved and file system alike), with HOME, USER and LOGNAME from the password
// database. Before that, the limits for real time are raised for this process
// (never lowered), so that the passes keep it as the user. A real root login,
// or an ordinary user, is left as it is. Throws Error of kind Privilege when
// root cannot be given up completely.
Drop DropSudoRoot();

}  // namespace pt4
