#include "FuzzFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::string g_path;

void RemoveInputFile()
{
    if (!g_path.empty())
        std::remove(g_path.c_str());
}

} // namespace

const char* FuzzInputFile(const std::uint8_t* data, std::size_t size)
{
    if (g_path.empty()) {
        std::error_code ec;
        std::string name = (std::filesystem::temp_directory_path(ec) / "quellin-fuzz-XXXXXX").string();
        int fd = mkstemp(&name[0]);
        if (fd < 0)
            return nullptr;
        close(fd);
        g_path = name;
        std::atexit(RemoveInputFile);
    }
    FILE* f = std::fopen(g_path.c_str(), "wb");
    if (!f)
        return nullptr;
    const bool ok = (size == 0 || std::fwrite(data, 1, size, f) == size);
    if (std::fclose(f) != 0 || !ok)
        return nullptr;
    return g_path.c_str();
}

namespace {
volatile unsigned g_sink;
}

void FuzzTouch(const unsigned char* bytes, long long count)
{
    unsigned sum = 0;
    for (long long i = 0; i < count; ++i)
        sum += bytes[i];
    g_sink = sum;
}
