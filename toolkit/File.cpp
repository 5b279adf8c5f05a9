#include "toolkit/File.h"

#include <cstring>

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

bool ReadWholeFile(const char* file, std::vector<unsigned char>& bytes, std::string* reason)
{
    bytes.clear();
    auto refuse = [&](const char* why) {
        if (reason)
            *reason = (file ? NativePath(file) : std::string("(no file name)")) + ": " + why;
        bytes.clear();
        return false;
    };
    if (!file)
        return refuse("no file name was given");
    FILE* f = OpenFile(file, "rb");
    if (!f)
        return refuse("the file cannot be opened");
    long length = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1;
    const char* why = nullptr;
    if (length < 0 || std::fseek(f, 0, SEEK_SET) != 0)
        why = "the file cannot be read (is it a folder?)";
    else if (length > kMaxFileBytes)
        why = "the file is too large to be one of ours";
    else {
        bytes.resize(static_cast<std::size_t>(length));
        if (length > 0 && std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size())
            why = "the file cannot be read to its end";
    }
    std::fclose(f);
    if (why)
        return refuse(why);
    return true;
}

float ByteReader::F32(std::int64_t o) const
{
    const std::uint32_t u = U32(o);
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}

} // namespace TovarToolkit
