#pragma once

#include "Signature.h"

#include <cstdint>

// A colour transform as the application holds it: prepared once, then converting samples on the
// 16-bit scale (16-bit or double), interleaved or planar.
class csColorConverter {
public:
    virtual ~csColorConverter();

    // 0 when ready.
    virtual int prepare() = 0;
    virtual int convert(std::uint16_t* in, std::uint16_t* out, int count, int inStride = 0,
                        int outStride = 0) = 0;
    virtual int convert(std::uint16_t* const in[], std::uint16_t* const out[], int count) = 0;
    virtual int convert(double* in, double* out, int count, int inStride = 0,
                        int outStride = 0) = 0;
    virtual int convert(double* const in[], double* const out[], int count) = 0;
    virtual const char* descriptionText() const = 0;
    virtual const char* description() const;
    virtual unsigned inputChannels() const = 0;
    virtual unsigned outputChannels() const = 0;
    virtual Signature inputSpace() const = 0;
    virtual Signature outputSpace() const = 0;

    // Names the transform this converter performs now: every successful prepare() gives a number
    // no converter of the process had before, and a failed one gives 0 (no usable transform).
    // What is worked out from a converter's conversions may be kept under this number.
    std::uint64_t preparation() const { return preparation_; }

protected:
    // For prepare(): the transform is ready (or, with false, unusable).
    void setPrepared(bool ready);

private:
    std::uint64_t preparation_ = 0;
};
