#pragma once

#include <cstdint>

// The CIECAM02 colour appearance model: lightness J, chroma C and hue angle h of an XYZ colour
// under given viewing conditions, and back. Deviations from CIE 159:2004, kept on purpose:
// the degree of adaptation uses the constant 100 where the standard has Y_w; the white in cone
// space, the post-adaptation responses, a and b, and the results are single precision; a
// non-positive cone response gives the response 0.1 instead of the mirrored one; hue angles are
// converted with the constant 3.14159265358979.
class csCIECAM02 {
public:
    // Adapting luminance 100 cd/m2, white (100, 100, 100), background 20, average surround.
    csCIECAM02();

    // Each stores its value, or 0 when the value is not greater than 0, and recomputes.
    void setAdaptingLuminance(double LA);
    void setBackground(double Yb);
    void setWhite(double X, double Y, double Z);
    // s from 0 (dark) to 2 (average), clamped; c, N_c and F are interpolated between the presets.
    void setSurround(double s);
    // 0 dark, 1 dim, 2 or any other value average.
    void setSurroundIndex(int index);

    // XYZ to J, C and h in degrees (0 to 360).
    void forward(float X, float Y, float Z, float* J, float* C, float* h) const;
    // J, C, h in degrees back to XYZ.
    void inverse(float J, float C, float h, float* X, float* Y, float* Z) const;

    // Many colours, their X, Y and Z side by side: J, C and h as forward() gives them, and a_c and
    // b_c as cartesian() gives them from C and h; each output holds count values. The same to the
    // bit as one colour at a time; on processors with AVX2, four colours go at a time.
    void forward(const float* xyz, int count, float* J, float* C, float* h, float* ac,
                 float* bc) const;
    // a_c = C cos h and b_c = C sin h, h in degrees turned into radians with the constant above,
    // rounded to single precision.
    static void cartesian(float C, float h, float* ac, float* bc);

    double adaptingLuminance() const { return LA_; }
    double background() const { return Yb_; }
    double whiteX() const { return Xw_; }
    double whiteY() const { return Yw_; }
    double whiteZ() const { return Zw_; }
    double surround() const { return surround_; }
    double c() const { return c_; }
    double Nc() const { return Nc_; }
    double F() const { return F_; }
    double D() const { return D_; }
    double FL() const { return FL_; }
    double n() const { return n_; }
    double Nbb() const { return Nbb_; }
    double Ncb() const { return Ncb_; }
    double z() const { return z_; }
    double Aw() const { return Aw_; }

private:
    // forward() and cartesian() of up to blockColours colours (a multiple of 4) with AVX2, four
    // to a vector, from approximations of the powers and the hue angle that are checked against
    // every rounding to single precision, on processors with AVX2 (0 on others): returns a mask of
    // the colours whose results it settled (bit i for colour i). The others' outputs are left
    // undefined.
    static constexpr int blockColours = 64;
    std::uint64_t forwardBlock(const float* xyz, int count, float* J, float* C, float* h, float* ac,
                               float* bc) const;
    void recompute();
    // Post-adaptation cone responses R'a, G'a, B'a of an XYZ colour.
    void responses(float X, float Y, float Z, float out[3]) const;

    double LA_;
    double Xw_, Yw_, Zw_;
    double Yb_;
    double surround_;
    double c_;
    double Nc_;
    double F_;
    double D_;
    float Rw_, Gw_, Bw_;
    double Aw_;
    double FL_;
    double n_;
    double Nbb_, Ncb_;
    double z_;
    // Derived once per viewing condition: (1.64 - 0.29^n)^0.73, and the degree of adaptation
    // to the white per cone response, 100 D / white + 1 - D.
    double chromaScale_ = 1;
    double adaptation_[3] = {1, 1, 1};

    // The CAT02 matrix, its inverse and the Hunt-Pointer-Estevez matrix.
    static constexpr double cat02_[3][3] = {
        {0.7328, 0.4296, -0.1624}, {-0.7036, 1.6975, 0.0061}, {0.0030, 0.0136, 0.9834}};
    static constexpr double cat02Inverse_[3][3] = {
        {1.096123820835514, -0.2788690002182872, 0.18274517938277304},
        {0.45436904197535916, 0.4735331543074117, 0.0720978037172291},
        {-0.009627608738429352, -0.005698031216113419, 1.0153256399545425}};
    static constexpr double hpe_[3][3] = {
        {0.38971, 0.68898, -0.07868}, {-0.22981, 1.18340, 0.04641}, {0, 0, 1}};
};
