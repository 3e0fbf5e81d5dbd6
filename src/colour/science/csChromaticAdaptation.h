#pragma once

// Bradford chromatic adaptation: XYZ seen under one white to the corresponding XYZ under another.
// The XYZ values go to the Bradford cone responses, each response is scaled by the ratio of the
// two whites' responses, and the result goes back; all in double precision.
class csChromaticAdaptation {
public:
    // The Bradford cone response matrix.
    static const double bradford[3][3];

    // Whites in XYZ on any common scale (Y = 1 or Y = 100); equal whites give the identity.
    csChromaticAdaptation(const double sourceWhite[3], const double destinationWhite[3]);

    // xyz may be the same array as result.
    void apply(const double xyz[3], double result[3]) const;
    // The combined matrix, row by row.
    double matrix(int row, int column) const { return matrix_[row][column]; }

private:
    double matrix_[3][3];
};
