#include "csICCparaTag.h"

#include "csICCNumbers.h"
#include "csLog.h"
#include "csTypes.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::uint32_t tableSize = 65536;
// Bytes each function type needs: the 12-byte head and 4 per parameter.
constexpr std::uint32_t neededSize[5] = {16, 24, 28, 32, 40};

void logUnsupportedType(unsigned type) {
    logError("unsupported function type",
             "function type '%u' is not supported for parametricCurveType", type);
}

double clamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

// The power piece (a x + b)^g, which the validation keeps real where it is used.
double power(double a, double b, double g, double x) {
    const double base = a * x + b;
    return base <= 0 ? 0 : g == 1 ? base : std::pow(base, g); // base to the power 1 is base
}

struct Interval {
    double low, high;
    bool empty() const { return low > high; }
};

// The x in [lo, hi] where the monotone function fc takes the value y: the smallest x whose value
// reaches y and the largest whose value does not pass it, found by halving.
template <typename Function>
Interval solveMonotone(double lo, double hi, double y, bool rising, Function fc) {
    const auto reaches = [&](double x) { return rising ? fc(x) >= y : fc(x) <= y; };
    const auto notPast = [&](double x) { return rising ? fc(x) <= y : fc(x) >= y; };
    double a = lo, b = hi;
    if (!reaches(b))
        return {1, 0};
    for (int k = 0; k < 80 && a < b; ++k) {
        const double mid = 0.5 * (a + b);
        if (mid <= a || mid >= b)
            break;
        (reaches(mid) ? b : a) = mid;
    }
    const double first = reaches(a) ? a : b;
    a = lo, b = hi;
    if (!notPast(a))
        return {1, 0};
    for (int k = 0; k < 80 && a < b; ++k) {
        const double mid = 0.5 * (a + b);
        if (mid <= a || mid >= b)
            break;
        (notPast(mid) ? a : b) = mid;
    }
    const double last = notPast(b) ? b : a;
    return {first, std::max(first, last)};
}

} // namespace

csICCparaTag::csICCparaTag(Signature signature, std::uint32_t size, const std::uint8_t* data,
                           bool buildForward, bool buildInverse)
    : csICCTag(signature, size, data) {
    const std::uint32_t parsed = parse(size, buildForward, buildInverse);
    if (parsed != size)
        logWarning("tag size mismatch",
                   "parametricCurveType: specified tag size (%d) != actual tag size (%d)",
                   static_cast<int>(size), static_cast<int>(parsed));
}

csICCparaTag::csICCparaTag(const csICCparaTag& other) : csICCTag(other) {
    parse(size(), other.forward_ != nullptr, other.inverse_ != nullptr);
    flatStart_ = other.flatStart_;
    flatEnd_ = other.flatEnd_;
}

csICCparaTag& csICCparaTag::operator=(const csICCparaTag& other) {
    if (this != &other) {
        csICCTag::operator=(other);
        forward_.reset();
        inverse_.reset();
        parse(size(), other.forward_ != nullptr, other.inverse_ != nullptr);
        flatStart_ = other.flatStart_;
        flatEnd_ = other.flatEnd_;
    }
    return *this;
}

std::uint32_t csICCparaTag::parse(std::uint32_t size, bool buildForward, bool buildInverse) {
    if (size < 12)
        return 0;
    const unsigned type = readU16(data() + 8);
    if (type > 4) {
        logUnsupportedType(type);
        return 0;
    }
    const unsigned count = (neededSize[type] - 12) / 4;
    for (unsigned k = 0; k < count && 16 + 4 * k <= size; ++k)
        parameters_[k] = toSingle(readS15Fixed16(data() + 12 + 4 * k));
    type_ = static_cast<int>(type);
    if (buildForward)
        buildForwardTable();
    if (buildInverse)
        buildInverseTable();
    return neededSize[type];
}

