# Cross-building the Qt-free part and pt4cli for 64-bit Windows 10 and 11 with
# Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix); its programs run under Wine
# for the tests.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
