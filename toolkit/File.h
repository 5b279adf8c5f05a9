#pragma once

#include <cstdio>
#include <string>

namespace TovarToolkit {

// Data file names are written with the backslash separator ("Images\Floor.bmp").
// Every file the toolkit opens goes through here, so the names work on POSIX too.
std::string NativePath(const char* name);
FILE* OpenFile(const char* name, const char* mode);

} // namespace TovarToolkit
