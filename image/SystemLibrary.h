// Windows only: a function of one of Windows' own DLLs, loaded at run time from
// System32 by its full name. A DLL the program imports is loaded before main()
// can limit where DLLs come from, and one that is not among the system's known
// DLLs is looked for beside the program first (a Downloads folder, say); taken
// this way, none is ever looked for anywhere else.
#pragma once

#ifdef _WIN32

namespace pt4 {

// The function, or nullptr when the DLL or the function is not there.
void* SystemLibraryFunction(const wchar_t* dll, const char* function);

template <typename F>
F SystemFunction(const wchar_t* dll, const char* function) {
  return reinterpret_cast<F>(SystemLibraryFunction(dll, function));
}

}  // namespace pt4

#endif
