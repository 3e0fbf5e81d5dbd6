#include "csICCmftInterpolator.h"

#include "csAssert.h"

csICCmftInterpolator::csICCmftInterpolator(csICCmftTag* tag) : tag_(tag) {}

csICCmftInterpolator::~csICCmftInterpolator() = default;

void csICCmftInterpolator::layoutFromTag() {
    inputs_ = tag_->inputChannels();
    outputs_ = tag_->outputChannels();
    inputEntries_ = tag_->inputEntries();
    outputEntries_ = tag_->outputEntries();
    clut_ = static_cast<std::uint32_t>(tag_->clut() - tag_->data());
    grid_.fill(0);
    strides_.fill(0);
    inputTableOffsets_.fill(0);
    outputTableOffsets_.fill(0);
    gridScale_.fill(0);
    inputScale_ = (inputEntries_ - 1) / 65535.0;
    outputScale_ = (outputEntries_ - 1) / 65535.0;
    for (unsigned k = 0; k < inputs_; ++k) {
        grid_[k] = tag_->gridPoints(k);
        gridScale_[k] = (grid_[k] - 1) / 65535.0;
        strides_[k] = tag_->stride(k);
        inputTableOffsets_[k] = static_cast<std::uint32_t>(tag_->inputTable(k) - tag_->data());
    }
    for (unsigned c = 0; c < outputs_; ++c)
        outputTableOffsets_[c] = static_cast<std::uint32_t>(tag_->outputTable(c) - tag_->data());
    identityMatrix_ = true;
    for (unsigned r = 0; r < 3; ++r)
        for (unsigned c = 0; c < 3; ++c) {
            matrix_[r][c] = tag_->matrixRaw(r, c);
            identityMatrix_ = identityMatrix_ && matrix_[r][c] == (r == c ? 65536 : 0);
        }
    expandedIn_.reset();
    expandedOut_.reset();
}

const std::uint16_t* csICCmftInterpolator::expandedInput(unsigned channel) {
    if (!expandedIn_)
        expandTables();
    return expandedIn_.get() + 65536 * std::size_t{channel};
}

const std::uint16_t* csICCmftInterpolator::expandedOutput(unsigned channel) {
    if (!expandedOut_)
        expandTables();
    return expandedOut_.get() + 65536 * std::size_t{channel};
}

namespace {

// One matrix row on 16-bit samples: raw s15Fixed16 products summed in 64 bits, clamped to
// 0..2^32-1 and shifted down by 16.
std::uint16_t matrixRow(const std::int32_t row[3], std::int64_t x, std::int64_t y, std::int64_t z) {
    std::int64_t sum = row[0] * x + row[1] * y + row[2] * z;
    if (sum < 0)
        sum = 0;
    if (sum > 0xFFFFFFFFll)
        sum = 0xFFFFFFFFll;
    return static_cast<std::uint16_t>(sum >> 16);
}

} // namespace

// A matrix only makes sense on three channels; luts with fewer inputs skip it, and an identity
// matrix changes nothing.
void csICCmftInterpolator::matrix(std::uint16_t* samples, int count, int stride) const {
    if (inputs_ < 3 || identityMatrix_)
        return;
    for (int i = 0; i < count; ++i, samples += stride) {
        const std::int64_t x = samples[0], y = samples[1], z = samples[2];
        for (unsigned r = 0; r < 3; ++r)
            samples[r] = matrixRow(matrix_[r], x, y, z);
    }
}

void csICCmftInterpolator::matrix(double* samples, int count, int stride) const {
    if (inputs_ < 3 || identityMatrix_)
        return;
    for (int i = 0; i < count; ++i, samples += stride) {
        const double x = samples[0], y = samples[1], z = samples[2];
        for (unsigned r = 0; r < 3; ++r)
            samples[r] = (matrix_[r][0] * x + matrix_[r][1] * y + matrix_[r][2] * z) / 65536.0;
    }
}

void csICCmftInterpolator::matrix(std::uint16_t* const planes[], int count) const {
    if (inputs_ < 3 || identityMatrix_)
        return;
    for (int i = 0; i < count; ++i) {
        const std::int64_t x = planes[0][i], y = planes[1][i], z = planes[2][i];
        for (unsigned r = 0; r < 3; ++r)
            planes[r][i] = matrixRow(matrix_[r], x, y, z);
    }
}

void csICCmftInterpolator::matrix(double* const planes[], int count) const {
    if (inputs_ < 3 || identityMatrix_)
        return;
    for (int i = 0; i < count; ++i) {
        const double x = planes[0][i], y = planes[1][i], z = planes[2][i];
        for (unsigned r = 0; r < 3; ++r)
            planes[r][i] = (matrix_[r][0] * x + matrix_[r][1] * y + matrix_[r][2] * z) / 65536.0;
    }
}

