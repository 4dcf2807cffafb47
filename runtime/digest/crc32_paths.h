// The implementations of Crc32Update, one per instruction set, all with one
// signature. Data is never null here; Crc32Update handles that.
#pragma once

#include <cstdint>

using Crc32Function = uint32_t (*)(const uint8_t* data, uint32_t length, uint32_t crc);

// One table lookup per byte, eight bytes a group: the reference and the last
// fallback.
uint32_t Crc32UpdateTable(const uint8_t* data, uint32_t length, uint32_t crc);
// Carry-less multiplication folding, 128, 256 or 512 bits at a time.
uint32_t Crc32UpdatePclmul(const uint8_t* data, uint32_t length, uint32_t crc);
uint32_t Crc32UpdateVpclmul256(const uint8_t* data, uint32_t length, uint32_t crc);
uint32_t Crc32UpdateVpclmul512(const uint8_t* data, uint32_t length, uint32_t crc);

enum class Crc32Path { Table, Pclmul, Vpclmul256, Vpclmul512 };
bool Crc32PathSupported(Crc32Path path);
// For tests and benchmarks: use this path from now on; false, and no change,
// when the CPU or the operating system cannot run it.
bool UseCrc32Path(Crc32Path path);
Crc32Path ActiveCrc32Path();
