// A DLL planted where a user works (the working folder, a folder on PATH) under
// the InpOut32 DLL's name, for the tests alone: if it is ever loaded, its start-up
// code leaves the file planted-ran in the working folder. Never shipped.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    HANDLE h = CreateFileW(L"planted-ran", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  return TRUE;
}

extern "C" __declspec(dllexport) BOOL __stdcall IsInpOutDriverOpen() {
  return TRUE;
}
