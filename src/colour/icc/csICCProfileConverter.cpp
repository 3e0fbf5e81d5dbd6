#include "csICCProfileConverter.h"

#include "csAssert.h"
#include "csICCPCS.h"
#include "csICCProfile.h"
#include "csICCXYZTag.h"
#include "csICCmABInterpolator.h"
#include "csICCmABTag.h"
#include "csICCmBATag.h"
#include "csICCmft1Interpolator.h"
#include "csICCmft2Interpolator.h"
#include "csLog.h"

#include <cmath>
#include <cstdio>
#include <type_traits>

namespace {

constexpr unsigned A2B = 0, B2A = 1, B2Gamut = 2;

bool isLabOrXYZ(Signature space) {
    return space == Signature("Lab ") || space == Signature("XYZ ");
}

bool isOneOfClasses(Signature deviceClass) {
    for (const char* code : {"scnr", "mntr", "prtr", "spac", "abst"})
        if (deviceClass == Signature::read(reinterpret_cast<const std::uint8_t*>(code)))
            return true;
    return false;
}

template <typename Sample> Sample clampRound(double v) {
    if constexpr (std::is_same_v<Sample, std::uint16_t>)
        return static_cast<std::uint16_t>(!(v > 0) ? 0 : v >= 65535 ? 65535 : v + 0.5);
    else
        return v;
}

} // namespace

csICCProfileConverter::csICCProfileConverter(csICCProfile* profile, unsigned direction,
                                             unsigned intent, unsigned whiteMode)
    : profile_(profile), direction_(direction), intent_(intent), whiteMode_(whiteMode) {}

csICCProfileConverter::~csICCProfileConverter() = default;

void csICCProfileConverter::setWhiteMode(int wmode) {
    CS_ASSERT(wmode >= 0 && wmode <= 2);
    whiteMode_ = static_cast<unsigned>(wmode);
}

void csICCProfileConverter::setIntent(int ri) {
    CS_ASSERT(ri >= 0 && ri <= 9);
    intent_ = static_cast<unsigned>(ri);
}

void csICCProfileConverter::setDirection(int dir) {
    CS_ASSERT(dir >= 0 && dir <= 2);
    direction_ = static_cast<unsigned>(dir);
}

void csICCProfileConverter::mediaWhite(double* X, double* Y, double* Z) const {
    *X = mediaWhite_[0];
    *Y = mediaWhite_[1];
    *Z = mediaWhite_[2];
}

int csICCProfileConverter::prepare() {
    prepared_ = false;
    setPrepared(false);
    const int result = prepareTransform();
    prepared_ = result == 0;
    setPrepared(prepared_);
    return result;
}

