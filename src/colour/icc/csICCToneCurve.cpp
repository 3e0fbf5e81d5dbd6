#include "csICCToneCurve.h"

#include "csICCNumbers.h"
#include "csICCcurvTag.h"
#include "csICCparaTag.h"
#include "csLog.h"

namespace {

template <typename Sample>
void copy(const Sample* in, Sample* out, int count, int inStride, int outStride) {
    const int inStep = inStride == 0 ? 1 : inStride, outStep = outStride == 0 ? 1 : outStride;
    if (in == out && inStep == outStep)
        return;
    for (int i = 0; i < count; ++i)
        out[i * outStep] = in[i * inStep];
}

std::uint32_t paddedTo4(std::uint32_t size) { return (size + 3) & ~3u; }

} // namespace

csICCToneCurve::csICCToneCurve(csICCTag* tag)
    : curv_(dynamic_cast<const csICCcurvTag*>(tag)), para_(dynamic_cast<csICCparaTag*>(tag)) {}

bool csICCToneCurve::isCurve(const csICCTag* tag) {
    return dynamic_cast<const csICCcurvTag*>(tag) != nullptr ||
           dynamic_cast<const csICCparaTag*>(tag) != nullptr;
}

bool csICCToneCurve::measureElement(const std::uint8_t* data, std::uint32_t limit,
                                    std::uint32_t* used) {
    if (limit < 12) {
        logError("corrupt tag data", "curve element of at most %u bytes is too short", limit);
        return false;
    }
    const Signature type = Signature::read(data);
    if (type == Signature("curv")) {
        if (!csICCcurvTag::validate(data, limit))
            return false;
        *used = 12 + 2 * readU32(data + 8);
        return true;
    }
    if (type == Signature("para")) {
        // Validated first, so the function type is one of the five and its size known.
        if (!csICCparaTag::validate(data, limit))
            return false;
        static constexpr std::uint32_t sizes[5] = {16, 24, 28, 32, 40};
        *used = sizes[readU16(data + 8)];
        return true;
    }
    logError("corrupt tag data", "curve element is '%s', not 'curv' or 'para'",
             type.text().c_str());
    return false;
}

std::unique_ptr<csICCTag> csICCToneCurve::readElement(const std::uint8_t* data, std::uint32_t limit,
                                                      std::uint32_t* used) {
    std::uint32_t size = 0;
    if (!measureElement(data, limit, &size))
        return nullptr;
    *used = paddedTo4(size);
    if (Signature::read(data) == Signature("curv"))
        return std::make_unique<csICCcurvTag>(Signature("curv"), size, data);
    // The 16-bit tables of a "para" are built when a 16-bit lookup first needs them.
    return std::make_unique<csICCparaTag>(Signature("para"), size, data, false, false);
}

namespace {

// Through one of the two curve kinds, or unchanged when there is none.
template <typename Sample>
void run(const csICCcurvTag* curv, csICCparaTag* para, bool inverse, const Sample* in, Sample* out,
         int count, int inStride, int outStride) {
    if (curv != nullptr) {
        if (inverse)
            curv->inverse(in, out, count, inStride, outStride);
        else
            curv->forward(in, out, count, inStride, outStride);
    } else if (para != nullptr) {
        if (inverse)
            para->inverse(in, out, count, inStride, outStride);
        else
            para->forward(in, out, count, inStride, outStride);
    } else {
        copy(in, out, count, inStride, outStride);
    }
}

} // namespace

void csICCToneCurve::forward(const std::uint16_t* in, std::uint16_t* out, int count, int inStride,
                             int outStride) const {
    run(curv_, para_, false, in, out, count, inStride, outStride);
}

void csICCToneCurve::inverse(const std::uint16_t* in, std::uint16_t* out, int count, int inStride,
                             int outStride) const {
    run(curv_, para_, true, in, out, count, inStride, outStride);
}

void csICCToneCurve::forward(const double* in, double* out, int count, int inStride,
                             int outStride) const {
    run(curv_, para_, false, in, out, count, inStride, outStride);
}

bool csICCToneCurve::changesNothing() const {
    return isIdentity() || (curv_ != nullptr && curv_->isIdentity());
}

double csICCToneCurve::forwardValue(double x) const {
    return curv_ != nullptr   ? curv_->forwardValue(x)
           : para_ != nullptr ? para_->forwardValue(x)
                              : x;
}

double csICCToneCurve::beforeRounding(double x) const {
    return para_ != nullptr ? para_->beforeRounding(x) : curv_->beforeRounding(x);
}

bool csICCToneCurve::monotoneOn(double x0, double x1) const {
    return para_ != nullptr ? para_->monotoneOn(x0, x1) : true; // a gamma curve everywhere
}

bool csICCToneCurve::rounds() const {
    if (para_ != nullptr)
        return true;
    return curv_ != nullptr && curv_->isGamma() && !curv_->isIdentity();
}

void csICCToneCurve::inverse(const double* in, double* out, int count, int inStride,
                             int outStride) const {
    run(curv_, para_, true, in, out, count, inStride, outStride);
}
