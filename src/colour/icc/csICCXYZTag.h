#pragma once

#include "csICCNumbers.h"
#include "csICCTag.h"

// An "XYZ " tag: n XYZ numbers of 12 bytes after the 8-byte type header. n is (size - 8) / 12 and
// is not stored anywhere else. Accessors with a "Raw" name use s15Fixed16 units of 1/65536.
class csICCXYZTag : public csICCTag {
public:
    // From a data block as read from a profile.
    csICCXYZTag(Signature signature, std::uint32_t size, const std::uint8_t* data);
    // n XYZ numbers, all set to the given value.
    csICCXYZTag(Signature signature, const csXYZNumber& xyz, unsigned n = 1);
    csICCXYZTag(Signature signature, float X, float Y, float Z, unsigned n = 1);
    csICCXYZTag(Signature signature, std::int32_t rawX, std::int32_t rawY, std::int32_t rawZ,
                unsigned n);
    csICCXYZTag(const csICCXYZTag& other) = default;
    csICCXYZTag& operator=(const csICCXYZTag& other) = default;

    // How many XYZ numbers the tag holds.
    unsigned count() const;

    // Setters return 0, or -1 with an "index out of bounds" error entry when i is not below
    // count().
    int setXYZ(unsigned i, const csXYZNumber& xyz);
    int setXYZ(unsigned i, float X, float Y, float Z);
    int setXYZRaw(unsigned i, std::int32_t X, std::int32_t Y, std::int32_t Z);
    int setX(unsigned i, float X);
    int setY(unsigned i, float Y);
    int setZ(unsigned i, float Z);
    int setXRaw(unsigned i, std::int32_t X);
    int setYRaw(unsigned i, std::int32_t Y);
    int setZRaw(unsigned i, std::int32_t Z);

    // Return 0, or -1 with an error entry, leaving the outputs untouched, for a bad index.
    int getXYZ(unsigned i, csXYZNumber& xyz) const;
    int getXYZ(unsigned i, float& X, float& Y, float& Z) const;
    int getXYZRaw(unsigned i, std::int32_t& X, std::int32_t& Y, std::int32_t& Z) const;
    // Return the component, or 0 with an error entry for a bad index.
    float getX(unsigned i) const;
    float getY(unsigned i) const;
    float getZ(unsigned i) const;
    std::int32_t getXRaw(unsigned i) const;
    std::int32_t getYRaw(unsigned i) const;
    std::int32_t getZRaw(unsigned i) const;

private:
    // Offset of component (0 X, 1 Y, 2 Z) of number i.
    static std::uint32_t offset(unsigned i, unsigned component) {
        return 8 + 12 * i + 4 * component;
    }
    // False, with the error entry built from what (such as "set X of XYZ number"), for a bad index.
    bool checkIndex(unsigned i, const char* what) const;
    int setComponent(unsigned i, unsigned component, double value, const char* what);
    int setComponentRaw(unsigned i, unsigned component, std::int32_t raw, const char* what);
    float component(unsigned i, unsigned component, const char* what) const;
    std::int32_t componentRaw(unsigned i, unsigned component, const char* what) const;
};
