#pragma once

// The readers under test take file names, so every input is handed to them
// as a real file: one per fuzzing process, rewritten for each input.

#include <cstddef>
#include <cstdint>

// The path of a file that now holds exactly data[0..size), or null.
const char* FuzzInputFile(const std::uint8_t* data, std::size_t size);

// Reads every byte, so that the address sanitizer reports an array that is
// shorter than its stated size.
void FuzzTouch(const unsigned char* bytes, long long count);
