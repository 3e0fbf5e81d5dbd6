#pragma once

#include <string>
#include <string_view>
#include <vector>

// One spot colour of a library: its name, its reference L*a*b* (D50, as the window takes it) and
// where it came from ("file:line" or an element path), for messages.
struct SpotColour {
    std::string name;
    double lab[3];
    std::string origin;
};

// What a library reader makes of a file: the colours it could read, one message for each line,
// row or element it had to skip ("origin: reason"), notes to state with the results (such as a
// chromatic adaptation), and, when the file cannot be read at all, a one-line failure.
struct ColourList {
    std::vector<SpotColour> colours;
    std::vector<std::string> problems;
    std::vector<std::string> notes;
    std::string failure;

    bool failed() const { return !failure.empty(); }
    void skip(const std::string& origin, const std::string& reason) {
        problems.push_back(origin + ": " + reason);
    }
    // Checks the reference against the window's field limits (L* 0..100, a* and b* -128..128) and
    // adds it, or records why it was skipped.
    void add(const std::string& name, const double lab[3], const std::string& origin);
    // The same from L*, C*, h (degrees), converted as the window converts its LCh fields; C* must
    // be 0..184.
    void addLCh(const std::string& name, const double lch[3], const std::string& origin);
    // A row's name and the texts of its three colour fields (L, a, b or L, C, h): skipped without
    // a name or when a field is not a number, else added as above.
    void addRow(const std::string& name, const std::string* const fields[3], bool lch,
                const std::string& origin, bool decimalComma = false);
};

// The ICC D50 PCS white, Y = 100.
constexpr double pcsWhite[3] = {96.42, 100, 82.49};

// L*, C*, h (degrees) to L*, a*, b*, as the window converts its LCh fields.
void lchToLab(const double lch[3], double lab[3]);
// XYZ to L*a*b* relative to a white (both on the same scale), in double precision.
void xyzToLab(const double xyz[3], const double white[3], double lab[3]);

// A decimal number filling the whole text (blanks around it allowed). With decimalComma a single
// comma may stand for the point. No hex, no infinities, no NaN.
bool parseNumber(std::string_view text, double& value, bool decimalComma = false);

// The text without blanks (space, tab, CR) at either end.
std::string_view trimmed(std::string_view text);
