#pragma once

#include <array>

// A 3x3 matrix of single-precision entries.
class csMatrix3x3 {
public:
    using Row = std::array<float, 3>;

    // The zero matrix.
    csMatrix3x3() = default;
    // From nine values in row order.
    csMatrix3x3(float m00, float m01, float m02, float m10, float m11, float m12, float m20,
                float m21, float m22);
    csMatrix3x3(const Row& row0, const Row& row1, const Row& row2);
    explicit csMatrix3x3(const float values[3][3]);

    float& operator()(int row, int column) { return rows_[row][column]; }
    float operator()(int row, int column) const { return rows_[row][column]; }
    const Row& row(int index) const { return rows_[index]; }

    // The determinant, in double precision from the single-precision entries.
    double determinant() const;
    // Writes the inverse into result and returns 0; for a singular matrix returns -1 with an
    // error entry in the log and leaves result untouched.
    int invert(csMatrix3x3& result) const;

private:
    std::array<Row, 3> rows_{};
};
