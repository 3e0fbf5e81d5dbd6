#pragma once

#include <string>

class csContext;

// The figures the results rows show for an achieved colour against the reference.
struct ResultFigures {
    double L, a, b, C, h;      // achieved; h in degrees, see resultFigures
    double dL, da, db, dC, dH; // achieved minus reference; dH is never negative
    double total;              // totalDifference for the method
};

// h is atan2(b, a) in degrees, plus 360 only below -0.04, so that hues just under 0 stay as they
// are. dH = sqrt(dE^2 - dC^2 - dL^2), or 0 when rounding makes that negative.
ResultFigures resultFigures(const double reference[3], const double achieved[3], int method,
                            const csContext& context);

// A value as a field shows it with the given decimals: the exact value rounded half away from
// zero, with '.' whatever the locale; a negative value that rounds to zero keeps its sign
// ("-0.00"), negative zero has none. This is what the window's fields show (Qt's number
// formatting), so the command line and the window always print the same digits.
std::string fieldText(double value, int decimals);
// A difference as the delta fields show it: one decimal, and "0.0" instead of "-0.0".
std::string deltaText(double value);

// The colour a difference is shown in, by its size: from light green (at most 0.1) to red (above
// 5, and not a number).
struct BandColour {
    int r, g, b;
};
BandColour differenceColour(double value);

// Whether a total passes a tolerance: the total as deltaText shows it (one decimal) is at most the
// tolerance, so that a shown "2.0" passes a tolerance of 2 wherever it is shown. Not a number
// never passes.
bool withinTolerance(double total, double tolerance);
