#pragma once

// Files in and out of the toolkit. Data file names are written with the
// backslash separator ("Images\Floor.bmp"); every file the toolkit opens goes
// through here, so the names work on POSIX too. Every reader takes a whole
// file into memory with ReadWholeFile and decodes it with a ByteReader, so
// decoding never touches the file system and never reads past the bytes.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace TovarToolkit {

std::string NativePath(const char* name);
FILE* OpenFile(const char* name, const char* mode);

// Files larger than this are refused rather than read.
const std::int64_t kMaxFileBytes = (std::int64_t(1) << 30) + (std::int64_t(1) << 20);

// The whole file into `bytes`. False when it is no regular file (a folder, a
// named pipe, a device: refused before it is opened), cannot be opened, is too
// large or cannot be read to its end; `reason` (when given) then says which,
// naming the file.
bool ReadWholeFile(const char* file, std::vector<unsigned char>& bytes, std::string* reason = nullptr);

// A read-only view of bytes in memory, with bounds-checked little-endian reads.
// Has() tells whether a range lies inside; the fixed-size reads return 0 for
// anything outside, so a decoder that checked its header once can read freely.
class ByteReader {
public:
    ByteReader(const unsigned char* data, std::size_t size) : data_(data), size_(data ? size : 0) {}
    explicit ByteReader(const std::vector<unsigned char>& bytes) : ByteReader(bytes.data(), bytes.size()) {}

    std::int64_t Size() const { return static_cast<std::int64_t>(size_); }
    bool Has(std::int64_t offset, std::int64_t count) const
    {
        return offset >= 0 && count >= 0 && offset <= Size() && count <= Size() - offset;
    }
    // Only for ranges Has() accepted.
    const unsigned char* At(std::int64_t offset) const { return data_ + offset; }

    unsigned U8(std::int64_t o) const { return Has(o, 1) ? data_[o] : 0u; }
    unsigned U16(std::int64_t o) const { return Has(o, 2) ? unsigned(data_[o]) | unsigned(data_[o + 1]) << 8 : 0u; }
    std::uint32_t U32(std::int64_t o) const
    {
        if (!Has(o, 4))
            return 0;
        return std::uint32_t(data_[o]) | std::uint32_t(data_[o + 1]) << 8 | std::uint32_t(data_[o + 2]) << 16 |
               std::uint32_t(data_[o + 3]) << 24;
    }
    std::int16_t S16(std::int64_t o) const { return static_cast<std::int16_t>(static_cast<std::uint16_t>(U16(o))); }
    std::int32_t S32(std::int64_t o) const { return static_cast<std::int32_t>(U32(o)); }
    float F32(std::int64_t o) const;

private:
    const unsigned char* data_;
    std::size_t size_;
};

} // namespace TovarToolkit
