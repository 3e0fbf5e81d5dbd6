#pragma once

// The ICC basic number encodings. All numbers in a profile are big-endian; these functions read
// from and write to byte positions that the caller has already checked to lie inside its block.

#include <cstdint>

std::uint8_t readU8(const std::uint8_t* bytes);
std::uint16_t readU16(const std::uint8_t* bytes);
std::uint32_t readU32(const std::uint8_t* bytes);
std::uint64_t readU64(const std::uint8_t* bytes);
void writeU8(std::uint8_t* bytes, std::uint8_t value);
void writeU16(std::uint8_t* bytes, std::uint16_t value);
void writeU32(std::uint8_t* bytes, std::uint32_t value);
void writeU64(std::uint8_t* bytes, std::uint64_t value);

// s15Fixed16: a signed value in units of 1/65536.
double readS15Fixed16(const std::uint8_t* bytes);
// The value in units of 1/65536. The pattern 0x80000000 reads as -2147483647, so that raw readings
// are symmetric around 0.
std::int32_t readS15Fixed16Raw(const std::uint8_t* bytes);
// The 32-bit pattern of value: rounded to the nearest 1/65536, saturated at 0x7FFFFFFF for
// 32768 and above and at 0x80000000 below -32768.
std::uint32_t encodeS15Fixed16(double value);
void writeS15Fixed16(std::uint8_t* bytes, double value);
void writeS15Fixed16Raw(std::uint8_t* bytes, std::int32_t raw);

// u16Fixed16: an unsigned value in units of 1/65536, saturated at 0 and 0xFFFFFFFF.
double readU16Fixed16(const std::uint8_t* bytes);
std::uint32_t encodeU16Fixed16(double value);
void writeU16Fixed16(std::uint8_t* bytes, double value);

// u8Fixed8: an unsigned value in units of 1/256, saturated at 0 and 0xFFFF.
double readU8Fixed8(const std::uint8_t* bytes);
std::uint16_t encodeU8Fixed8(double value);
void writeU8Fixed8(std::uint8_t* bytes, double value);

// XYZ number: three s15Fixed16 values, 12 bytes.
struct csXYZNumber {
    float X = 0;
    float Y = 0;
    float Z = 0;
};
csXYZNumber readXYZNumber(const std::uint8_t* bytes);
void writeXYZNumber(std::uint8_t* bytes, const csXYZNumber& xyz);

// dateTimeNumber: six unsigned 16-bit numbers, 12 bytes.
struct csDateTimeNumber {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
};
csDateTimeNumber readDateTimeNumber(const std::uint8_t* bytes);
void writeDateTimeNumber(std::uint8_t* bytes, const csDateTimeNumber& dateTime);

// response16Number: a 16-bit device value, two reserved zero bytes and an s15Fixed16
// measurement, 8 bytes.
struct csResponse16Number {
    std::uint16_t deviceValue = 0;
    double measurement = 0;
};
csResponse16Number readResponse16Number(const std::uint8_t* bytes);
void writeResponse16Number(std::uint8_t* bytes, const csResponse16Number& response);

// Tag data sizes are padded to multiples of four bytes.
constexpr std::uint32_t padToFour(std::uint32_t size) { return (size + 3) & ~std::uint32_t{3}; }