int csICCProfileConverter::prepareTransform() {
    const csICCProfileHeader& header = profile_->header();
    if (header.deviceClass() == Signature("nmcl")) {
        logError("wrong profile class", "conversion requested but profile class is named color");
        return -1;
    }

    char tagName[5] = "????";
    switch (direction_) {
    case A2B:
        std::snprintf(tagName, sizeof tagName, "A2B0");
        inputChannels_ = profile_->colorSpaceChannels();
        inputSpace_ = header.colorSpace();
        outputChannels_ = profile_->pcsChannels();
        outputSpace_ = header.pcs();
        break;
    case B2A:
        std::snprintf(tagName, sizeof tagName, "B2A0");
        inputChannels_ = profile_->pcsChannels();
        inputSpace_ = header.pcs();
        outputChannels_ = profile_->colorSpaceChannels();
        outputSpace_ = header.colorSpace();
        break;
    case B2Gamut:
        std::snprintf(tagName, sizeof tagName, "gamt");
        inputChannels_ = profile_->pcsChannels();
        inputSpace_ = header.pcs();
        outputChannels_ = 1;
        outputSpace_ = Signature("gamt");
        break;
    default:
        logFatal("bad conversion direction", "should be A2B, B2A, or B2Gamut; is %d",
                 static_cast<int>(direction_));
        break;
    }
    if ((direction_ == A2B || direction_ == B2A) && !isLabOrXYZ(header.pcs()))
        whiteMode_ = 0;
    if (intent_ > 9)
        logFatal("bad intent", "should be 0-9; is %d", static_cast<int>(intent_));
    if (whiteMode_ > 2)
        logFatal("bad white mode", "should be 0-2; is %d", static_cast<int>(whiteMode_));

    if (whiteMode_ != 0) {
        const auto* white = dynamic_cast<const csICCXYZTag*>(profile_->findTag(Signature("wtpt")));
        csXYZNumber xyz;
        if (white == nullptr || white->count() == 0 || white->getXYZ(0, xyz) != 0) {
            logWarning("media white point missing",
                       "non-relative conversion requested but no wtpt tag found");
        } else if (!(xyz.X > 0 && xyz.Y > 0 && xyz.Z > 0)) {
            // Converting from absolute colorimetry divides by the white.
            logWarning("bad media white point",
                       "wtpt (%f, %f, %f) is not a colour; the media white keeps its value", xyz.X,
                       xyz.Y, xyz.Z);
        } else {
            mediaWhite_[0] = xyz.X;
            mediaWhite_[1] = xyz.Y;
            mediaWhite_[2] = xyz.Z;
            if (whiteMode_ == 2) {
                mediaWhite_[0] = xyz.X * 100.0 / xyz.Y;
                mediaWhite_[1] = 100.0;
                mediaWhite_[2] = xyz.Z * 100.0 / xyz.Y;
            }
        }
    }
    // The factors of absolute colorimetry in XYZ, from it and to it, and their cube roots.
    const double pcsWhite[3] = {0.96422, 1.0, 0.82521};
    for (int c = 0; c < 3; ++c) {
        whiteScale_[1][c] = c == 1 ? mediaWhite_[1] : mediaWhite_[c] / pcsWhite[c];
        whiteScale_[0][c] = c == 1 ? 1.0 / mediaWhite_[1] : pcsWhite[c] / mediaWhite_[c];
        for (int toAbsolute = 0; toAbsolute < 2; ++toAbsolute)
            whiteScaleRoot_[toAbsolute][c] = std::cbrt(whiteScale_[toAbsolute][c]);
    }

    interpolator_.reset();
    modular_.reset();
    legacyLabIn_ = legacyLabOut_ = false;
    trc_[0] = trc_[1] = trc_[2] = csICCToneCurve();

    // A lut tag: "mft1"/"mft2", or "mAB "/"mBA " in the same places.
    const auto lutNamed = [this](const char* name) -> csICCTag* {
        csICCTag* tag =
            profile_->findTag(Signature::read(reinterpret_cast<const std::uint8_t*>(name)));
        if (dynamic_cast<csICCmftTag*>(tag) != nullptr ||
            dynamic_cast<csICCLutABTag*>(tag) != nullptr)
            return tag;
        // An "mAB "/"mBA " the reader refused stays plain data; it counts as absent.
        if (tag != nullptr && tag->size() >= 4 &&
            (tag->typeSignature() == Signature("mAB ") ||
             tag->typeSignature() == Signature("mBA ")))
            logWarning("malformed lut", "'%s' is a malformed '%s' tag and is passed over", name,
                       tag->typeSignature().text().c_str());
        return nullptr;
    };
    csICCTag* lut = nullptr;
    if (direction_ == A2B || direction_ == B2A) {
        tagName[3] = static_cast<char>('0' + (intent_ <= 9 ? intent_ : 0));
        lut = lutNamed(tagName);
        if (lut == nullptr && intent_ != 0) {
            tagName[3] = '0';
            lut = lutNamed(tagName);
        }
    } else if (direction_ == B2Gamut) {
        lut = lutNamed(tagName);
    }

    if (const auto* modular = dynamic_cast<const csICCLutABTag*>(lut)) {
        // Version 4 luts: Lab in the version 4 encoding on both sides, so no legacy fix-up.
        if (modular->isAToB() != (direction_ == A2B)) {
            logError("wrong lut type",
                     "'%s' is an '%s' tag, which cannot convert in this direction", tagName,
                     modular->typeSignature().text().c_str());
            return -1;
        }
        if (!channelsFit(tagName, modular->inputChannels(), modular->outputChannels()))
            return -1;
        modular_ = std::make_unique<csICCmABInterpolator>(modular);
        return 0;
    }
    if (lut != nullptr) {
        if (const auto* mft = dynamic_cast<const csICCmftTag*>(lut);
            mft != nullptr && !channelsFit(tagName, mft->inputChannels(), mft->outputChannels()))
            return -1;
        if (auto* mft2 = dynamic_cast<csICCmft2Tag*>(lut)) {
            interpolator_ = std::make_unique<csICCmft2Interpolator>(mft2);
        } else if (auto* mft1 = dynamic_cast<csICCmft1Tag*>(lut)) {
            interpolator_ = std::make_unique<csICCmft1Interpolator>(mft1);
        } else {
            logError("unsupported mft tag type", "cannot create an interpolator for an '%4s' tag",
                     lut->typeSignature().text().c_str());
            return -1;
        }
        if (dynamic_cast<csICCmft2Tag*>(lut) != nullptr) {
            // Version 2 luts hold the legacy 16-bit Lab encoding.
            const Signature deviceClass = header.deviceClass();
            const bool labPcs = header.pcs() == Signature("Lab ");
            const bool abstractLab =
                deviceClass == Signature("abst") && header.colorSpace() == Signature("Lab ");
            const bool pcsSide = labPcs && isOneOfClasses(deviceClass);
            if (direction_ == A2B) {
                legacyLabIn_ = abstractLab;
                legacyLabOut_ = pcsSide;
            } else if (direction_ == B2A) {
                legacyLabIn_ = pcsSide;
                legacyLabOut_ = abstractLab;
            } else {
                legacyLabIn_ = labPcs;
            }
            interpolator_->legacyLabOutputs = legacyLabOut_;
        }
        return 0;
    }

    if (header.colorSpace() == Signature("RGB ") && header.pcs() == Signature("XYZ ") &&
        (direction_ == A2B || direction_ == B2A || direction_ == B2Gamut)) {
        const csICCXYZTag* colorants[3] = {
            dynamic_cast<const csICCXYZTag*>(profile_->findTag(Signature("rXYZ"))),
            dynamic_cast<const csICCXYZTag*>(profile_->findTag(Signature("gXYZ"))),
            dynamic_cast<const csICCXYZTag*>(profile_->findTag(Signature("bXYZ")))};
        for (const csICCXYZTag* colorant : colorants) {
            if (colorant == nullptr || colorant->count() == 0) {
                logError("missing tags", "not all three of the rXYZ, gXYZ, bXYZ tags are present");
                return -1;
            }
        }
        // "curv" or "para" tone curves.
        csICCTag* curves[3] = {profile_->findTag(Signature("rTRC")),
                               profile_->findTag(Signature("gTRC")),
                               profile_->findTag(Signature("bTRC"))};
        for (const csICCTag* curve : curves) {
            if (!csICCToneCurve::isCurve(curve)) {
                logError("missing tags", "not all three of the rTRC, gTRC, bTRC tags are present");
                return -1;
            }
        }
        for (int r = 0; r < 3; ++r) {
            csXYZNumber xyz;
            colorants[r]->getXYZ(0, xyz);
            matrix_(r, 0) = xyz.X;
            matrix_(r, 1) = xyz.Y;
            matrix_(r, 2) = xyz.Z;
            trc_[r] = csICCToneCurve(curves[r]);
        }
        if (direction_ != A2B) {
            const int inverted = matrix_.invert(inverseMatrix_);
            if (inverted != 0) {
                logError("B2A matrix failed", "could not invert RGB-to-XYZ matrix");
                return inverted;
            }
        }
        return 0;
    }

    logError("missing tags", "cannot find '%4s' tag for requested conversion", tagName);
    return -1;
}

