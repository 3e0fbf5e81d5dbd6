#include "csICCLutABTag.h"

#include "csICCNumbers.h"
#include "csICCToneCurve.h"
#include "csLog.h"

#include <cstring>

namespace {

constexpr std::uint32_t headerSize = 32;

bool corrupt(const char* what, std::uint32_t size) {
    logError("corrupt tag data", "lut tag of %u bytes: %s", size, what);
    return false;
}

// n curve elements from offset; false when they do not fit.
// With build false the curves are only checked, not made.
bool readCurves(const std::uint8_t* data, std::uint32_t size, std::uint32_t offset, unsigned n,
                std::vector<std::unique_ptr<csICCTag>>& curves, bool build) {
    curves.clear();
    if (offset == 0)
        return true;
    if (offset < headerSize || offset >= size)
        return corrupt("curve set offset outside the tag", size);
    std::uint32_t at = offset;
    for (unsigned i = 0; i < n; ++i) {
        if (at >= size)
            return corrupt("curve set runs past the tag", size);
        std::uint32_t used = 0;
        if (build) {
            std::unique_ptr<csICCTag> curve =
                csICCToneCurve::readElement(data + at, size - at, &used);
            if (!curve)
                return corrupt("curve element cannot be read", size);
            curves.push_back(std::move(curve));
        } else {
            if (!csICCToneCurve::measureElement(data + at, size - at, &used))
                return corrupt("curve element cannot be read", size);
            used = (used + 3) & ~3u;
        }
        at += used;
    }
    return true;
}

struct LutABLayout {
    unsigned inputs = 0, outputs = 0;
    std::vector<std::unique_ptr<csICCTag>> a, m, b;
    bool hasMatrix = false;
    std::array<double, 12> matrix{};
    std::uint32_t clutOffset = 0;
    std::array<unsigned, 16> grid{};
    int precision = 2;
};

bool readLayout(const std::uint8_t* data, std::uint32_t size, LutABLayout& l, bool build) {
    if (size < headerSize)
        return corrupt("shorter than its 32-byte head", size);
    const bool aToB = Signature::read(data) == Signature("mAB ");
    l.inputs = data[8];
    l.outputs = data[9];
    if (l.inputs == 0 || l.outputs == 0 || l.inputs > csICCLutABTag::maxChannels ||
        l.outputs > csICCLutABTag::maxChannels)
        return corrupt("channel count outside 1..15", size);
    const std::uint32_t offsetB = readU32(data + 12), offsetMatrix = readU32(data + 16),
                        offsetM = readU32(data + 20), offsetCLUT = readU32(data + 24),
                        offsetA = readU32(data + 28);
    if (offsetB == 0)
        return corrupt("no B curves", size);
    // The channels on the PCS side of the CLUT (B, matrix, M) and on the device side (A).
    const unsigned pcsSide = aToB ? l.outputs : l.inputs;
    const unsigned deviceSide = aToB ? l.inputs : l.outputs;
    if (offsetCLUT == 0 && l.inputs != l.outputs)
        return corrupt("different channel counts without a CLUT", size);
    if (!readCurves(data, size, offsetB, pcsSide, l.b, build) ||
        !readCurves(data, size, offsetM, pcsSide, l.m, build) ||
        !readCurves(data, size, offsetA, deviceSide, l.a, build))
        return false;

    if (offsetMatrix != 0) {
        if (pcsSide != 3)
            return corrupt("a matrix needs 3 channels", size);
        if (offsetMatrix < headerSize || std::uint64_t{offsetMatrix} + 48 > size)
            return corrupt("matrix outside the tag", size);
        l.hasMatrix = true;
        for (int k = 0; k < 12; ++k)
            l.matrix[k] = readS15Fixed16(data + offsetMatrix + 4 * k);
    }

    if (offsetCLUT != 0) {
        if (offsetCLUT < headerSize || std::uint64_t{offsetCLUT} + 20 > size)
            return corrupt("CLUT head outside the tag", size);
        std::uint64_t points = 1;
        for (unsigned k = 0; k < l.inputs; ++k) {
            l.grid[k] = data[offsetCLUT + k];
            if (l.grid[k] < 2)
                return corrupt("CLUT with fewer than 2 grid points in a dimension", size);
            points *= l.grid[k];
            if (points > size)
                return corrupt("CLUT larger than the tag", size);
        }
        l.precision = data[offsetCLUT + 16];
        if (l.precision != 1 && l.precision != 2)
            return corrupt("CLUT precision is neither 1 nor 2 bytes", size);
        if (std::uint64_t{offsetCLUT} + 20 + points * l.outputs * l.precision > size)
            return corrupt("CLUT data runs past the tag", size);
        l.clutOffset = offsetCLUT + 20;
    }
    return true;
}

} // namespace

