#include "csMatrix3x3.h"

#include "csLog.h"
#include "csTypes.h"

csMatrix3x3::csMatrix3x3(float m00, float m01, float m02, float m10, float m11, float m12,
                         float m20, float m21, float m22)
    : rows_{{{m00, m01, m02}, {m10, m11, m12}, {m20, m21, m22}}} {}

csMatrix3x3::csMatrix3x3(const Row& row0, const Row& row1, const Row& row2)
    : rows_{row0, row1, row2} {}

csMatrix3x3::csMatrix3x3(const float values[3][3]) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            rows_[r][c] = values[r][c];
}

namespace {

// The minor of entry (row, column): the determinant of what is left without that row and column.
double minor(const csMatrix3x3& m, int row, int column) {
    const int r0 = row == 0 ? 1 : 0;
    const int r1 = row == 2 ? 1 : 2;
    const int c0 = column == 0 ? 1 : 0;
    const int c1 = column == 2 ? 1 : 2;
    return double{m(r0, c0)} * m(r1, c1) - double{m(r0, c1)} * m(r1, c0);
}

} // namespace

double csMatrix3x3::determinant() const {
    return rows_[0][0] * minor(*this, 0, 0) - rows_[0][1] * minor(*this, 0, 1) +
           rows_[0][2] * minor(*this, 0, 2);
}

int csMatrix3x3::invert(csMatrix3x3& result) const {
    const double det = determinant();
    if (det == 0.0) {
        logError("cannot invert matrix", "determinant == 0, matrix inversion not possible");
        return -1;
    }
    const double inverseDet = 1.0 / det;
    csMatrix3x3 inverse;
    // Entry (r, c) of the inverse is the cofactor of entry (c, r), divided by the determinant.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            inverse(r, c) =
                toSingle(minor(*this, c, r) * ((r + c) % 2 == 0 ? inverseDet : -inverseDet));
    result = inverse;
    return 0;
}
