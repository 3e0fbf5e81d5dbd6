#include "csContext.h"

#include "csAssert.h"
#include "csCIEConstants.h"
#include "csCIETables.h"
#include "csLog.h"
#include "csProcessor.h"
#include "csTypes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif
#include <string>

namespace {

using csCIE::pi;

constexpr double d55Temperature = 5503.0596;
constexpr double d75Temperature = 7504.1724;
constexpr int d55 = 17;
constexpr int d75 = 18;

// The illuminant table by identifier; null where the row is computed (D55, D75) or absent.
const csSpectralTable* illuminantTable(int id) {
    static const csSpectralTable e = [] {
        static const float ones[2] = {1.0f, 1.0f};
        return csSpectralTable{ones, 2, 300, 600};
    }();
    static const csSpectralTable* const fluorescent[] = {
        &cie::illuminantF1, &cie::illuminantF2,  &cie::illuminantF3,  &cie::illuminantF4,
        &cie::illuminantF5, &cie::illuminantF6,  &cie::illuminantF7,  &cie::illuminantF8,
        &cie::illuminantF9, &cie::illuminantF10, &cie::illuminantF11, &cie::illuminantF12};
    static const csSpectralTable* const fl3[] = {
        &cie::illuminantFL3_1,  &cie::illuminantFL3_2,  &cie::illuminantFL3_3,
        &cie::illuminantFL3_4,  &cie::illuminantFL3_5,  &cie::illuminantFL3_6,
        &cie::illuminantFL3_7,  &cie::illuminantFL3_8,  &cie::illuminantFL3_9,
        &cie::illuminantFL3_10, &cie::illuminantFL3_11, &cie::illuminantFL3_12,
        &cie::illuminantFL3_13, &cie::illuminantFL3_14, &cie::illuminantFL3_15};
    static const csSpectralTable* const hp[] = {&cie::illuminantHP1, &cie::illuminantHP2,
                                                &cie::illuminantHP3, &cie::illuminantHP4,
                                                &cie::illuminantHP5};
    switch (id) {
    case 1:
        return &cie::illuminantD50;
    case 2:
        return &cie::illuminantA;
    case 3:
        return &cie::illuminantD65;
    case 16:
        return &e;
    case 19:
        return &cie::illuminantB;
    case 20:
        return &cie::illuminantC;
    default:
        break;
    }
    if (id >= 4 && id <= 15)
        return fluorescent[id - 4];
    if (id >= 21 && id <= 35)
        return fl3[id - 21];
    if (id >= 36 && id <= 40)
        return hp[id - 36];
    return nullptr;
}

// The illuminant name of an identifier; empty for one that has none.
std::string illuminantName(int id) {
    static const char* const named[] = {nullptr, "D50", "A", "D65"};
    char text[16] = "";
    if (id >= 1 && id <= 3)
        std::snprintf(text, sizeof text, "%s", named[id]);
    else if (id >= 4 && id <= 15)
        std::snprintf(text, sizeof text, "F%d", id - 3);
    else if (id == 16)
        std::snprintf(text, sizeof text, "E");
    else if (id == d55)
        std::snprintf(text, sizeof text, "D55");
    else if (id == d75)
        std::snprintf(text, sizeof text, "D75");
    else if (id == 19)
        std::snprintf(text, sizeof text, "B");
    else if (id == 20)
        std::snprintf(text, sizeof text, "C");
    else if (id >= 21 && id <= 35)
        std::snprintf(text, sizeof text, "FL3.%d", id - 20);
    else if (id >= 36 && id <= 40)
        std::snprintf(text, sizeof text, "HP%d", id - 35);
    return text;
}

constexpr int lastIlluminant = 40;

// Published white points (Y = 100) that replace the computed X and Z.
struct TabulatedWhite {
    int id;
    double X2, Z2, X10, Z10;
};
constexpr TabulatedWhite tabulatedWhites[] = {
    {1, 96.422, 82.521, 96.72, 81.427},     {2, 109.85, 35.585, 111.144, 35.2},
    {3, 95.047, 108.883, 94.811, 107.304},  {5, 99.186, 67.393, 103.279, 69.027},
    {10, 95.041, 108.747, 95.792, 107.686}, {14, 100.962, 64.35, 103.863, 65.607},
    {17, 95.682, 92.149, 95.799, 90.926},   {18, 94.972, 122.638, 94.416, 120.641},
    {20, 98.074, 118.232, 97.285, 116.145},
};

float inverseF(float f) { return toSingle(csCIE::labFInverse(f)); }

float forwardF(double ratio) { return toSingle(csCIE::labF(ratio)); }

#if defined(__x86_64__) || defined(__i386__)

#define TINTORA_AVX2 __attribute__((target("avx2"), always_inline)) inline

TINTORA_AVX2 __m256d single(__m256d v) { return _mm256_cvtps_pd(_mm256_cvtpd_ps(v)); }

// inverseF of four values.
TINTORA_AVX2 __m256d inverseFFour(__m256d f) {
    const __m256d cube = _mm256_mul_pd(_mm256_mul_pd(f, f), f);
    const __m256d line = _mm256_div_pd(_mm256_sub_pd(f, _mm256_set1_pd(csCIE::offset)),
                                       _mm256_set1_pd(csCIE::slope));
    return single(_mm256_blendv_pd(
        line, cube, _mm256_cmp_pd(cube, _mm256_set1_pd(csCIE::epsilon), _CMP_GT_OQ)));
}

// labToXYZ of four colours at a time, on processors with AVX2, with the same operations (no fused
// multiply-adds): returns how many it converted (a multiple of 4).
__attribute__((target("avx2"))) int labToXYZFour(const float* lab, float* xyz, int count,
                                                 const double* white) {
    int i = 0;
    for (; i + 4 <= count; i += 4, lab += 12, xyz += 12) {
        __m256d v[3];
        for (int k = 0; k < 3; ++k)
            v[k] = _mm256_cvtps_pd(_mm_setr_ps(lab[k], lab[3 + k], lab[6 + k], lab[9 + k]));
        const __m256d fy =
            single(_mm256_div_pd(_mm256_add_pd(v[0], _mm256_set1_pd(16.0)), _mm256_set1_pd(116.0)));
        const __m256d fx = single(_mm256_add_pd(fy, _mm256_div_pd(v[1], _mm256_set1_pd(500.0))));
        const __m256d fz = single(_mm256_sub_pd(fy, _mm256_div_pd(v[2], _mm256_set1_pd(200.0))));
        const __m256d f[3] = {fx, fy, fz};
        for (int k = 0; k < 3; ++k) {
            alignas(16) float out[4];
            _mm_store_ps(
                out, _mm256_cvtpd_ps(_mm256_mul_pd(inverseFFour(f[k]), _mm256_set1_pd(white[k]))));
            for (int j = 0; j < 4; ++j)
                xyz[3 * j + k] = out[j];
        }
    }
    return i;
}

#else

int labToXYZFour(const float*, float*, int, const double*) { return 0; }

#endif

} // namespace