bool csICCLutABTag::validate(Signature type, const std::uint8_t* data, std::uint32_t size) {
    if (size < 4 || Signature::read(data) != type) {
        logError("corrupt tag data", "lut tag is not of type '%s'", type.text().c_str());
        return false;
    }
    LutABLayout layout;
    return readLayout(data, size, layout, false);
}

csICCLutABTag::csICCLutABTag(Signature signature, std::uint32_t size, const std::uint8_t* data)
    : csICCTag(signature, size, data) {
    parse();
}

csICCLutABTag::csICCLutABTag(const csICCLutABTag& other) : csICCTag(other) { parse(); }

csICCLutABTag& csICCLutABTag::operator=(const csICCLutABTag& other) {
    csICCTag::operator=(other);
    parse();
    return *this;
}

bool csICCLutABTag::parse() {
    LutABLayout l;
    const bool read = size() >= 4 && readLayout(data(), size(), l, true);
    inputs_ = l.inputs;
    outputs_ = l.outputs;
    a_ = std::move(l.a);
    m_ = std::move(l.m);
    b_ = std::move(l.b);
    hasMatrix_ = l.hasMatrix;
    matrix_ = l.matrix;
    clutOffset_ = l.clutOffset;
    grid_ = l.grid;
    precision_ = l.precision;
    return read;
}

double csICCLutABTag::clutValue(std::uint32_t point, unsigned c) const {
    const std::uint32_t index = point * outputs_ + c;
    if (precision_ == 1)
        return data()[clutOffset_ + index] / 255.0;
    return readU16(data() + clutOffset_ + 2 * index) / 65535.0;
}

namespace {

void append(std::vector<std::uint8_t>& bytes, const std::vector<const csICCTag*>& curves) {
    for (const csICCTag* curve : curves) {
        bytes.insert(bytes.end(), curve->data(), curve->data() + curve->size());
        bytes.resize((bytes.size() + 3) & ~std::size_t{3}, 0);
    }
}

} // namespace

csICCLutABTag::csICCLutABTag(Signature signature, Signature type, unsigned inputs, unsigned outputs,
                             const Elements& e) {
    setSignature(signature);
    std::vector<std::uint8_t> bytes(headerSize, 0);
    type.write(bytes.data());
    bytes[8] = static_cast<std::uint8_t>(inputs);
    bytes[9] = static_cast<std::uint8_t>(outputs);
    const auto mark = [&](std::size_t field) {
        writeU32(bytes.data() + field, static_cast<std::uint32_t>(bytes.size()));
    };
    if (!e.b.empty()) {
        mark(12);
        append(bytes, e.b);
    }
    if (e.hasMatrix) {
        mark(16);
        bytes.resize(bytes.size() + 48, 0);
        for (int k = 0; k < 12; ++k)
            writeS15Fixed16(bytes.data() + bytes.size() - 48 + 4 * k, e.matrix[k]);
    }
    if (!e.m.empty()) {
        mark(20);
        append(bytes, e.m);
    }
    if (!e.grid.empty()) {
        mark(24);
        const std::size_t head = bytes.size();
        bytes.resize(head + 20, 0);
        std::memcpy(bytes.data() + head, e.grid.data(), e.grid.size() < 16 ? e.grid.size() : 16);
        bytes[head + 16] = static_cast<std::uint8_t>(e.precision);
        for (std::uint16_t v : e.clut) {
            if (e.precision == 1) {
                bytes.push_back(static_cast<std::uint8_t>((v + 128) / 257));
            } else {
                bytes.push_back(static_cast<std::uint8_t>(v >> 8));
                bytes.push_back(static_cast<std::uint8_t>(v));
            }
        }
        bytes.resize((bytes.size() + 3) & ~std::size_t{3}, 0);
    }
    if (!e.a.empty()) {
        mark(28);
        append(bytes, e.a);
    }
    setData(static_cast<std::uint32_t>(bytes.size()), bytes.data());
    parse();
}
