#include "csICCXYZTag.h"

#include "csLog.h"
#include "csTypes.h"

#include <vector>

namespace {

const Signature xyzType("XYZ ");

std::vector<std::uint8_t> xyzBlock(unsigned n) {
    std::vector<std::uint8_t> block(8 + 12 * std::size_t{n}, 0);
    xyzType.write(block.data());
    return block;
}

} // namespace

csICCXYZTag::csICCXYZTag(Signature signature, std::uint32_t size, const std::uint8_t* data)
    : csICCTag(signature, size, data) {}

csICCXYZTag::csICCXYZTag(Signature signature, const csXYZNumber& xyz, unsigned n)
    : csICCXYZTag(signature, xyz.X, xyz.Y, xyz.Z, n) {}

csICCXYZTag::csICCXYZTag(Signature signature, float X, float Y, float Z, unsigned n) {
    setSignature(signature);
    const std::vector<std::uint8_t> block = xyzBlock(n);
    setData(static_cast<std::uint32_t>(block.size()), block.data());
    for (unsigned i = 0; i < n; ++i)
        setXYZ(i, X, Y, Z);
}

csICCXYZTag::csICCXYZTag(Signature signature, std::int32_t rawX, std::int32_t rawY,
                         std::int32_t rawZ, unsigned n) {
    setSignature(signature);
    const std::vector<std::uint8_t> block = xyzBlock(n);
    setData(static_cast<std::uint32_t>(block.size()), block.data());
    for (unsigned i = 0; i < n; ++i)
        setXYZRaw(i, rawX, rawY, rawZ);
}

unsigned csICCXYZTag::count() const { return size() < 8 ? 0 : (size() - 8) / 12; }

bool csICCXYZTag::checkIndex(unsigned i, const char* what) const {
    if (i < count())
        return true;
    logError("index out of bounds", "tried to %s %d of %d", what, static_cast<int>(i),
             static_cast<int>(count()));
    return false;
}

int csICCXYZTag::setComponent(unsigned i, unsigned component, double value, const char* what) {
    if (!checkIndex(i, what))
        return -1;
    writeS15Fixed16(data() + offset(i, component), value);
    return 0;
}

int csICCXYZTag::setComponentRaw(unsigned i, unsigned component, std::int32_t raw,
                                 const char* what) {
    if (!checkIndex(i, what))
        return -1;
    writeS15Fixed16Raw(data() + offset(i, component), raw);
    return 0;
}

float csICCXYZTag::component(unsigned i, unsigned component, const char* what) const {
    if (!checkIndex(i, what))
        return 0;
    return toSingle(readS15Fixed16(data() + offset(i, component)));
}

std::int32_t csICCXYZTag::componentRaw(unsigned i, unsigned component, const char* what) const {
    if (!checkIndex(i, what))
        return 0;
    return readS15Fixed16Raw(data() + offset(i, component));
}

int csICCXYZTag::setXYZ(unsigned i, const csXYZNumber& xyz) {
    return setXYZ(i, xyz.X, xyz.Y, xyz.Z);
}

int csICCXYZTag::setXYZ(unsigned i, float X, float Y, float Z) {
    if (!checkIndex(i, "set XYZ number"))
        return -1;
    writeS15Fixed16(data() + offset(i, 0), X);
    writeS15Fixed16(data() + offset(i, 1), Y);
    writeS15Fixed16(data() + offset(i, 2), Z);
    return 0;
}

int csICCXYZTag::setXYZRaw(unsigned i, std::int32_t X, std::int32_t Y, std::int32_t Z) {
    if (!checkIndex(i, "set XYZ number"))
        return -1;
    writeS15Fixed16Raw(data() + offset(i, 0), X);
    writeS15Fixed16Raw(data() + offset(i, 1), Y);
    writeS15Fixed16Raw(data() + offset(i, 2), Z);
    return 0;
}

int csICCXYZTag::setX(unsigned i, float X) { return setComponent(i, 0, X, "set X of XYZ number"); }
int csICCXYZTag::setY(unsigned i, float Y) { return setComponent(i, 1, Y, "set Y of XYZ number"); }
int csICCXYZTag::setZ(unsigned i, float Z) { return setComponent(i, 2, Z, "set Z of XYZ number"); }

int csICCXYZTag::setXRaw(unsigned i, std::int32_t X) {
    return setComponentRaw(i, 0, X, "set X of XYZ number");
}
int csICCXYZTag::setYRaw(unsigned i, std::int32_t Y) {
    return setComponentRaw(i, 1, Y, "set Y of XYZ number");
}
int csICCXYZTag::setZRaw(unsigned i, std::int32_t Z) {
    return setComponentRaw(i, 2, Z, "set Z of XYZ number");
}

int csICCXYZTag::getXYZ(unsigned i, csXYZNumber& xyz) const {
    return getXYZ(i, xyz.X, xyz.Y, xyz.Z);
}

int csICCXYZTag::getXYZ(unsigned i, float& X, float& Y, float& Z) const {
    if (!checkIndex(i, "get XYZ number"))
        return -1;
    X = toSingle(readS15Fixed16(data() + offset(i, 0)));
    Y = toSingle(readS15Fixed16(data() + offset(i, 1)));
    Z = toSingle(readS15Fixed16(data() + offset(i, 2)));
    return 0;
}

int csICCXYZTag::getXYZRaw(unsigned i, std::int32_t& X, std::int32_t& Y, std::int32_t& Z) const {
    if (!checkIndex(i, "get XYZ number"))
        return -1;
    X = readS15Fixed16Raw(data() + offset(i, 0));
    Y = readS15Fixed16Raw(data() + offset(i, 1));
    Z = readS15Fixed16Raw(data() + offset(i, 2));
    return 0;
}

float csICCXYZTag::getX(unsigned i) const { return component(i, 0, "get X of XYZ number"); }
float csICCXYZTag::getY(unsigned i) const { return component(i, 1, "get Y of XYZ number"); }
float csICCXYZTag::getZ(unsigned i) const { return component(i, 2, "get Z of XYZ number"); }
std::int32_t csICCXYZTag::getXRaw(unsigned i) const {
    return componentRaw(i, 0, "get X of XYZ number");
}
std::int32_t csICCXYZTag::getYRaw(unsigned i) const {
    return componentRaw(i, 1, "get Y of XYZ number");
}
std::int32_t csICCXYZTag::getZRaw(unsigned i) const {
    return componentRaw(i, 2, "get Z of XYZ number");
}
