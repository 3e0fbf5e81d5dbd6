#include "csICCmft1Interpolator.h"

#include "cs1DInterpolate.h"

csICCmft1Interpolator::csICCmft1Interpolator(csICCmft1Tag* tag) : csICCmftInterpolator(tag) {
    layout();
}

void csICCmft1Interpolator::layout() { layoutFromTag(); }

void csICCmft1Interpolator::expandTables() {
    const std::uint8_t* data = tag_->data();
    expandedIn_ = std::make_unique<std::uint16_t[]>(65536 * std::size_t{inputs_});
    expandedOut_ = std::make_unique<std::uint16_t[]>(65536 * std::size_t{outputs_});
    for (unsigned c = 0; c < inputs_; ++c)
        cs1DInterpolate::expand8(data + inputTableOffsets_[c], 256, expandedIn_.get() + 65536 * c);
    for (unsigned c = 0; c < outputs_; ++c)
        cs1DInterpolate::expand8(data + outputTableOffsets_[c], 256,
                                 expandedOut_.get() + 65536 * c);
}

void csICCmft1Interpolator::tablePixel(double* samples, unsigned channels,
                                       const std::uint32_t* offsets) const {
    for (unsigned c = 0; c < channels; ++c)
        samples[c] = cs1DInterpolate::at8(tag_->data() + offsets[c], 256, samples[c]);
}

void csICCmft1Interpolator::clutPixel(const double* in, double* out) const {
    const std::uint8_t* data = tag_->data();
    const unsigned outputs = outputs_;
    simplex(in, out, [data, outputs](std::uint32_t offset, double weight, double* sum) {
        for (unsigned c = 0; c < outputs; ++c)
            sum[c] += data[offset + c] * 257.0 * weight;
    });
}

void csICCmft1Interpolator::inputTables(std::uint16_t* samples, int count, int stride) {
    lookUp(samples, count, stride == 0 ? static_cast<int>(inputs_) : stride, inputs_, true);
}

void csICCmft1Interpolator::inputTables(double* samples, int count, int stride) {
    const int step = stride == 0 ? static_cast<int>(inputs_) : stride;
    for (int i = 0; i < count; ++i, samples += step)
        tablePixel(samples, inputs_, inputTableOffsets_.data());
}

void csICCmft1Interpolator::inputTables(std::uint16_t* const planes[], int count) {
    lookUp(planes, count, inputs_, true);
}

void csICCmft1Interpolator::inputTables(double* const planes[], int count) {
    for (unsigned c = 0; c < inputs_; ++c)
        for (int i = 0; i < count; ++i)
            planes[c][i] =
                cs1DInterpolate::at8(tag_->data() + inputTableOffsets_[c], 256, planes[c][i]);
}

void csICCmft1Interpolator::outputTables(std::uint16_t* samples, int count, int stride) {
    lookUp(samples, count, stride == 0 ? static_cast<int>(outputs_) : stride, outputs_, false);
}

void csICCmft1Interpolator::outputTables(double* samples, int count, int stride) {
    const int step = stride == 0 ? static_cast<int>(outputs_) : stride;
    for (int i = 0; i < count; ++i, samples += step)
        tablePixel(samples, outputs_, outputTableOffsets_.data());
}

void csICCmft1Interpolator::outputTables(std::uint16_t* const planes[], int count) {
    lookUp(planes, count, outputs_, false);
}

void csICCmft1Interpolator::outputTables(double* const planes[], int count) {
    for (unsigned c = 0; c < outputs_; ++c)
        for (int i = 0; i < count; ++i)
            planes[c][i] =
                cs1DInterpolate::at8(tag_->data() + outputTableOffsets_[c], 256, planes[c][i]);
}

void csICCmft1Interpolator::clut(const std::uint16_t* in, std::uint16_t* out, int count,
                                 int inStride, int outStride) {
    const int inStep = inStride == 0 ? static_cast<int>(inputs_) : inStride;
    const int outStep = outStride == 0 ? static_cast<int>(outputs_) : outStride;
    double inDouble[maxChannels], outDouble[maxChannels];
    for (int i = 0; i < count; ++i, in += inStep, out += outStep) {
        for (unsigned k = 0; k < inputs_; ++k)
            inDouble[k] = in[k];
        clutPixel(inDouble, outDouble);
        for (unsigned c = 0; c < outputs_; ++c)
            out[c] = round16(outDouble[c]);
    }
}

void csICCmft1Interpolator::clut(const double* in, double* out, int count, int inStride,
                                 int outStride) {
    clutPixels(in, out, count, inStride, outStride,
               [this](const double* i, double* o) { clutPixel(i, o); });
}

void csICCmft1Interpolator::clut(std::uint16_t* const in[], std::uint16_t* const out[], int count) {
    clutPlanes(in, out, count, [this](const double* i, double* o) { clutPixel(i, o); });
}

void csICCmft1Interpolator::clut(double* const in[], double* const out[], int count) {
    clutPlanes(in, out, count, [this](const double* i, double* o) { clutPixel(i, o); });
}
