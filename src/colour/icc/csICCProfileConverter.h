#pragma once

#include "csColorConverter.h"
#include "csICCToneCurve.h"
#include "csMatrix3x3.h"

#include <memory>

class csICCProfile;
class csICCmABInterpolator;
class csICCmftInterpolator;

// A transform through one profile: device values to the PCS (direction 0, "A2B"), the PCS to
// device values (1, "B2A") or the PCS to the gamut tag's in/out answer (2, "B2Gamut"), for a
// rendering intent (0 to 9) and a white mode (0 relative; 1 absolute, scaled by the media white;
// 2 absolute with the media white normalised to Y = 100). Lut profiles convert through their
// "mft1"/"mft2" tag; RGB profiles with an XYZ PCS can convert through their matrix and TRCs.
// The profile is not owned and must outlive the converter.
class csICCProfileConverter : public csColorConverter {
public:
    csICCProfileConverter(csICCProfile* profile, unsigned direction, unsigned intent,
                          unsigned whiteMode);
    ~csICCProfileConverter() override;

    void setWhiteMode(int wmode);
    void setIntent(int ri);
    void setDirection(int dir);

    // 0 when the converter is ready; until then, and after a failed preparation, it converts
    // nothing.
    int prepare() override;
    bool isPrepared() const { return prepared_; }
    // Interleaved conversions return -1 and touch nothing when the converter is not prepared or
    // a stride is smaller than the channel count it steps over.
    int convert(std::uint16_t* in, std::uint16_t* out, int count, int inStride = 0,
                int outStride = 0) override;
    int convert(std::uint16_t* const in[], std::uint16_t* const out[], int count) override;
    int convert(double* in, double* out, int count, int inStride = 0, int outStride = 0) override;
    int convert(double* const in[], double* const out[], int count) override;
    const char* descriptionText() const override;
    unsigned inputChannels() const override { return inputChannels_; }
    unsigned outputChannels() const override { return outputChannels_; }
    Signature inputSpace() const override { return inputSpace_; }
    Signature outputSpace() const override { return outputSpace_; }

    // Media white fix-ups of the PCS, in place.
    void PCSToAbs(std::uint16_t* samples, int count, int stride) const;
    void PCSToAbs(double* samples, int count, int stride) const;
    void PCSFromAbs(std::uint16_t* samples, int count, int stride) const;
    void PCSFromAbs(double* samples, int count, int stride) const;
    // The matrix/TRC path of RGB profiles; the TRC steps work in place on the input.
    void RGBtoXYZ(std::uint16_t* in, std::uint16_t* out, int count, int inStride,
                  int outStride) const;
    void RGBtoXYZ(double* in, double* out, int count, int inStride, int outStride) const;
    void XYZtoRGB(const std::uint16_t* in, std::uint16_t* out, int count, int inStride,
                  int outStride) const;
    void XYZtoRGB(const double* in, double* out, int count, int inStride, int outStride) const;

    unsigned direction() const { return direction_; }
    unsigned intent() const { return intent_; }
    unsigned whiteMode() const { return whiteMode_; }
    bool legacyLabIn() const { return legacyLabIn_; }
    bool legacyLabOut() const { return legacyLabOut_; }
    const csICCmftInterpolator* interpolator() const { return interpolator_.get(); }
    // The interpolator of an "mAB " or "mBA " tag, when one was prepared.
    const csICCmABInterpolator* modularInterpolator() const { return modular_.get(); }
    void mediaWhite(double* X, double* Y, double* Z) const;

    bool applyTRCs = true;

private:
    int prepareTransform();
    bool channelsFit(const char* tagName, unsigned inputs, unsigned outputs) const;
    template <typename Sample>
    void scalePCS(Sample* samples, int count, int stride, Signature space, bool toAbsolute) const;
    template <typename Sample>
    int convertInterleaved(Sample* in, Sample* out, int count, int inStride, int outStride);

    csICCProfile* profile_;
    unsigned direction_;
    unsigned intent_;
    unsigned whiteMode_;
    unsigned inputChannels_ = 0;
    unsigned outputChannels_ = 0;
    Signature inputSpace_;
    Signature outputSpace_;
    std::unique_ptr<csICCmftInterpolator> interpolator_;
    std::unique_ptr<csICCmABInterpolator> modular_;
    double mediaWhite_[3] = {1, 1, 1};
    // Per direction (from absolute colorimetry, to it), the factors in XYZ and their cube roots.
    double whiteScale_[2][3] = {}, whiteScaleRoot_[2][3] = {};
    csMatrix3x3 matrix_;
    csMatrix3x3 inverseMatrix_;
    // "curv" or "para" TRCs.
    csICCToneCurve trc_[3];
    bool legacyLabIn_ = false;
    bool legacyLabOut_ = false;
    bool prepared_ = false;
};
