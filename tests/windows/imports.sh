#!/usr/bin/env bash
# Fails on any DLL an executable imports that a stock 64-bit Windows 10 or 11
# does not have (MinGW's runtime DLLs, zlib1.dll, Qt's own): such a program
# starts under Wine, which brings its own, and nowhere else.
# The api-ms-win-* names are API sets, which the loader of Windows 8 and later
# resolves to its own DLLs (Qt's windows platform imports three).
#   imports.sh EXE...
set -u
system="advapi32 bcrypt cfgmgr32 comctl32 comdlg32 crypt32 d2d1 d3d11 d3d9 dwmapi dwrite dxgi gdi32
        imm32 kernel32 msvcrt netapi32 ntdll ole32 oleaut32 secur32 setupapi shell32 shlwapi
        user32 userenv uxtheme version winmm winspool.drv ws2_32 wtsapi32 authz mpr uiautomationcore
        shcore api-ms-win-core-synch-l1-2-0 api-ms-win-core-winrt-l1-1-0
        api-ms-win-core-winrt-string-l1-1-0"
# pt4cli has no Qt: it imports only the DLLs Windows always takes from System32
# (its KnownDLLs), so none can be planted beside it; winmm and bcrypt are loaded
# from System32 by full name at run time.
known="advapi32 gdi32 imm32 kernel32 msvcrt ntdll ole32 oleaut32 setupapi shell32 shlwapi user32
       ws2_32 comdlg32"
bad=0
for exe in "$@"; do
  case $(basename "$exe") in
    pt4cli*)
      while read -r dll; do
        name=$(echo "$dll" | tr 'A-Z' 'a-z')
        case " $(echo $known) " in
          *" ${name%.dll} "*) ;;
          *) echo "$(basename "$exe") imports $dll, which Windows may take from beside it"; bad=1 ;;
        esac
      done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p') ;;
  esac
done
for exe in "$@"; do
  while read -r dll; do
    name=$(echo "$dll" | tr 'A-Z' 'a-z')
    name=${name%.dll}
    case " $(echo $system) " in
      *" $name "*) ;;
      *) echo "$(basename "$exe") needs $dll, which Windows does not have"; bad=1 ;;
    esac
  done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done
exit $bad