void csICCmftInterpolator::convert(std::uint16_t* in, std::uint16_t* out, int count, int inStride,
                                   int outStride) {
    const int inStep = inStride == 0 ? static_cast<int>(inputs_) : inStride;
    const int outStep = outStride == 0 ? static_cast<int>(outputs_) : outStride;
    if (applyMatrix)
        matrix(in, count, inStep);
    if (applyInputTables)
        inputTables(in, count, inStep);
    clut(in, out, count, inStep, outStep);
    if (applyOutputTables)
        outputTables(out, count, outStep);
}

void csICCmftInterpolator::convert(double* in, double* out, int count, int inStride,
                                   int outStride) {
    const int inStep = inStride == 0 ? static_cast<int>(inputs_) : inStride;
    const int outStep = outStride == 0 ? static_cast<int>(outputs_) : outStride;
    if (applyMatrix)
        matrix(in, count, inStep);
    if (applyInputTables)
        inputTables(in, count, inStep);
    clut(in, out, count, inStep, outStep);
    if (applyOutputTables)
        outputTables(out, count, outStep);
}

// The planes are checked under the names the assertion texts have always used.
void csICCmftInterpolator::convert(std::uint16_t* const raw_in[], std::uint16_t* const raw_out[],
                                   int count) {
    for (unsigned iin = 0; iin < inputs_; ++iin)
        CS_ASSERT(raw_in[iin] != 0);
    for (unsigned iin = 0; iin < outputs_; ++iin)
        CS_ASSERT(raw_out[iin] != 0);
    if (applyMatrix)
        matrix(raw_in, count);
    if (applyInputTables)
        inputTables(raw_in, count);
    clut(raw_in, raw_out, count);
    if (applyOutputTables)
        outputTables(raw_out, count);
}

void csICCmftInterpolator::convert(double* const rawf_in[], double* const rawf_out[], int count) {
    for (unsigned iin = 0; iin < inputs_; ++iin)
        CS_ASSERT(rawf_in[iin] != 0);
    // clang-format off
    for (unsigned iout = 0; iout < outputs_; ++iout)
        CS_ASSERT(rawf_out[iout] !=0);
    // clang-format on
    if (applyMatrix)
        matrix(rawf_in, count);
    if (applyInputTables)
        inputTables(rawf_in, count);
    clut(rawf_in, rawf_out, count);
    if (applyOutputTables)
        outputTables(rawf_out, count);
}

void csICCmftInterpolator::invertExpandedInputTables(const std::uint16_t* in, std::uint16_t* out,
                                                     int count, int inStride, int outStride) {
    const int inStep = inStride == 0 ? static_cast<int>(inputs_) : inStride;
    const int outStep = outStride == 0 ? static_cast<int>(inputs_) : outStride;
    for (int i = 0; i < count; ++i, in += inStep, out += outStep) {
        for (unsigned c = 0; c < inputs_; ++c) {
            const std::uint16_t* table = expandedInput(c);
            const std::uint16_t v = in[c];
            std::uint32_t j = 1;
            if (v == table[0]) {
                // The end of the leading run of entries equal to the first.
                while (j < 65536 && table[j] == table[0])
                    ++j;
                out[c] = static_cast<std::uint16_t>(j - 1);
                continue;
            }
            if (v > table[0])
                while (j < 65536 && table[j] < v)
                    ++j;
            else
                while (j < 65536 && table[j] > v)
                    ++j;
            out[c] = static_cast<std::uint16_t>(j < 65536 ? j : 65535);
        }
    }
}

void csICCmftInterpolator::lookUp(std::uint16_t* samples, int count, int stride, unsigned channels,
                                  bool inputSide) {
    const std::uint16_t* tables[maxChannels];
    for (unsigned c = 0; c < channels; ++c)
        tables[c] = inputSide ? expandedInput(c) : expandedOutput(c);
    for (int i = 0; i < count; ++i, samples += stride)
        for (unsigned c = 0; c < channels; ++c)
            samples[c] = tables[c][samples[c]];
}

void csICCmftInterpolator::lookUp(std::uint16_t* const planes[], int count, unsigned channels,
                                  bool inputSide) {
    for (unsigned c = 0; c < channels; ++c) {
        const std::uint16_t* values = inputSide ? expandedInput(c) : expandedOutput(c);
        for (int i = 0; i < count; ++i)
            planes[c][i] = values[planes[c][i]];
    }
}
