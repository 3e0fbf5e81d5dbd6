#pragma once

#include "csICCLutABTag.h"

// An "mAB " tag (lutAtoBType): device or PCS values through A curves, CLUT, M curves, matrix and
// B curves, in that order.
class csICCmABTag : public csICCLutABTag {
public:
    // From a block that validate() has accepted.
    csICCmABTag(Signature signature, std::uint32_t size, const std::uint8_t* data)
        : csICCLutABTag(signature, size, data) {}
    // A new tag from its elements: A curves for the inputs, CLUT inputs to outputs, M curves and
    // B curves for the outputs, a matrix only for 3 outputs.
    csICCmABTag(Signature signature, unsigned inputs, unsigned outputs, const Elements& elements)
        : csICCLutABTag(signature, Signature("mAB "), inputs, outputs, elements) {}

    static bool validate(const std::uint8_t* data, std::uint32_t size) {
        return csICCLutABTag::validate(Signature("mAB "), data, size);
    }
};