bool csICCparaTag::validate(const std::uint8_t* data, std::uint32_t size) {
    if (size < 12) {
        logError("corrupt tag data", "parametricCurveType of %u bytes is too short", size);
        return false;
    }
    const unsigned type = readU16(data + 8);
    if (type > 4) {
        logUnsupportedType(type);
        return false;
    }
    if (size < neededSize[type]) {
        logError("corrupt tag data", "parametricCurveType %u needs %u bytes, has %u", type,
                 neededSize[type], size);
        return false;
    }
    double p[7] = {1, 1, 0, 0, 0, 0, 0};
    for (unsigned k = 0; k < (neededSize[type] - 12) / 4; ++k)
        p[k] = toSingle(readS15Fixed16(data + 12 + 4 * k));
    const double g = p[0], a = p[1], b = p[2], c = p[3], d = p[4], f = p[6];
    if (g <= 0) {
        logError("corrupt tag data", "parametricCurveType with g = %f cannot be inverted", g);
        return false;
    }
    if ((type == 1 || type == 2) && a <= 0) {
        logError("corrupt tag data", "parametricCurveType %u with a = %f is not increasing", type,
                 a);
        return false;
    }
    if (type == 3 || type == 4) {
        const bool real = a <= 0 ? (d > 1 || a + b >= 0) : (d > 1 || b >= 0 || a * d + b >= 0);
        if (!real) {
            logError("corrupt tag data",
                     "parametricCurveType %u takes a power of a negative number (a %f, b %f, d %f)",
                     type, a, b, d);
            return false;
        }
        if (d > 0 && d <= 1) {
            const double offset = type == 4 ? p[5] : 0;
            const double atD = clamp01(power(a, b, g, d) + offset);
            const double linear = clamp01(c * d + (type == 4 ? f : 0));
            if (std::abs(atD - linear) >= PARA_EPSILON) {
                logError("corrupt tag data",
                         "parametricCurveType %u pieces do not meet at d = %f (%f and %f)", type, d,
                         atD, linear);
                return false;
            }
        }
    }
    return true;
}

std::unique_ptr<csICCparaTag> csICCparaTag::fromBlock(Signature signature, const std::uint8_t* data,
                                                      std::uint32_t limit) {
    const auto corrupt = [limit] {
        logWarning("parametricCurveType corrupt",
                   "trying to construct parametricCurveType from memory (size limit %d, "
                   "recognized %d bytes)",
                   static_cast<int>(limit), 0);
    };
    if (limit < 12) {
        corrupt();
        return nullptr;
    }
    if (Signature::read(data) != Signature("para")) {
        logError("wrong tag type", "tag type is not 'para' but'%c%c%c%c'", data[0], data[1],
                 data[2], data[3]);
        return nullptr;
    }
    if (!validate(data, limit)) {
        // An unknown function type parses to nothing: after its error, the warning for a block
        // that gave less than a type signature.
        if (readU16(data + 8) > 4)
            corrupt();
        return nullptr;
    }
    const std::uint32_t needed = neededSize[readU16(data + 8)];
    auto tag = std::make_unique<csICCparaTag>(signature, needed, data);
    logInfo("parametricCurveType constructed",
            "constructed parametricCurveType (actual size %d) from memory (size limit %d)",
            static_cast<int>(needed), static_cast<int>(limit));
    return tag;
}

double csICCparaTag::evaluate(double x) const {
    const double g = parameters_[0], a = parameters_[1], b = parameters_[2], c = parameters_[3],
                 d = parameters_[4], e = parameters_[5], f = parameters_[6];
    switch (type_) {
    case 0:
        return g == 1 ? x : std::pow(x, g); // x to the power 1 is x, exactly
    case 1:
        return x >= -b / a ? power(a, b, g, x) : 0;
    case 2:
        return x >= -b / a ? power(a, b, g, x) + c : c;
    case 3:
        return x >= d ? power(a, b, g, x) : c * x;
    case 4:
        return x >= d ? power(a, b, g, x) + e : c * x + f;
    default:
        logUnsupportedType(static_cast<unsigned>(type_));
        return 0;
    }
}

double csICCparaTag::eval_clamped(double x) const { return clamp01(evaluate(x)); }

double csICCparaTag::inverse(double y) const {
    y = clamp01(y);
    const double g = parameters_[0], a = parameters_[1];
    if (type_ == 0)
        return std::pow(y, 1.0 / g);
    const auto fc = [this](double x) { return eval_clamped(x); };
    const auto pick = [this](Interval solution) {
        return flatStart_ ? solution.low
               : flatEnd_ ? solution.high
                          : 0.5 * (solution.low + solution.high);
    };
    if (type_ == 1 || type_ == 2) {
        // Rising everywhere: below the first value the start, above the last the end.
        if (y < fc(0))
            return 0;
        if (y > fc(1))
            return 1;
        return pick(solveMonotone(0, 1, y, true, fc));
    }

    // Types 3 and 4: a linear piece below d and a power piece from d, each monotone on its own.
    const double d = std::clamp(static_cast<double>(parameters_[4]), 0.0, 1.0);
    const double c = parameters_[3];
    const double f = type_ == 4 ? parameters_[6] : 0;
    const auto linear = [&](double x) { return clamp01(c * x + f); };
    if (d > 0) {
        const double v0 = linear(0), v1 = linear(d);
        if (y >= std::min(v0, v1) && y <= std::max(v0, v1)) {
            const Interval solution = solveMonotone(0, d, y, v1 >= v0, linear);
            if (!solution.empty())
                return pick(solution);
        }
    }
    if (d < 1) {
        const double vl = fc(d), vr = fc(1);
        if (y >= std::min(vl, vr) && y <= std::max(vl, vr)) {
            const bool rising = a > 0 || vr >= vl;
            if (vl > vr && !warnedNotInjective_) {
                // Once per curve: inverting a whole table would otherwise say it 65536 times.
                logWarning("function is not injective",
                           "reason: exp. part of curve is decreasing, y=%f, tl=%f, vl=%f", y, d,
                           vl);
                warnedNotInjective_ = true;
            }
            const Interval solution = solveMonotone(d, 1, y, rising, fc);
            if (!solution.empty())
                return pick(solution);
        }
    }
    // Not reached: the piece end whose value is nearest.
    const double ends[4][2] = {
        {0, d > 0 ? linear(0) : fc(0)}, {d, d > 0 ? linear(d) : fc(0)}, {d, fc(d)}, {1, fc(1)}};
    double best = 0, distance = 2;
    for (const auto& end : ends) {
        if (std::abs(end[1] - y) < distance) {
            distance = std::abs(end[1] - y);
            best = end[0];
        }
    }
    return best;
}