// A lut is trusted with the caller's pixels only when it reads and writes exactly as many
// channels as the conversion declares: the callers size their pixels by these counts.
bool csICCProfileConverter::channelsFit(const char* tagName, unsigned inputs,
                                        unsigned outputs) const {
    if (inputs == inputChannels_ && outputs == outputChannels_ && inputs > 0 && outputs > 0)
        return true;
    logError("lut channels", "'%s' has %u inputs and %u outputs; the conversion needs %u and %u",
             tagName, inputs, outputs, inputChannels_, outputChannels_);
    return false;
}

template <typename Sample>
void csICCProfileConverter::scalePCS(Sample* samples, int count, int stride, Signature space,
                                     bool toAbsolute) const {
    const bool lab = space == Signature("Lab ");
    const double* k = whiteScale_[toAbsolute];
    if constexpr (std::is_same_v<Sample, double>) {
        if (lab) {
            csICCPCS::scaleLab16(samples, samples, count, k, whiteScaleRoot_[toAbsolute], stride,
                                 stride);
            return;
        }
    }
    if (lab)
        csICCPCS::Lab16toXYZ16(samples, samples, count, stride, stride);
    if constexpr (std::is_same_v<Sample, std::uint16_t>)
        csICCPCS::scaleXYZ16(samples, samples, count,
                             static_cast<std::uint32_t>(k[0] * 65536 + 0.5),
                             static_cast<std::uint32_t>(k[1] * 65536 + 0.5),
                             static_cast<std::uint32_t>(k[2] * 65536 + 0.5), stride, stride);
    else
        csICCPCS::scaleXYZ(samples, samples, count, k[0], k[1], k[2], stride, stride);
    if (lab)
        csICCPCS::XYZ16toLab16(samples, samples, count, stride, stride);
}

