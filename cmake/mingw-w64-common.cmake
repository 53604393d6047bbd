# What the Windows toolchain files share: Debian's MinGW-w64 for `triple`, posix
# threads, and everything linked statically, so that one .exe runs on a bare
# Windows and under Wine for the tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The C and C++ runtimes and winpthreads inside the program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# The Windows 10 interfaces (the high-resolution waitable timer, BCryptHash's
# ready handles); where an older Windows lacks one, the program falls back.
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00 UNICODE _UNICODE)
# GCC 12 warns of an overlap in std::string's own copying where there is none
# (its bug 105651), here at every string joined in a loop.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
# The windows need Qt for Windows (tools/qt-windows.sh prints its prefix) and
# the build machine's Qt tools: moc, rcc, lupdate and lrelease.
if(PT4_QT_WINDOWS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${PT4_QT_WINDOWS})
  list(APPEND CMAKE_PREFIX_PATH ${PT4_QT_WINDOWS})
  set(QT_HOST_PATH /usr)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
endif()