// A table of a function type outside 0 to 4 holds 1 in every entry, after one error entry (not
// one per entry, which would fill the log).
bool csICCparaTag::fillUnsupported(std::unique_ptr<std::uint16_t[]>& table) const {
    if (type_ >= 0 && type_ <= 4)
        return false;
    logUnsupportedType(static_cast<unsigned>(type_));
    std::fill(table.get(), table.get() + tableSize, std::uint16_t{1});
    return true;
}

void csICCparaTag::buildForwardTable() {
    forward_ = std::make_unique<std::uint16_t[]>(tableSize);
    if (fillUnsupported(forward_))
        return;
    for (std::uint32_t i = 0; i < tableSize; ++i)
        forward_[i] = static_cast<std::uint16_t>(eval_clamped(i / 65535.0) * 65535 + 0.5);
}

void csICCparaTag::buildInverseTable() {
    inverse_ = std::make_unique<std::uint16_t[]>(tableSize);
    if (fillUnsupported(inverse_))
        return;
    for (std::uint32_t i = 0; i < tableSize; ++i)
        inverse_[i] = static_cast<std::uint16_t>(clamp01(inverse(i / 65535.0)) * 65535 + 0.5);
}

void csICCparaTag::forward(const std::uint16_t* in, std::uint16_t* out, int count, int inStride,
                           int outStride) {
    if (!forward_)
        buildForwardTable();
    const int inStep = inStride == 0 ? 1 : inStride, outStep = outStride == 0 ? 1 : outStride;
    for (int k = 0; k < count; ++k)
        out[k * outStep] = forward_[in[k * inStep]];
}

void csICCparaTag::inverse(const std::uint16_t* in, std::uint16_t* out, int count, int inStride,
                           int outStride) {
    if (!inverse_)
        buildInverseTable();
    const int inStep = inStride == 0 ? 1 : inStride, outStep = outStride == 0 ? 1 : outStride;
    for (int k = 0; k < count; ++k)
        out[k * outStep] = inverse_[in[k * inStep]];
}

void csICCparaTag::forward(const double* in, double* out, int count, int inStride,
                           int outStride) const {
    const int inStep = inStride == 0 ? 1 : inStride, outStep = outStride == 0 ? 1 : outStride;
    for (int k = 0; k < count; ++k)
        out[k * outStep] = forwardValue(in[k * inStep]);
}

double csICCparaTag::beforeRounding(double x) const {
    return evaluate(clamp01(x / 65535.0)) * 65535;
}

bool csICCparaTag::monotoneOn(double x0, double x1) const {
    const double g = parameters_[0], d = parameters_[4];
    if (!(g > 0))
        return false; // (refused when read)
    if (type_ < 3)
        return true;
    const double t0 = clamp01(x0 / 65535.0), t1 = clamp01(x1 / 65535.0);
    return t0 >= d || t1 < d; // as evaluate() compares
}

double csICCparaTag::forwardValue(double x) const {
    const double y = evaluate(clamp01(x / 65535.0));
    if (!(y >= 0 && y <= 1))
        return y < 0 ? 0 : y > 1 ? 65535 : y; // a NaN stays one
    // Truncation is the floor of these positive sums.
    return static_cast<double>(static_cast<std::int32_t>(y * 65535 + 0.5));
}

void csICCparaTag::inverse(const double* in, double* out, int count, int inStride,
                           int outStride) const {
    const int inStep = inStride == 0 ? 1 : inStride, outStep = outStride == 0 ? 1 : outStride;
    for (int k = 0; k < count; ++k) {
        const double x = inverse(clamp01(in[k * inStep] / 65535.0));
        out[k * outStep] = std::floor(clamp01(x) * 65535 + 0.5);
    }
}
