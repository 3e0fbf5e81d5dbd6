#include "csChromaticAdaptation.h"

const double csChromaticAdaptation::bradford[3][3] = {
    {0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}};

namespace {

void multiply(const double m[3][3], const double v[3], double result[3]) {
    const double r[3] = {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2],
                         m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
                         m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
    result[0] = r[0], result[1] = r[1], result[2] = r[2];
}

// The inverse by cofactors; the Bradford matrix is far from singular.
void invert(const double m[3][3], double result[3][3]) {
    const double c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    const double c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
    const double c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
    const double det = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
    result[0][0] = c00 / det;
    result[1][0] = c01 / det;
    result[2][0] = c02 / det;
    result[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det;
    result[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det;
    result[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det;
    result[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det;
    result[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det;
    result[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det;
}

} // namespace

csChromaticAdaptation::csChromaticAdaptation(const double sourceWhite[3],
                                             const double destinationWhite[3]) {
    double source[3], destination[3];
    multiply(bradford, sourceWhite, source);
    multiply(bradford, destinationWhite, destination);
    double inverse[3][3];
    invert(bradford, inverse);
    // matrix = inverse x diag(destination / source) x bradford
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double sum = 0;
            for (int k = 0; k < 3; ++k)
                sum += inverse[i][k] * destination[k] / source[k] * bradford[k][j];
            matrix_[i][j] = sum;
        }
}

void csChromaticAdaptation::apply(const double xyz[3], double result[3]) const {
    multiply(matrix_, xyz, result);
}
