#include "csCIECAM02.h"

#include "csCIEConstants.h"
#include "csProcessor.h"
#include "csTypes.h"

#include <algorithm>
#include <cmath>

namespace {

using Matrix = double[3][3];

constexpr Matrix hpeInverse = {{1.910196834052035, -1.112123892787875, 0.2019079567674994},
                               {0.37095008824868864, 0.6290542573926132, -0.00000805514218435915},
                               {0, 0, 1}};

using csCIE::pi;

void multiply(const Matrix& m, const double in[3], double out[3]) {
    for (int r = 0; r < 3; ++r)
        out[r] = m[r][0] * in[0] + m[r][1] * in[1] + m[r][2] * in[2];
}

// The chroma scale (1.64 - 0.29^n)^0.73 that C and its inverse share.
double chromaScale(double n) { return std::pow(1.64 - std::pow(0.29, n), 0.73); }

} // namespace

csCIECAM02::csCIECAM02()
    : LA_(100), Xw_(100), Yw_(100), Zw_(100), Yb_(20), surround_(2), c_(0.69), Nc_(1.0), F_(1.0) {
    recompute();
}

void csCIECAM02::setAdaptingLuminance(double LA) {
    LA_ = LA > 0 ? LA : 0;
    recompute();
}

void csCIECAM02::setBackground(double Yb) {
    Yb_ = Yb > 0 ? Yb : 0;
    recompute();
}

void csCIECAM02::setWhite(double X, double Y, double Z) {
    Xw_ = X > 0 ? X : 0;
    Yw_ = Y > 0 ? Y : 0;
    Zw_ = Z > 0 ? Z : 0;
    recompute();
}

void csCIECAM02::setSurround(double s) {
    s = std::clamp(s, 0.0, 2.0);
    surround_ = s;
    if (s < 1) {
        c_ = 0.525 * (1 - s) + 0.59 * s;
        Nc_ = F_ = 0.8 * (1 - s) + 0.9 * s;
    } else {
        c_ = 0.59 * (2 - s) + 0.69 * (s - 1);
        Nc_ = F_ = (s - 1) + 0.9 * (2 - s);
    }
    recompute();
}

void csCIECAM02::setSurroundIndex(int index) {
    switch (index) {
    case 0:
        surround_ = 0;
        c_ = 0.525;
        Nc_ = F_ = 0.8;
        break;
    case 1:
        surround_ = 1;
        c_ = 0.59;
        Nc_ = F_ = 0.9;
        break;
    default:
        surround_ = 2;
        c_ = 0.69;
        Nc_ = F_ = 1.0;
        break;
    }
    recompute();
}

void csCIECAM02::recompute() {
    D_ = F_ * (1 - std::exp(-(LA_ + 42) / 92) / 3.6);
    const double k = 1 / (5 * LA_ + 1);
    const double k4 = k * k * k * k;
    FL_ = 0.2 * k4 * (5 * LA_) + 0.1 * (1 - k4) * (1 - k4) * std::cbrt(5 * LA_);
    n_ = Yb_ / Yw_;
    Nbb_ = Ncb_ = 0.725 * std::pow(1 / n_, 0.2);
    z_ = 1.48 + std::sqrt(n_);
    chromaScale_ = chromaScale(n_);

    const double white[3] = {Xw_, Yw_, Zw_};
    double rgbw[3];
    multiply(cat02_, white, rgbw);
    Rw_ = toSingle(rgbw[0]);
    Gw_ = toSingle(rgbw[1]);
    Bw_ = toSingle(rgbw[2]);
    const double cone[3] = {Rw_, Gw_, Bw_};
    for (int i = 0; i < 3; ++i)
        adaptation_[i] = 100 * D_ / cone[i] + 1 - D_;

    float a[3];
    responses(toSingle(Xw_), toSingle(Yw_), toSingle(Zw_), a);
    Aw_ = (2.0 * a[0] + a[1] + a[2] / 20.0 - 0.305) * Nbb_;
}

void csCIECAM02::responses(float X, float Y, float Z, float out[3]) const {
    const double xyz[3] = {X, Y, Z};
    double rgb[3];
    multiply(cat02_, xyz, rgb);
    double adapted[3];
    for (int i = 0; i < 3; ++i)
        adapted[i] = rgb[i] * adaptation_[i];
    double xyzc[3], rgbp[3];
    multiply(cat02Inverse_, adapted, xyzc);
    multiply(hpe_, xyzc, rgbp);
    for (int i = 0; i < 3; ++i) {
        const double t = rgbp[i] > 0 ? std::pow(FL_ * rgbp[i] / 100, 0.42) : 0.0;
        out[i] = toSingle(400 * t / (t + 27.13) + 0.1);
    }
}

