#include "csICCNumbers.h"
#include "csTypes.h"

std::uint8_t readU8(const std::uint8_t* bytes) { return bytes[0]; }

std::uint16_t readU16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
}

std::uint32_t readU32(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
           std::uint32_t{bytes[2]} << 8 | std::uint32_t{bytes[3]};
}

std::uint64_t readU64(const std::uint8_t* bytes) {
    return std::uint64_t{readU32(bytes)} << 32 | readU32(bytes + 4);
}

void writeU8(std::uint8_t* bytes, std::uint8_t value) { bytes[0] = value; }

void writeU16(std::uint8_t* bytes, std::uint16_t value) {
    bytes[0] = static_cast<std::uint8_t>(value >> 8);
    bytes[1] = static_cast<std::uint8_t>(value);
}

void writeU32(std::uint8_t* bytes, std::uint32_t value) {
    bytes[0] = static_cast<std::uint8_t>(value >> 24);
    bytes[1] = static_cast<std::uint8_t>(value >> 16);
    bytes[2] = static_cast<std::uint8_t>(value >> 8);
    bytes[3] = static_cast<std::uint8_t>(value);
}

void writeU64(std::uint8_t* bytes, std::uint64_t value) {
    writeU32(bytes, static_cast<std::uint32_t>(value >> 32));
    writeU32(bytes + 4, static_cast<std::uint32_t>(value));
}

double readS15Fixed16(const std::uint8_t* bytes) {
    return static_cast<std::int32_t>(readU32(bytes)) / 65536.0;
}

std::int32_t readS15Fixed16Raw(const std::uint8_t* bytes) {
    const auto raw = static_cast<std::int32_t>(readU32(bytes));
    return raw == INT32_MIN ? -INT32_MAX : raw;
}

std::uint32_t encodeS15Fixed16(double value) {
    if (value >= 32768.0)
        return 0x7FFFFFFF;
    if (value < -32768.0)
        return 0x80000000;
    if (value >= 0.0) {
        // Within half a unit of 32768 the rounding would carry into the sign bit.
        const auto rounded = static_cast<std::uint32_t>(value * 65536.0 + 0.5);
        return rounded > 0x7FFFFFFFu ? 0x7FFFFFFFu : rounded;
    }
    // The rounded value's two's complement. Values just below zero round to 2^32, which wraps
    // to 0 as the two's complement of a rounded 0 must.
    return static_cast<std::uint32_t>(
        static_cast<std::uint64_t>((value + 65536.0) * 65536.0 + 0.5) & 0xFFFFFFFFu);
}

void writeS15Fixed16(std::uint8_t* bytes, double value) {
    writeU32(bytes, encodeS15Fixed16(value));
}

void writeS15Fixed16Raw(std::uint8_t* bytes, std::int32_t raw) {
    writeU32(bytes, static_cast<std::uint32_t>(raw));
}

double readU16Fixed16(const std::uint8_t* bytes) {
    const std::uint32_t raw = readU32(bytes);
    return (raw >> 16) + (raw & 0xFFFF) / 65536.0;
}

std::uint32_t encodeU16Fixed16(double value) {
    if (value >= 65536.0)
        return 0xFFFFFFFF;
    if (value < 0.0)
        return 0;
    const auto rounded = static_cast<std::uint64_t>(value * 65536.0 + 0.5);
    return rounded > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(rounded);
}

void writeU16Fixed16(std::uint8_t* bytes, double value) {
    writeU32(bytes, encodeU16Fixed16(value));
}

double readU8Fixed8(const std::uint8_t* bytes) { return readU16(bytes) / 256.0; }

std::uint16_t encodeU8Fixed8(double value) {
    if (value >= 256.0)
        return 0xFFFF;
    if (value < 0.0)
        return 0;
    const auto rounded = static_cast<std::uint32_t>(value * 256.0 + 0.5);
    return static_cast<std::uint16_t>(rounded > 0xFFFF ? 0xFFFF : rounded);
}

void writeU8Fixed8(std::uint8_t* bytes, double value) { writeU16(bytes, encodeU8Fixed8(value)); }

csXYZNumber readXYZNumber(const std::uint8_t* bytes) {
    return {toSingle(readS15Fixed16(bytes)), toSingle(readS15Fixed16(bytes + 4)),
            toSingle(readS15Fixed16(bytes + 8))};
}

void writeXYZNumber(std::uint8_t* bytes, const csXYZNumber& xyz) {
    writeS15Fixed16(bytes, xyz.X);
    writeS15Fixed16(bytes + 4, xyz.Y);
    writeS15Fixed16(bytes + 8, xyz.Z);
}

csDateTimeNumber readDateTimeNumber(const std::uint8_t* bytes) {
    return {readU16(bytes),     readU16(bytes + 2), readU16(bytes + 4),
            readU16(bytes + 6), readU16(bytes + 8), readU16(bytes + 10)};
}

void writeDateTimeNumber(std::uint8_t* bytes, const csDateTimeNumber& dateTime) {
    writeU16(bytes, dateTime.year);
    writeU16(bytes + 2, dateTime.month);
    writeU16(bytes + 4, dateTime.day);
    writeU16(bytes + 6, dateTime.hour);
    writeU16(bytes + 8, dateTime.minute);
    writeU16(bytes + 10, dateTime.second);
}

csResponse16Number readResponse16Number(const std::uint8_t* bytes) {
    return {readU16(bytes), readS15Fixed16(bytes + 4)};
}

void writeResponse16Number(std::uint8_t* bytes, const csResponse16Number& response) {
    writeU16(bytes, response.deviceValue);
    writeU16(bytes + 2, 0);
    writeS15Fixed16(bytes + 4, response.measurement);
}
