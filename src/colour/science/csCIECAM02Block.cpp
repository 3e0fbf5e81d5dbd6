// The appearance model's forward direction for many colours at a time (csCIECAM02::forwardBlock).
//
// Every result of the model is rounded to single precision, and the doubles before each rounding
// come from powers, an arc tangent, cosines and sines. Here these are approximated to within about
// 1e-14 (relative), without the library functions; each double before a rounding is then checked:
// when everything within 2^-40 of it (relative) rounds to the same float, the library functions'
// double, which differs from it by far less, rounds to that float too, and the result is the
// model's to the bit. A colour with any result nearer a rounding boundary than that, which happens
// for a few in ten thousand, is left to the one-at-a-time path.
//
// The approximations:
// - x^p as e^(p ln x); ln x from the exponent and the series of 2 atanh((m - 1)/(m + 1)) for the
//   mantissa m in [sqrt(1/2), sqrt(2)); e^y by powers of 2 and the Taylor series to degree 11;
// - the hue angle atan2(b, a) by octant, two halvings of the angle and the Taylor series of atan;
// - cos(h + 2) in e_t as (a cos 2 - b sin 2) / sqrt(a^2 + b^2), and a_c, b_c from a and b turned
//   by the small angle between h and the single-precision hue that the model returns.
// Only "avx2" is the target, not "fma": the steps the model shares with forward() (the matrices,
// the adaptation, a, b and A) must round as they do there.

#include "csCIECAM02.h"

#include "csCIEConstants.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

