#pragma once

// A device-to-PCS converter for the search tests: each pixel's output is a function of its four
// device values (16-bit units) and its place in the call, and every call is recorded.

#include "csColorConverter.h"

#include <functional>
#include <vector>

class FunctionConverter : public csColorConverter {
public:
    using Function = std::function<void(const double device[4], double pcs[3], int pixel)>;
    explicit FunctionConverter(Function function) : function_(std::move(function)) {
        setPrepared(true);
    }

    int prepare() override {
        setPrepared(true);
        return 0;
    }
    int convert(std::uint16_t*, std::uint16_t*, int, int, int) override { return 1; }
    int convert(std::uint16_t* const[], std::uint16_t* const[], int) override { return 1; }
    int convert(double* const[], double* const[], int) override { return 1; }
    int convert(double* in, double* out, int count, int inStride, int outStride) override {
        const int inStep = inStride == 0 ? 4 : inStride, outStep = outStride == 0 ? 3 : outStride;
        calls.emplace_back();
        for (int i = 0; i < count; ++i) {
            calls.back().emplace_back(in + i * inStep, in + i * inStep + 4);
            function_(in + i * inStep, out + i * outStep, i);
        }
        return 0;
    }
    const char* descriptionText() const override { return "test"; }
    unsigned inputChannels() const override { return 4; }
    unsigned outputChannels() const override { return 3; }
    Signature inputSpace() const override { return Signature("CMYK"); }
    Signature outputSpace() const override { return Signature("Lab "); }

    // Per call, the device values of each pixel.
    std::vector<std::vector<std::vector<double>>> calls;

private:
    Function function_;
};

// Lab16 (version 4) of L*, a*, b*.
inline void encodeLab(double L, double a, double b, double pcs[3]) {
    pcs[0] = L * 655.35;
    pcs[1] = (a + 128) * 257;
    pcs[2] = (b + 128) * 257;
}
