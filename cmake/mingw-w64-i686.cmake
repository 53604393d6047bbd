# Cross-building pt4cli for 32-bit Windows 7 and later with Debian's MinGW-w64
# (g++-mingw-w64-i686-posix), for the old machines that still have a parallel
# port on the board. It loads the 32-bit InpOut32 DLL, inpout32.dll.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