namespace {

#define TINTORA_AVX2 __attribute__((target("avx2"), always_inline)) inline

using V = __m256d;

TINTORA_AVX2 V all(double v) { return _mm256_set1_pd(v); }

TINTORA_AVX2 V select(V mask, V whenSet, V otherwise) {
    return _mm256_blendv_pd(otherwise, whenSet, mask);
}

// c[First] + c[First + 1] x + ... + c[First + Count - 1] x^(Count - 1) by Estrin's scheme, which
// keeps the chain of dependent steps short; xPow[k] is x^(2^k).
template <std::size_t First, std::size_t Count, std::size_t N>
TINTORA_AVX2 V polynomial(const std::array<double, N>& c, const V* xPow) {
    if constexpr (Count == 1) {
        return all(c[First]);
    } else {
        // The largest power of 2 below Count, and its place in xPow.
        constexpr std::size_t half = std::bit_floor(Count - 1);
        constexpr int level = std::countr_zero(half);
        return polynomial<First, half>(c, xPow) +
               xPow[level] * polynomial<First + half, Count - half>(c, xPow);
    }
}

// A polynomial's coefficients, c_k = f(k) for k = 0..N-1.
template <std::size_t N, typename F> constexpr std::array<double, N> coefficients(F f) {
    std::array<double, N> c{};
    for (std::size_t k = 0; k < N; ++k)
        c[k] = f(static_cast<double>(k));
    return c;
}

// The series of 2 atanh(s) / s in z = s^2, to z^9; of e^r to r^11; of atan(u) / u in w = u^2, to
// w^10.
constexpr auto atanhSeries = coefficients<10>([](double k) { return 2 / (2 * k + 1); });
constexpr auto exponentialSeries = coefficients<12>([](double k) {
    double factorial = 1;
    for (double i = 2; i <= k; ++i)
        factorial *= i;
    return 1 / factorial;
});
constexpr auto atanSeries = coefficients<11>(
    [](double k) { return (static_cast<long>(k) % 2 == 0 ? 1 : -1) / (2 * k + 1); });

// The natural logarithm of positive normal numbers.
TINTORA_AVX2 V logarithm(V x) {
    const __m256i bits = _mm256_castpd_si256(x);
    // The exponent as a double, through the bits of 2^52 + field.
    const V magic = all(4503599627370496.0);
    V e = _mm256_castsi256_pd(
              _mm256_or_si256(_mm256_srli_epi64(bits, 52), _mm256_castpd_si256(magic))) -
          (magic + all(1023));
    V m = _mm256_castsi256_pd(
        _mm256_or_si256(_mm256_and_si256(bits, _mm256_set1_epi64x(0x000FFFFFFFFFFFFF)),
                        _mm256_set1_epi64x(0x3FF0000000000000)));
    const V high = _mm256_cmp_pd(m, all(1.4142135623730951), _CMP_GT_OQ);
    m = select(high, m * all(0.5), m);
    e = e + _mm256_and_pd(high, all(1));
    // |s| <= 0.1716; the series' first term left out is below 1e-16 of the sum.
    const V s = (m - all(1)) / (m + all(1));
    const V z = s * s, z2 = z * z, z4 = z2 * z2, z8 = z4 * z4;
    const V zPow[4] = {z, z2, z4, z8};
    const V p = polynomial<0, atanhSeries.size()>(atanhSeries, zPow);
    // ln 2 in two parts, the first short enough for its products with exponents to be exact.
    return e * all(0.6931471803691238) + (s * p + e * all(1.9082149292705877e-10));
}

// e^y for |y| < 700.
TINTORA_AVX2 V exponential(V y) {
    const V n =
        _mm256_round_pd(y * all(1.4426950408889634), _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    const V r = (y - n * all(6.93145751953125e-1)) - n * all(1.42860682030941723212e-6);
    // |r| <= 0.3466: the Taylor series to degree 11 leaves out less than 7e-15.
    const V r2 = r * r, r4 = r2 * r2, r8 = r4 * r4;
    const V rPow[4] = {r, r2, r4, r8};
    const V p = polynomial<0, exponentialSeries.size()>(exponentialSeries, rPow);
    // 2^n from the bits of 2^52 + 1023 + n.
    const __m256i biased = _mm256_castpd_si256(n + all(4503599627370496.0 + 1023));
    return p * _mm256_castsi256_pd(_mm256_slli_epi64(biased, 52));
}

// x^p for x between 2^-1000 and 2^1000; clears the bits of `settled` whose lanes the result would
// overflow or underflow.
TINTORA_AVX2 V power(V x, double p, int* settled) {
    const V y = all(p) * logarithm(x);
    const V inRange = _mm256_cmp_pd(_mm256_andnot_pd(all(-0.0), y), all(700), _CMP_LT_OQ);
    *settled &= _mm256_movemask_pd(inRange);
    return exponential(_mm256_and_pd(inRange, y));
}

// atan2(b, a) for a and b not both zero, with r = sqrt(a^2 + b^2).
TINTORA_AVX2 V arcTangent(V b, V a, V r) {
    const V sign = all(-0.0);
    const V ax = _mm256_andnot_pd(sign, a), ay = _mm256_andnot_pd(sign, b);
    const V steep = _mm256_cmp_pd(ay, ax, _CMP_GT_OQ);
    // The angle t <= pi / 4 of the octant, halved twice: tan(t / 2) = y / (x + r), and
    // tan(t / 4) = u / (1 + sqrt(1 + u^2)) with u = tan(t / 2).
    V u = _mm256_min_pd(ax, ay) / (_mm256_max_pd(ax, ay) + r);
    u = u / (all(1) + _mm256_sqrt_pd(all(1) + u * u));
    const V w = u * u, w2 = w * w, w4 = w2 * w2, w8 = w4 * w4;
    const V wPow[4] = {w, w2, w4, w8};
    V t = all(4) * (u * polynomial<0, atanSeries.size()>(atanSeries, wPow));
    t = select(steep, all(1.5707963267948966) - t, t);
    t = select(_mm256_cmp_pd(a, _mm256_setzero_pd(), _CMP_LT_OQ), all(3.141592653589793) - t, t);
    return _mm256_or_pd(t, _mm256_and_pd(b, sign)); // the sign of b
}

// Lanes as bits, lane i in bit i.
TINTORA_AVX2 int lanes(V mask) { return _mm256_movemask_pd(mask); }

// Rounds to single precision, and clears the bits of `settled` whose lanes a value within margin
// of the double would round otherwise.
TINTORA_AVX2 __m128 rounded(V v, V margin, int* settled) {
    const __m128 low = _mm256_cvtpd_ps(v - margin), high = _mm256_cvtpd_ps(v + margin);
    *settled &= _mm_movemask_ps(_mm_cmpeq_ps(low, high));
    return _mm256_cvtpd_ps(v);
}

// Lanes with a normal number between 2^-1000 and 2^1000, whose powers are approximated here.
TINTORA_AVX2 V moderate(V x) {
    return _mm256_and_pd(_mm256_cmp_pd(x, all(0x1p-1000), _CMP_GE_OQ),
                         _mm256_cmp_pd(x, all(0x1p1000), _CMP_LE_OQ));
}

TINTORA_AVX2 void multiply(const double (&m)[3][3], const V* x, V* out) {
    for (int r = 0; r < 3; ++r)
        out[r] = all(m[r][0]) * x[0] + all(m[r][1]) * x[1] + all(m[r][2]) * x[2];
}

TINTORA_AVX2 V single(__m128 v) { return _mm256_cvtps_pd(v); }

constexpr double slack = 0x1p-40;

} // namespace

__attribute__((target("avx2"))) std::uint64_t csCIECAM02::forwardBlock(const float* xyz, int count,
                                                                       float* J, float* C, float* h,
                                                                       float* ac, float* bc) const {
    // Step by step over all the vectors: each step's vectors are independent of each other, so
    // the long chains of the powers and the arc tangent overlap instead of waiting on each other.
    constexpr int most = blockColours / 4;
    const int vectors = count / 4;
    int settled[most];
    // The post-adaptation cone responses, as responses() computes them: their powers first.
    V base[most][3];
    V positive[most][3];
    for (int n = 0; n < vectors; ++n) {
        const float* in = xyz + 12 * n;
        V values[3], rgb[3], xyzc[3], rgbp[3];
        for (int k = 0; k < 3; ++k)
            values[k] = single(_mm_setr_ps(in[k], in[3 + k], in[6 + k], in[9 + k]));
        multiply(cat02_, values, rgb);
        for (int i = 0; i < 3; ++i)
            rgb[i] = rgb[i] * all(adaptation_[i]);
        multiply(cat02Inverse_, rgb, xyzc);
        multiply(hpe_, xyzc, rgbp);
        settled[n] = 15;
        for (int i = 0; i < 3; ++i) {
            const V x = all(FL_ / 100) * rgbp[i];
            positive[n][i] = _mm256_cmp_pd(rgbp[i], _mm256_setzero_pd(), _CMP_GT_OQ);
            const V normal = moderate(x);
            settled[n] &= ~lanes(positive[n][i]) | lanes(normal);
            base[n][i] = select(normal, x, all(1));
        }
    }
    V powers[most][3];
    for (int n = 0; n < vectors; ++n)
        for (int i = 0; i < 3; ++i)
            powers[n][i] = power(base[n][i], 0.42, &settled[n]);

    // The hue angle, and the numbers J and C are powers of.
    V cosine[most], sine[most], hr[most], q[most], tc[most];
    for (int n = 0; n < vectors; ++n) {
        V ra[3];
        for (int i = 0; i < 3; ++i) {
            const V t = _mm256_and_pd(positive[n][i], powers[n][i]);
            const V v = all(400) * t / (t + all(27.13)) + all(0.1);
            ra[i] = single(rounded(v, v * all(slack), &settled[n]));
        }
        const V a =
            single(_mm256_cvtpd_ps(ra[0] - all(12.0) * ra[1] / all(11.0) + ra[2] / all(11.0)));
        const V b = single(_mm256_cvtpd_ps((ra[0] + ra[1] - all(2.0) * ra[2]) / all(9.0)));
        const V r = _mm256_sqrt_pd(a * a + b * b);
        // A colour without hue (a = b = 0) has t = 0 and is left to forward().
        const V hueless = _mm256_cmp_pd(r, _mm256_setzero_pd(), _CMP_EQ_OQ);
        const V radius = select(hueless, all(1), r), inverse = all(1) / radius;
        cosine[n] = a * inverse;
        sine[n] = b * inverse;
        hr[n] = arcTangent(select(hueless, all(1), b), a, radius);
        const V et =
            (cosine[n] * all(std::cos(2.0)) - sine[n] * all(std::sin(2.0)) + all(3.8)) * all(0.25);
        const V A = (all(2.0) * ra[0] + ra[1] + ra[2] * all(0.05) - all(0.305)) * all(Nbb_);
        // J from A / A_w and C from t, each a power of a number that must be moderate. (R'a + G'a
        // added in single precision, as forward() adds them.)
        q[n] = A * all(1 / Aw_);
        tc[n] = (all(50000.0 / 13 * Nc_ * Ncb_) * et * r) /
                (single(_mm_add_ps(_mm256_cvtpd_ps(ra[0]), _mm256_cvtpd_ps(ra[1]))) +
                 all(1.05) * ra[2]);
        const V normal = _mm256_and_pd(moderate(q[n]), moderate(tc[n]));
        settled[n] &= lanes(normal);
        q[n] = select(normal, q[n], all(1));
        tc[n] = select(normal, tc[n], all(1));
    }
    for (int n = 0; n < vectors; ++n) {
        q[n] = power(q[n], c_ * z_, &settled[n]);
        tc[n] = power(tc[n], 0.9, &settled[n]);
    }

    std::uint64_t done = 0;
    for (int n = 0; n < vectors; ++n) {
        const V j = all(100) * q[n];
        const V chroma = tc[n] * _mm256_sqrt_pd(j * all(0.01)) * all(chromaScale_);
        const V degrees = hr[n] * all(180 / csCIE::pi);
        __m128 hue =
            rounded(degrees, _mm256_andnot_pd(all(-0.0), degrees) * all(slack), &settled[n]);
        const __m128 negative = _mm_cmplt_ps(hue, _mm_setzero_ps());
        hue = _mm_blendv_ps(hue, _mm_add_ps(hue, _mm_set1_ps(360)), negative);
        const __m128 lightness = rounded(j, j * all(slack), &settled[n]);
        const __m128 colourfulness = rounded(chroma, chroma * all(slack), &settled[n]);

        // a_c and b_c: C times the cosine and sine of the returned hue in radians, which lies
        // within about 1e-6 of h (or of h + 2 pi, where 360 was added): a and b over their radius
        // turned by that difference d, with cos d = 1 - d^2 / 2 and sin d = d - d^3 / 6 (what is
        // left out is below 1e-24).
        const V radians = single(hue) * all(csCIE::pi / 180);
        const V turned = _mm256_castsi256_pd(_mm256_cvtepi32_epi64(_mm_castps_si128(negative)));
        const V d = (radians - _mm256_and_pd(turned, all(6.283185307179586))) -
                    _mm256_and_pd(turned, all(2.4492935982947064e-16)) - hr[n];
        const V cosD = all(1) - d * d * all(0.5), sinD = d - d * d * d * all(1.0 / 6);
        const V cosH = cosine[n] * cosD - sine[n] * sinD, sinH = sine[n] * cosD + cosine[n] * sinD;
        const V c = single(colourfulness);
        const __m128 x = rounded(c * cosH, c * all(slack), &settled[n]);
        const __m128 y = rounded(c * sinH, c * all(slack), &settled[n]);

        _mm_storeu_ps(J + 4 * n, lightness);
        _mm_storeu_ps(C + 4 * n, colourfulness);
        _mm_storeu_ps(h + 4 * n, hue);
        _mm_storeu_ps(ac + 4 * n, x);
        _mm_storeu_ps(bc + 4 * n, y);
        done |= static_cast<std::uint64_t>(settled[n]) << (4 * n);
    }
    return done;
}

#else

std::uint64_t csCIECAM02::forwardBlock(const float*, int, float*, float*, float*, float*,
                                       float*) const {
    return 0;
}

#endif
