#pragma once

#include "csICCLutABTag.h"

// An "mBA " tag (lutBtoAType): PCS values through B curves, matrix, M curves, CLUT and A curves, in
// that order.
class csICCmBATag : public csICCLutABTag {
public:
    // From a block that validate() has accepted.
    csICCmBATag(Signature signature, std::uint32_t size, const std::uint8_t* data)
        : csICCLutABTag(signature, size, data) {}
    // A new tag from its elements: B curves, a matrix (3 inputs only) and M curves for the
    // inputs, CLUT inputs to outputs, A curves for the outputs.
    csICCmBATag(Signature signature, unsigned inputs, unsigned outputs, const Elements& elements)
        : csICCLutABTag(signature, Signature("mBA "), inputs, outputs, elements) {}

    static bool validate(const std::uint8_t* data, std::uint32_t size) {
        return csICCLutABTag::validate(Signature("mBA "), data, size);
    }
};