csContext::csContext() {
    setObserver(0);
    setIlluminant(1);
}

csContext::csContext(int illuminant, int observer) {
    setObserver(observer);
    setIlluminant(illuminant);
}

csContext::csContext(const csSpectrum& illuminant, int observer)
    : illuminant_(0), start_(illuminant.start()), end_(illuminant.end()), step_(illuminant.step()) {
    setObserver(observer);
    setIlluminantSpectrum(illuminant);
}

std::optional<csSpectrum> csContext::tableOnGrid(const float* values, unsigned count,
                                                 unsigned start, unsigned step) const {
    return csSpectrum(values, count, start, step).resampled(gridCount(), start_, step_);
}

void csContext::setObserver(int kind) {
    // "DEV" is our deviation observer: how far the CIE 1964 10 degree observer deviates from the
    // CIE 1931 2 degree one (x10 - x and so on), at 5 nm from 380 to 780 nm; largest |value| 0.33.
    observer_ = kind;
    const csSpectralTable* tables[3];
    if (kind == 1) {
        tables[0] = &cie::cie1964X, tables[1] = &cie::cie1964Y, tables[2] = &cie::cie1964Z;
    } else if (kind == 2) {
        tables[0] = &cie::deviationX, tables[1] = &cie::deviationY, tables[2] = &cie::deviationZ;
    } else {
        tables[0] = &cie::cie1931X, tables[1] = &cie::cie1931Y, tables[2] = &cie::cie1931Z;
    }
    for (int axis = 0; axis < 3; ++axis)
        observerFunctions_[axis] = tableOnGrid(tables[axis]->values, tables[axis]->count,
                                               tables[axis]->start, tables[axis]->step);
    update();
}

