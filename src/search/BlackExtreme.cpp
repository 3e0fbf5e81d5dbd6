#include "BlackExtreme.h"

#include "ColourDifference.h"
#include "DeviceToLab.h"
#include "SpotSearch.h"

#include <algorithm>
#include <cmath>

namespace {

// Solves the n x n system a x = b (n at most 3) by elimination with partial pivoting; false when
// it is singular.
bool solve(double a[3][3], double b[3], int n, double x[3]) {
    for (int c = 0; c < n; ++c) {
        int pivot = c;
        for (int r = c + 1; r < n; ++r)
            if (std::abs(a[r][c]) > std::abs(a[pivot][c]))
                pivot = r;
        if (std::abs(a[pivot][c]) < 1e-12)
            return false;
        std::swap(a[c], a[pivot]);
        std::swap(b[c], b[pivot]);
        for (int r = c + 1; r < n; ++r) {
            const double f = a[r][c] / a[c][c];
            for (int k = c; k < n; ++k)
                a[r][k] -= f * a[c][k];
            b[r] -= f * b[c];
        }
    }
    for (int r = n - 1; r >= 0; --r) {
        double s = b[r];
        for (int k = r + 1; k < n; ++k)
            s -= a[r][k] * x[k];
        x[r] = s / a[r][r];
    }
    return true;
}

// The change of the free channels (least squares over L*, a*, b*) that moves the colour by
// `wanted`, from the slopes (L*, a*, b* per percent) of each channel.
bool follow(const double slopes[4][3], const int free[3], int n, const double wanted[3],
            double change[3]) {
    double a[3][3] = {}, b[3] = {};
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < 3; ++k)
                a[i][j] += slopes[free[i]][k] * slopes[free[j]][k];
        for (int k = 0; k < 3; ++k)
            b[i] += slopes[free[i]][k] * wanted[k];
    }
    return solve(a, b, n, change);
}

} // namespace

void moveBlack(csColorConverter& converter, bool xyzPcs, const csContext& context,
               const double reference[3], int method, double bound, int direction,
               const BlackRoom& room, double device[4], double achieved[3]) {
    const Signature cmyk("CMYK");
    int free[3], n = 0;
    for (int c = 0; c < 3; ++c)
        if (room.searched[c])
            free[n++] = c;
    const double held[3] = {achieved[0], achieved[1], achieved[2]}; // the colour to keep
    double step = 25;                                               // percent of black
    // The slopes of the colour at the answer, one percent into the cube per channel; they hold
    // until the answer moves.
    double slopes[4][3];
    bool sloped = false;
    for (int iteration = 0; iteration < 40 && step >= 0.01; ++iteration) {
        const double k = device[3] + direction * step;
        if ((direction < 0 && device[3] <= 0) || (direction > 0 && device[3] >= room.blackLimit))
            break;
        if (!sloped) {
            for (int c = 0; c < 4; ++c) {
                const double top = c == 3 ? room.blackLimit : 100;
                const double delta = device[c] + 1 <= top ? 1 : -1;
                double moved[4] = {device[0], device[1], device[2], device[3]}, lab[3];
                moved[c] += delta;
                deviceToLab(converter, cmyk, xyzPcs, moved, lab);
                for (int j = 0; j < 3; ++j)
                    slopes[c][j] = (lab[j] - achieved[j]) / delta;
            }
            sloped = true;
        }
        // Black's step and the free channels' change that cancels its colour change, then one
        // correction towards the kept colour from where that lands.
        double candidate[4] = {device[0], device[1], device[2],
                               std::clamp(k, 0.0, room.blackLimit)};
        const double dk = candidate[3] - device[3];
        double wanted[3], change[3] = {};
        for (int j = 0; j < 3; ++j)
            wanted[j] = -slopes[3][j] * dk;
        bool ok = n == 0 || follow(slopes, free, n, wanted, change);
        for (int i = 0; i < n && ok; ++i)
            candidate[free[i]] = std::clamp(candidate[free[i]] + change[i], 0.0, 100.0);
        double lab[3];
        if (ok) {
            deviceToLab(converter, cmyk, xyzPcs, candidate, lab);
            for (int j = 0; j < 3; ++j)
                wanted[j] = held[j] - lab[j];
            if (n > 0 && follow(slopes, free, n, wanted, change))
                for (int i = 0; i < n; ++i)
                    candidate[free[i]] = std::clamp(candidate[free[i]] + change[i], 0.0, 100.0);
            for (double& v : candidate)
                v = displayedValue(v);
            double total = 0;
            for (const double v : candidate)
                total += v;
            ok = (room.inkLimit <= 0 || total <= room.inkLimit) &&
                 deviceToLab(converter, cmyk, xyzPcs, candidate, lab) &&
                 totalDifference(method, reference, lab, context) <= bound;
        }
        if (!ok || candidate[3] == device[3]) {
            step /= 2;
            continue;
        }
        std::copy(candidate, candidate + 4, device);
        std::copy(lab, lab + 3, achieved);
        sloped = false;
    }
}