void csICCProfileConverter::PCSToAbs(std::uint16_t* samples, int count, int stride) const {
    scalePCS(samples, count, stride, outputSpace_, true);
}

void csICCProfileConverter::PCSToAbs(double* samples, int count, int stride) const {
    scalePCS(samples, count, stride, outputSpace_, true);
}

void csICCProfileConverter::PCSFromAbs(std::uint16_t* samples, int count, int stride) const {
    scalePCS(samples, count, stride, inputSpace_, false);
}

void csICCProfileConverter::PCSFromAbs(double* samples, int count, int stride) const {
    scalePCS(samples, count, stride, inputSpace_, false);
}

namespace {

template <typename Sample>
void rgbToXYZ(const csMatrix3x3& m, const csICCToneCurve trc[3], bool applyTRCs, Sample* in,
              Sample* out, int count, int inStride, int outStride) {
    const int inStep = inStride == 0 ? 3 : inStride, outStep = outStride == 0 ? 3 : outStride;
    for (int i = 0; i < count; ++i, in += inStep, out += outStep) {
        if (applyTRCs)
            for (int c = 0; c < 3; ++c)
                trc[c].forward(in + c, in + c, 1);
        const double r = in[0] / 65535.0 * 32768, g = in[1] / 65535.0 * 32768,
                     b = in[2] / 65535.0 * 32768;
        for (int c = 0; c < 3; ++c)
            out[c] = clampRound<Sample>(m(0, c) * r + m(1, c) * g + m(2, c) * b);
    }
}

template <typename Sample>
void xyzToRGB(const csMatrix3x3& n, const csICCToneCurve trc[3], bool applyTRCs, const Sample* in,
              Sample* out, int count, int inStride, int outStride) {
    const int inStep = inStride == 0 ? 3 : inStride, outStep = outStride == 0 ? 3 : outStride;
    for (int i = 0; i < count; ++i, in += inStep, out += outStep) {
        const double X = in[0], Y = in[1], Z = in[2];
        for (int c = 0; c < 3; ++c)
            out[c] = clampRound<Sample>((n(0, c) * X + n(1, c) * Y + n(2, c) * Z) / 32768 * 65535);
        if (applyTRCs)
            for (int c = 0; c < 3; ++c)
                trc[c].inverse(out + c, out + c, 1);
    }
}

} // namespace

void csICCProfileConverter::RGBtoXYZ(std::uint16_t* in, std::uint16_t* out, int count, int inStride,
                                     int outStride) const {
    rgbToXYZ(matrix_, trc_, applyTRCs, in, out, count, inStride, outStride);
}

void csICCProfileConverter::RGBtoXYZ(double* in, double* out, int count, int inStride,
                                     int outStride) const {
    rgbToXYZ(matrix_, trc_, applyTRCs, in, out, count, inStride, outStride);
}

