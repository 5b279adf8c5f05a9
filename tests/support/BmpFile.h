#pragma once

// Little-endian puts and a BMP file built field by field, for tests that
// need layouts no writer at hand produces.

#include <cstddef>
#include <cstdint>
#include <vector>

inline void Put16(std::vector<unsigned char>& b, std::size_t at, unsigned v)
{
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}

inline void Put32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// A BMP with a 40-byte (or longer, zero-filled) information header; `extra`
// goes between the header and the pixel rows (a palette or bit masks).
struct BMP {
    std::int32_t width = 1, height = 1;
    std::uint16_t bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 40;
    std::uint32_t colours = 0;
    std::vector<unsigned char> extra;
    std::vector<unsigned char> rows; // as stored, padding included

    std::vector<unsigned char> Build() const
    {
        std::vector<unsigned char> b(14 + headerSize, 0);
        b[0] = 'B';
        b[1] = 'M';
        const std::uint32_t offset = 14 + headerSize + std::uint32_t(extra.size());
        Put32(b, 2, offset + std::uint32_t(rows.size()));
        Put32(b, 10, offset);
        Put32(b, 14, headerSize);
        Put32(b, 18, std::uint32_t(width));
        Put32(b, 22, std::uint32_t(height));
        Put16(b, 26, 1);
        Put16(b, 28, bits);
        Put32(b, 30, compression);
        Put32(b, 46, colours);
        b.insert(b.end(), extra.begin(), extra.end());
        b.insert(b.end(), rows.begin(), rows.end());
        return b;
    }
};