int csContext::setObserverByName(const char* name) {
    if (name == nullptr || *name == '\0') {
        logError("no observer", "no observer given");
        return -1;
    }
    if (std::strcmp(name, "2") == 0)
        setObserver(0);
    else if (std::strcmp(name, "10") == 0)
        setObserver(1);
    else if (std::strcmp(name, "DEV") == 0)
        setObserver(2);
    else {
        logError("unknown observer", "unknown observer '%s', only '2', '10', 'DEV' are supported",
                 name);
        return -1;
    }
    return 0;
}

void csContext::setIlluminant(int id) {
    if (id == d55 || id == d75) {
        // The daylight update runs with identifier 0, so these two get computed white points.
        setDaylight(id == d55 ? d55Temperature : d75Temperature);
        illuminant_ = id;
        return;
    }
    illuminant_ = id;
    if (const csSpectralTable* table = illuminantTable(id)) {
        setIlluminantSpectrum(csSpectrum(table->values, table->count, table->start, table->step));
    } else if (illuminantSpectrum_) {
        const csSpectrum current = *illuminantSpectrum_;
        setIlluminantSpectrum(current);
    } else {
        const csSpectralTable& d50 = cie::illuminantD50;
        setIlluminantSpectrum(csSpectrum(d50.values, d50.count, d50.start, d50.step));
    }
}

int csContext::setIlluminantByName(const char* name) {
    if (name == nullptr || *name == '\0') {
        logError("no illuminant", "no illuminant given");
        return -1;
    }
    for (int id = 1; id <= lastIlluminant; ++id) {
        if (illuminantName(id) == name) {
            setIlluminant(id);
            return 0;
        }
    }
    float temperature = 0;
    if (name[0] == 'D') {
        std::sscanf(name, "D%f", &temperature);
        if (temperature < 4000 || temperature > 25000) {
            logError("unsupported daylight",
                     "unsupported daylight '%s', legal range is 4000..25000 K", name);
            return -1;
        }
        setDaylight(temperature);
        return 0;
    }
    if (name[0] == 'K') {
        std::sscanf(name, "K%f", &temperature);
        if (temperature <= 0) {
            logError("illegal temperature", "illegal temperature '%s', must be positive!", name);
            return -1;
        }
        setBlackbody(temperature);
        return 0;
    }
    logError("unknown illuminant", "unknown illuminant '%s'", name);
    return -1;
}

void csContext::setIlluminantSpectrum(const csSpectrum& spectrum) {
    illuminantSpectrum_ = spectrum.resampled(gridCount(), start_, step_);
    update();
}

void csContext::setDaylight(double tc) {
    CS_ASSERT(tc >= 4000. && tc <= 25000.);
    const double t2 = tc * tc, t3 = t2 * tc;
    const double xD = tc < 7000 ? -4.607e9 / t3 + 2.9678e6 / t2 + 99.11 / tc + 0.244063
                                : -2.0064e9 / t3 + 1.9018e6 / t2 + 247.48 / tc + 0.23704;
    const double yD = -3.0 * xD * xD + 2.87 * xD - 0.275;
    const double M = 0.0241 + 0.2562 * xD - 0.7341 * yD;
    const double M1 = (-1.3515 - 1.7703 * xD + 5.9114 * yD) / M;
    const double M2 = (0.03 - 31.4424 * xD + 30.0717 * yD) / M;

    const csSpectralTable &s0 = cie::daylightS0, &s1 = cie::daylightS1, &s2 = cie::daylightS2;
    csSpectrum daylight(nullptr, s0.count, s0.start, s0.step);
    for (unsigned k = 0; k < s0.count; ++k)
        daylight[k] = toSingle(s0.values[k] + M1 * s1.values[k] + M2 * s2.values[k]);
    illuminant_ = 0;
    setIlluminantSpectrum(daylight);
}

void csContext::setBlackbody(double tc) {
    CS_ASSERT(tc >= 0.);
    illuminant_ = 0;
    setIlluminantSpectrum(csSpectrum::blackbody(tc, gridCount(), start_, step_));
}

void csContext::rebuildOnGrid() {
    setObserver(observer_);
    setIlluminant(illuminant_);
}

void csContext::setStart(unsigned start) {
    if (start != start_) {
        start_ = start;
        rebuildOnGrid();
    }
}

void csContext::setEnd(unsigned end) {
    if (end != end_) {
        end_ = end;
        rebuildOnGrid();
    }
}

