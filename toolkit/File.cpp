#include "toolkit/File.h"

#include <cstring>

#include <sys/stat.h>

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

namespace {

// What stands at `path` when it is there but is no regular file; null for a
// regular file, or for nothing at all (the open then says so). The same
// narrow name as fopen takes, on every platform.
const char* NotAFile(const std::string& path)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode))
        return nullptr;
    if (S_ISDIR(st.st_mode))
        return "it is a folder, not a file";
    if (S_ISFIFO(st.st_mode))
        return "it is a named pipe, not a file";
    if (S_ISCHR(st.st_mode))
        return "it is a device, not a file";
    return "it is not a regular file";
}

} // namespace

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
    // Only a regular file is read: opening a named pipe would wait for a
    // writer that never comes, and a folder or device has no size of its own.
    if (const char* what = NotAFile(NativePath(file)))
        return refuse(what);
    FILE* f = OpenFile(file, "rb");
    if (!f)
        return refuse("the file cannot be opened");
    long length = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1;
    const char* why = nullptr;
    if (length < 0 || std::fseek(f, 0, SEEK_SET) != 0)
        why = "the file cannot be read";
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
