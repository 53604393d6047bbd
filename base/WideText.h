// UTF-8 and the wide characters of Windows' own calls (UTF-16), for the
// Windows files of the platform layer.
#pragma once

#include <string>

namespace pt4 {

std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const wchar_t* wide);

}  // namespace pt4
