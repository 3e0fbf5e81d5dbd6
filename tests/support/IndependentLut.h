#pragma once

// An independent evaluator for the tests: an "mft1" or "mft2" lut evaluated from the profile
// file's bytes in double precision (matrix on three inputs, input tables, simplex interpolation in
// the CLUT, output tables), sharing no code with the library.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

using Lab = std::array<double, 3>;

class IndependentLut {
public:
    IndependentLut(const std::vector<std::uint8_t>& file, const char* name) {
        const auto u32 = [&](std::size_t at) {
            return std::uint32_t{file[at]} << 24 | std::uint32_t{file[at + 1]} << 16 |
                   std::uint32_t{file[at + 2]} << 8 | file[at + 3];
        };
        const std::uint32_t count = u32(128);
        for (std::uint32_t i = 0; i < count; ++i)
            if (std::string(file.begin() + 132 + 12 * i, file.begin() + 136 + 12 * i) == name)
                tag_ =
                    std::vector<std::uint8_t>(file.begin() + u32(136 + 12 * i),
                                              file.begin() + u32(136 + 12 * i) + u32(140 + 12 * i));
        if (tag_.size() < 52)
            return; // no such lut: not valid()
        const std::string type(tag_.begin(), tag_.begin() + 4);
        size_ = type == "mft2" ? 2 : type == "mft1" ? 1 : 0;
        inputs_ = tag_.at(8);
        outputs_ = tag_.at(9);
        grid_ = tag_.at(10);
        for (int k = 0; k < 9; ++k) {
            const std::uint32_t raw = std::uint32_t{tag_.at(12 + 4 * k)} << 24 |
                                      std::uint32_t{tag_.at(13 + 4 * k)} << 16 |
                                      std::uint32_t{tag_.at(14 + 4 * k)} << 8 | tag_.at(15 + 4 * k);
            matrix_[k] = static_cast<std::int32_t>(raw) / 65536.0;
        }
        start_ = size_ == 2 ? 52 : 48;
        n_ = size_ == 2 ? value(48) : 256;
        m_ = size_ == 2 ? value(50) : 256;
    }
    bool valid() const { return size_ != 0; }
    bool sixteenBit() const { return size_ == 2; }

    // Values on the 16-bit scale through the whole lut.
    std::vector<double> evaluate(std::vector<double> x) const {
        if (inputs_ == 3) {
            const std::vector<double> in = x;
            for (int r = 0; r < 3; ++r)
                x[r] = matrix_[3 * r] * in[0] + matrix_[3 * r + 1] * in[1] +
                       matrix_[3 * r + 2] * in[2];
        }
        for (unsigned k = 0; k < inputs_; ++k)
            x[k] = table(start_ + size_ * n_ * k, n_, x[k]);
        const std::size_t clut = start_ + size_ * n_ * inputs_;
        std::vector<double> position(inputs_), fraction(inputs_);
        std::vector<unsigned> base(inputs_), order(inputs_);
        for (unsigned k = 0; k < inputs_; ++k) {
            position[k] = x[k] / 65535 * (grid_ - 1);
            base[k] =
                std::min<unsigned>(static_cast<unsigned>(std::max(position[k], 0.0)), grid_ - 2);
            fraction[k] = position[k] - base[k];
            order[k] = k;
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](unsigned a, unsigned b) { return fraction[a] > fraction[b]; });
        std::vector<unsigned> corner = base;
        std::vector<double> out(outputs_, 0);
        const auto addCorner = [&](double weight) {
            std::size_t index = 0;
            for (unsigned k = 0; k < inputs_; ++k)
                index = index * grid_ + corner[k];
            for (unsigned c = 0; c < outputs_; ++c)
                out[c] += weight * value(clut + size_ * (index * outputs_ + c));
        };
        addCorner(1 - fraction[order[0]]);
        for (unsigned s = 0; s < inputs_; ++s) {
            ++corner[order[s]];
            addCorner(fraction[order[s]] - (s + 1 < inputs_ ? fraction[order[s + 1]] : 0));
        }
        std::size_t clutPoints = 1;
        for (unsigned k = 0; k < inputs_; ++k)
            clutPoints *= grid_;
        const std::size_t outputTables = clut + size_ * clutPoints * outputs_;
        for (unsigned c = 0; c < outputs_; ++c)
            out[c] = table(outputTables + size_ * m_ * c, m_, out[c]);
        return out;
    }

    // Device values 0..1 of a device-to-PCS lut to L*a*b*.
    Lab lab(const std::vector<double>& device, bool xyzPcs = false) const {
        std::vector<double> in;
        for (double v : device)
            in.push_back(v * 65535);
        const std::vector<double> out = evaluate(in);
        if (xyzPcs) {
            // XYZ16: 1.0 is 32768; the D50 PCS white is 31595, 32768, 27030.5.
            const auto f = [](double r) {
                return r > 216.0 / 24389 ? std::cbrt(r) : r * 841.0 / 108 + 16.0 / 116;
            };
            const double fx = f(out[0] / 31595), fy = f(out[1] / 32768), fz = f(out[2] / 27030.5);
            return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
        }
        if (!sixteenBit()) // the 8-bit encoding widened: L* 100 and a* 127 are 65535
            return {out[0] / 655.35, out[1] / 257 - 128, out[2] / 257 - 128};
        // Legacy Lab: L* = L16 / 652.8, a* = a16 / 256 - 128.
        return {out[0] / 652.8, out[1] / 256 - 128, out[2] / 256 - 128};
    }

private:
    // One table or CLUT value at a byte offset, on the 16-bit scale.
    unsigned value(std::size_t at) const {
        return size_ == 2 ? tag_.at(at) << 8 | tag_.at(at + 1) : tag_.at(at) * 257u;
    }
    double table(std::size_t at, unsigned entries, double x) const {
        const double p = x / 65535 * (entries - 1);
        const unsigned i = std::min<unsigned>(static_cast<unsigned>(std::max(p, 0.0)), entries - 2);
        const double t = p - i;
        return (1 - t) * value(at + size_ * i) + t * value(at + size_ * (i + 1));
    }

    std::vector<std::uint8_t> tag_;
    unsigned size_ = 0, inputs_ = 0, outputs_ = 0, grid_ = 0, n_ = 0, m_ = 0;
    std::size_t start_ = 0;
    double matrix_[9] = {};
};