void csCIECAM02::forward(float X, float Y, float Z, float* J, float* C, float* h) const {
    float ra[3];
    responses(X, Y, Z, ra);
    const auto a = toSingle(ra[0] - 12.0 * ra[1] / 11.0 + ra[2] / 11.0);
    const auto b = toSingle((double{ra[0]} + ra[1] - 2.0 * ra[2]) / 9.0);
    const double hr = std::atan2(double{b}, double{a});
    const double et = (std::cos(hr + 2) + 3.8) / 4;
    const double A = (2.0 * ra[0] + ra[1] + ra[2] / 20.0 - 0.305) * Nbb_;
    const double j = 100 * std::pow(A / Aw_, c_ * z_);
    const double t = (50000.0 / 13 * Nc_ * Ncb_ * et * std::sqrt(double{a} * a + double{b} * b)) /
                     (ra[0] + ra[1] + 1.05 * ra[2]);
    const double chroma = std::pow(t, 0.9) * std::sqrt(j / 100) * chromaScale_;
    float degrees = toSingle(hr * 180 / pi);
    if (degrees < 0)
        degrees += 360;
    *J = toSingle(j);
    *C = toSingle(chroma);
    *h = degrees;
}

void csCIECAM02::cartesian(float C, float h, float* ac, float* bc) {
    const double radians = h * pi / 180.0;
    *ac = toSingle(C * std::cos(radians));
    *bc = toSingle(C * std::sin(radians));
}

void csCIECAM02::forward(const float* xyz, int count, float* J, float* C, float* h, float* ac,
                         float* bc) const {
    for (int done = 0; done < count; done += blockColours) {
        // A block, its last vector padded with the block's first colour.
        const int n = std::min(blockColours, count - done), padded = (n + 3) / 4 * 4;
        float in[3 * blockColours], out[5][blockColours];
        std::copy(xyz + 3 * done, xyz + 3 * (done + n), in);
        for (int k = 3 * n; k < 3 * padded; ++k)
            in[k] = in[k % 3];
        const std::uint64_t settled =
            processorHasAVX2() ? forwardBlock(in, padded, out[0], out[1], out[2], out[3], out[4])
                               : 0;
        for (int i = 0; i < n; ++i) {
            if ((settled >> i & 1) == 0) {
                forward(in[3 * i], in[3 * i + 1], in[3 * i + 2], &out[0][i], &out[1][i],
                        &out[2][i]);
                cartesian(out[1][i], out[2][i], &out[3][i], &out[4][i]);
            }
            J[done + i] = out[0][i];
            C[done + i] = out[1][i];
            h[done + i] = out[2][i];
            ac[done + i] = out[3][i];
            bc[done + i] = out[4][i];
        }
    }
}

void csCIECAM02::inverse(float J, float C, float h, float* X, float* Y, float* Z) const {
    double a = 0, b = 0, p2 = 0.305, t = 0, hr = 0, et = 0;
    if (J > 0) {
        t = std::pow(C / (std::sqrt(J / 100.0) * chromaScale_), 1 / 0.9);
        hr = h / 180.0 * pi;
        et = (std::cos(hr + 2) + 3.8) / 4;
        const double A = Aw_ * std::pow(J / 100.0, 1 / (c_ * z_));
        p2 = A / Nbb_ + 0.305;
    }
    if (J > 0 && t > 0) {
        const double p1 = 50000.0 / 13 * Nc_ * Ncb_ * et / t;
        const double q = p2 * 3.05 * 460 / 1403;
        const double sine = std::sin(hr), cosine = std::cos(hr);
        if (std::abs(sine) < std::abs(cosine)) {
            const double tangent = sine / cosine;
            a = q / (p1 / cosine + 0.4782608695652174 + 4.695652173913044 * tangent);
            b = a * tangent;
        } else {
            const double cotangent = cosine / sine;
            b = q / (p1 / sine + 0.4782608695652174 * cotangent - 0.01924447612259444 +
                     4.714896650035638);
            a = b * cotangent;
        }
    }
    const double ra[3] = {(460 * p2 + 451 * a + 288 * b) / 1403,
                          (460 * p2 - 891 * a - 261 * b) / 1403,
                          (460 * p2 - 220 * a - 6300 * b) / 1403};
    double rgbp[3];
    for (int i = 0; i < 3; ++i) {
        const double x = ra[i] - 0.1;
        const double y = 27.13 * x / (400 - x);
        const double sign = y > 0 ? 1.0 : y < 0 ? -1.0 : 0.0;
        rgbp[i] = sign * (100 / FL_) * std::pow(std::abs(y), 1 / 0.42);
    }
    double xyzc[3], adapted[3], rgb[3], xyz[3];
    multiply(hpeInverse, rgbp, xyzc);
    multiply(cat02_, xyzc, adapted);
    const double cone[3] = {Rw_, Gw_, Bw_};
    for (int i = 0; i < 3; ++i)
        rgb[i] = adapted[i] / (100 * D_ / cone[i] + 1 - D_);
    multiply(cat02Inverse_, rgb, xyz);
    *X = toSingle(xyz[0]);
    *Y = toSingle(xyz[1]);
    *Z = toSingle(xyz[2]);
}