void csContext::setStep(unsigned step) {
    if (step != step_) {
        step_ = step;
        rebuildOnGrid();
    }
}

void csContext::setRange(unsigned start, unsigned end, unsigned step) {
    if (start != start_ || end != end_ || step != step_) {
        start_ = start;
        end_ = end;
        step_ = step;
        rebuildOnGrid();
    }
}

void csContext::extendRange(unsigned start, unsigned end, unsigned step) {
    if (start_ <= start && end_ >= end && step_ <= step)
        return;
    start_ = std::min(start_, start);
    end_ = std::max(end_, end);
    step_ = std::min(step_, step);
    rebuildOnGrid();
}

const csSpectrum* csContext::observerFunction(int axis) const {
    return observerFunctions_[axis] ? &*observerFunctions_[axis] : nullptr;
}

const csSpectrum* csContext::weightedFunction(int axis) const {
    return weighted_[axis] ? &*weighted_[axis] : nullptr;
}

const csSpectrum* csContext::illuminantSpectrum() const {
    return illuminantSpectrum_ ? &*illuminantSpectrum_ : nullptr;
}

void csContext::update() {
    if (!illuminantSpectrum_ || !observerFunctions_[0] || !observerFunctions_[1] ||
        !observerFunctions_[2]) {
        white_[0] = white_[1] = white_[2] = 1;
        cam_.setWhite(1, 1, 1);
        return;
    }
    double raw[3];
    for (int axis = 0; axis < 3; ++axis)
        raw[axis] = csSpectrum::integrate(*illuminantSpectrum_, *observerFunctions_[axis]);
    const double kY = 100.0 / raw[1];
    double k[3] = {kY, kY, kY};
    if (observer_ == 0 || observer_ == 1) {
        for (const TabulatedWhite& row : tabulatedWhites) {
            if (row.id == illuminant_) {
                k[0] = (observer_ == 0 ? row.X2 : row.X10) / raw[0];
                k[2] = (observer_ == 0 ? row.Z2 : row.Z10) / raw[2];
            }
        }
    }
    const float ones[2] = {1.0f, 1.0f};
    const csSpectrum flat = csSpectrum(ones, 2, 0, 1000).resampled(gridCount(), start_, step_);
    for (int axis = 0; axis < 3; ++axis) {
        csSpectrum weighted = *illuminantSpectrum_ * *observerFunctions_[axis];
        weighted *= k[axis];
        white_[axis] = csSpectrum::integrate(flat, weighted);
        weighted_[axis] = std::move(weighted);
    }
    cam_.setWhite(white_[0], white_[1], white_[2]);
}

void csContext::whiteChromaticity(double* x, double* y) const {
    const double sum = white_[0] + white_[1] + white_[2];
    *x = sum == 0 ? 1.0 / 3 : white_[0] / sum;
    *y = sum == 0 ? 1.0 / 3 : white_[1] / sum;
}

void csContext::whiteUV(double* u, double* v) const {
    const double denominator = white_[0] + 15 * white_[1] + 3 * white_[2];
    *u = denominator == 0 ? 1.0 / 3 : 4 * white_[0] / denominator;
    *v = denominator == 0 ? 1.0 / 3 : 9 * white_[1] / denominator;
}

void csContext::labToXYZ(float L, float a, float b, float* X, float* Y, float* Z) const {
    const auto fy = toSingle((L + 16.0) / 116.0);
    const auto fx = toSingle(fy + a / 500.0);
    const auto fz = toSingle(fy - b / 200.0);
    *X = toSingle(inverseF(fx) * white_[0]);
    *Y = toSingle(inverseF(fy) * white_[1]);
    *Z = toSingle(inverseF(fz) * white_[2]);
}

void csContext::labToXYZ(const float* lab, float* xyz, int count) const {
    const int done = processorHasAVX2() ? labToXYZFour(lab, xyz, count, white_) : 0;
    lab += 3 * done;
    xyz += 3 * done;
    for (int i = done; i < count; ++i, lab += 3, xyz += 3)
        labToXYZ(lab[0], lab[1], lab[2], &xyz[0], &xyz[1], &xyz[2]);
}

void csContext::xyzToLab(float X, float Y, float Z, float* L, float* a, float* b) const {
    const float fx = forwardF(X / white_[0]);
    const float fy = forwardF(Y / white_[1]);
    const float fz = forwardF(Z / white_[2]);
    *L = toSingle(116.0 * fy - 16.0);
    *a = toSingle(500.0 * (double{fx} - fy));
    *b = toSingle(200.0 * (double{fy} - fz));
}

