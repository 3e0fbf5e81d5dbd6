#pragma once

#include "VariationOptimizer.h"
#include "csColorConverter.h"

#include <lcms2.h>

#include <cstdint>
#include <vector>

// Little CMS 2 behind the converter interface the search uses: CMYK doubles in 16-bit units to
// Lab16 (version 4) doubles.
class LittleCMSConverter : public csColorConverter {
public:
    explicit LittleCMSConverter(const std::vector<std::uint8_t>& bytes) {
        device_ = cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size()));
        lab_ = cmsCreateLab2Profile(nullptr);
        transform_ = cmsCreateTransform(device_, TYPE_CMYK_DBL, lab_, TYPE_Lab_DBL,
                                        INTENT_ABSOLUTE_COLORIMETRIC, 0);
    }
    ~LittleCMSConverter() override {
        cmsDeleteTransform(transform_);
        cmsCloseProfile(lab_);
        cmsCloseProfile(device_);
    }
    int prepare() override {
        setPrepared(transform_ != nullptr);
        return transform_ == nullptr;
    }
    int convert(std::uint16_t*, std::uint16_t*, int, int, int) override { return 1; }
    int convert(std::uint16_t* const[], std::uint16_t* const[], int) override { return 1; }
    int convert(double* const[], double* const[], int) override { return 1; }
    int convert(double* in, double* out, int count, int inStride, int outStride) override {
        const int inStep = inStride == 0 ? 4 : inStride, outStep = outStride == 0 ? 3 : outStride;
        if (percent_.size() < 4 * static_cast<std::size_t>(count)) {
            percent_.resize(4 * static_cast<std::size_t>(count));
            labValues_.resize(3 * static_cast<std::size_t>(count));
        }
        for (int i = 0; i < count; ++i)
            for (int c = 0; c < 4; ++c)
                percent_[4 * i + c] = in[i * inStep + c] / 655.35;
        cmsDoTransform(transform_, percent_.data(), labValues_.data(),
                       static_cast<cmsUInt32Number>(count));
        for (int i = 0; i < count; ++i) {
            out[i * outStep] = labValues_[3 * i] * 655.35;
            out[i * outStep + 1] = (labValues_[3 * i + 1] + 128) * 257;
            out[i * outStep + 2] = (labValues_[3 * i + 2] + 128) * 257;
        }
        return 0;
    }
    const char* descriptionText() const override { return "Little CMS 2"; }
    unsigned inputChannels() const override { return 4; }
    unsigned outputChannels() const override { return 3; }
    Signature inputSpace() const override { return Signature("CMYK"); }
    Signature outputSpace() const override { return Signature("Lab "); }

private:
    cmsHPROFILE device_ = nullptr, lab_ = nullptr;
    cmsHTRANSFORM transform_ = nullptr;
    // Grown to the largest call; the search's calls are 27 pixels, its start grid's larger.
    std::vector<double> percent_ = std::vector<double>(4 * VariationOptimizer::maxVariations);
    std::vector<double> labValues_ = std::vector<double>(3 * VariationOptimizer::maxVariations);
};
