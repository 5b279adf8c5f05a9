#include "toolkit/File.h"

namespace TovarToolkit {

std::string NativePath(const char* name)
{
    std::string path = name ? name : "";
#ifndef _WIN32
    for (char& c : path)
        if (c == '\\')
            c = '/';
#endif
    return path;
}

FILE* OpenFile(const char* name, const char* mode)
{
    if (!name || !mode)
        return nullptr;
    return std::fopen(NativePath(name).c_str(), mode);
}

} // namespace TovarToolkit