void csICCProfileConverter::XYZtoRGB(const std::uint16_t* in, std::uint16_t* out, int count,
                                     int inStride, int outStride) const {
    xyzToRGB(inverseMatrix_, trc_, applyTRCs, in, out, count, inStride, outStride);
}

void csICCProfileConverter::XYZtoRGB(const double* in, double* out, int count, int inStride,
                                     int outStride) const {
    xyzToRGB(inverseMatrix_, trc_, applyTRCs, in, out, count, inStride, outStride);
}

template <typename Sample>
int csICCProfileConverter::convertInterleaved(Sample* in, Sample* out, int count, int inStride,
                                              int outStride) {
    if (!prepared_) {
        logFatal("not prepared", "convert called on a converter that is not prepared");
        return -1;
    }
    const int inStep = inStride == 0 ? static_cast<int>(inputChannels_) : inStride;
    const int outStep = outStride == 0 ? static_cast<int>(outputChannels_) : outStride;
    // A pixel smaller than the conversion's channels would be read or written past its end.
    if (count < 0 || inStep < static_cast<int>(inputChannels_) ||
        outStep < static_cast<int>(outputChannels_)) {
        logFatal("bad stride", "%d pixels with strides %d and %d for %u inputs and %u outputs",
                 count, inStep, outStep, inputChannels_, outputChannels_);
        return -1;
    }
    if (direction_ != A2B && whiteMode_ != 0)
        PCSFromAbs(in, count, inStep);
    if (legacyLabIn_)
        csICCPCS::Lab16V4toV2(in, in, count, inStep, inStep);
    if (interpolator_) {
        interpolator_->convert(in, out, count, inStep, outStep);
    } else if (modular_) {
        modular_->convert(in, out, count, inStep, outStep);
    } else if (direction_ == A2B) {
        RGBtoXYZ(in, out, count, inStep, outStep);
    } else if (direction_ == B2A) {
        XYZtoRGB(in, out, count, inStep, outStep);
    } else {
        // The gamut of a matrix/TRC profile: 0 where the colour has RGB values in range.
        for (int i = 0; i < count; ++i) {
            double rgb[3];
            const double xyz[3] = {double(in[i * inStep]), double(in[i * inStep + 1]),
                                   double(in[i * inStep + 2])};
            xyzToRGB(inverseMatrix_, trc_, false, xyz, rgb, 1, 3, 3);
            const bool inside = rgb[0] >= -0.5 && rgb[0] <= 65535.5 && rgb[1] >= -0.5 &&
                                rgb[1] <= 65535.5 && rgb[2] >= -0.5 && rgb[2] <= 65535.5;
            out[i * outStep] = inside ? Sample(0) : Sample(65535);
        }
    }
    // 16-bit results of a lut that gives version 4 Lab itself are converted already.
    if (legacyLabOut_ && !(std::is_same_v<Sample, std::uint16_t> && interpolator_ &&
                           interpolator_->legacyLabGiven()))
        csICCPCS::Lab16V2toV4(out, out, count, outStep, outStep);
    if (direction_ == A2B && whiteMode_ != 0)
        PCSToAbs(out, count, outStep);
    return 0;
}

int csICCProfileConverter::convert(std::uint16_t* in, std::uint16_t* out, int count, int inStride,
                                   int outStride) {
    return convertInterleaved(in, out, count, inStride, outStride);
}

int csICCProfileConverter::convert(double* in, double* out, int count, int inStride,
                                   int outStride) {
    return convertInterleaved(in, out, count, inStride, outStride);
}

int csICCProfileConverter::convert(std::uint16_t* const[], std::uint16_t* const[], int) {
    logFatal("not implemented", "convert/uint16/planar not implemented");
    return 1;
}

int csICCProfileConverter::convert(double* const[], double* const[], int) {
    logFatal("not implemented", "convert/rfloat/planar not implemented");
    return 1;
}

const char* csICCProfileConverter::descriptionText() const {
    static char text[128];
    std::snprintf(text, sizeof text, "Dir %d Int %d Wht %d in %d Out %d Interp...",
                  static_cast<int>(direction_), static_cast<int>(intent_),
                  static_cast<int>(whiteMode_), static_cast<int>(inputChannels_),
                  static_cast<int>(outputChannels_));
    return text;
}
