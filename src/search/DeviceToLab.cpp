#include "DeviceToLab.h"

#include "csColorConverter.h"
#include "csICCPCS.h"

#include <algorithm>
#include <limits>

bool deviceValuesAreBytes(Signature colourSpace) { return colourSpace == Signature("RGB "); }

bool deviceToLab(csColorConverter& converter, Signature colourSpace, bool xyzPcs,
                 const double device[4], double lab[3]) {
    double in[4];
    if (deviceValuesAreBytes(colourSpace)) {
        for (int c = 0; c < 3; ++c)
            in[c] = device[c] * 257.0;
        in[3] = 0;
    } else {
        for (int c = 0; c < 4; ++c)
            in[c] = device[c] * 655.35;
    }
    double out[3];
    // The pixels are four and three values wide; the converter refuses a lut that does not fit.
    if (converter.outputChannels() != 3 || converter.convert(in, out, 1, 4, 3) != 0) {
        lab[0] = lab[1] = lab[2] = std::numeric_limits<double>::quiet_NaN();
        return false;
    }
    pcsToLab(out, 1, xyzPcs);
    std::copy(out, out + 3, lab);
    return true;
}

void pcsToLab(double* pixels, int count, bool xyzPcs) {
    if (xyzPcs)
        csICCPCS::XYZ16toLab16(pixels, pixels, count, 3, 3);
    for (int p = 0; p < count; ++p, pixels += 3) {
        pixels[0] = pixels[0] / 655.35;
        pixels[1] = pixels[1] / 257 - 128;
        pixels[2] = pixels[2] / 257 - 128;
    }
}