void csContext::xyzToLab(const float* xyz, float* lab, int count) const {
    for (int i = 0; i < count; ++i, xyz += 3, lab += 3)
        xyzToLab(xyz[0], xyz[1], xyz[2], &lab[0], &lab[1], &lab[2]);
}

void csContext::xyzToLuv(float X, float Y, float Z, float* L, float* u, float* v) const {
    const double lightness = 116.0 * forwardF(Y / white_[1]) - 16.0;
    double uw, vw;
    whiteUV(&uw, &vw);
    const double denominator = double{X} + 15.0 * Y + 3.0 * Z;
    // Black has no chromaticity; with L* = 0 its u* and v* are 0 whatever is taken.
    const double up = denominator == 0 ? uw : 4.0 * X / denominator;
    const double vp = denominator == 0 ? vw : 9.0 * Y / denominator;
    *L = toSingle(lightness);
    *u = toSingle(13.0 * lightness * (up - uw));
    *v = toSingle(13.0 * lightness * (vp - vw));
}

void csContext::spectrumToXYZ(const csSpectrum& reflectance, double* X, double* Y, double* Z,
                              bool weighted) const {
    double* out[3] = {X, Y, Z};
    for (int axis = 0; axis < 3; ++axis) {
        const std::optional<csSpectrum>& function =
            weighted ? weighted_[axis] : observerFunctions_[axis];
        *out[axis] = function ? csSpectrum::integrate(reflectance, *function) : 0.0;
    }
}

void csContext::spectrumToLab(const csSpectrum& reflectance, float* L, float* a, float* b) const {
    double X, Y, Z;
    spectrumToXYZ(reflectance, &X, &Y, &Z);
    xyzToLab(toSingle(X), toSingle(Y), toSingle(Z), L, a, b);
}

void csContext::spectrumToLuv(const csSpectrum& reflectance, float* L, float* u, float* v) const {
    double X, Y, Z;
    spectrumToXYZ(reflectance, &X, &Y, &Z);
    xyzToLuv(toSingle(X), toSingle(Y), toSingle(Z), L, u, v);
}

void csContext::XYZToJCh(float X, float Y, float Z, float* J, float* C, float* h) const {
    cam_.forward(X, Y, Z, J, C, h);
}

void csContext::JChToXYZ(float J, float C, float h, float* X, float* Y, float* Z) const {
    cam_.inverse(J, C, h, X, Y, Z);
}

void csContext::labToJab(float L, float a, float b, float* J, float* ac, float* bc, float* C,
                         float* h) const {
    float X, Y, Z, j, chroma, hue, cartesian[2];
    labToXYZ(L, a, b, &X, &Y, &Z);
    XYZToJCh(X, Y, Z, &j, &chroma, &hue);
    csCIECAM02::cartesian(chroma, hue, &cartesian[0], &cartesian[1]);
    if (J != nullptr)
        *J = j;
    if (ac != nullptr)
        *ac = cartesian[0];
    if (bc != nullptr)
        *bc = cartesian[1];
    if (C != nullptr)
        *C = chroma;
    if (h != nullptr)
        *h = hue;
}

void csContext::labToJab(const float* lab, int count, float* jab, float* C) const {
    // In parts of a fixed size, so that nothing is allocated.
    constexpr int part = 64;
    float xyz[3 * part], J[part], chroma[part], h[part], ac[part], bc[part];
    for (int done = 0; done < count; done += part) {
        const int n = std::min(part, count - done);
        labToXYZ(lab + 3 * done, xyz, n);
        cam_.forward(xyz, n, J, chroma, h, ac, bc);
        for (int i = 0; i < n; ++i) {
            float* out = jab + 3 * (done + i);
            out[0] = J[i];
            out[1] = ac[i];
            out[2] = bc[i];
            C[done + i] = chroma[i];
        }
    }
}

void csContext::jabToLab(float J, float ac, float bc, float* L, float* a, float* b) const {
    const auto C = toSingle(std::sqrt(double{ac} * ac + double{bc} * bc));
    const auto h = toSingle(std::atan2(double{bc}, double{ac}) * 180.0 / pi);
    float X, Y, Z;
    JChToXYZ(J, C, h, &X, &Y, &Z);
    xyzToLab(X, Y, Z, L, a, b);
}
