#include "DeviceToLab.h"

#include "csColorConverter.h"
#include "csICCPCS.h"

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
    if (xyzPcs)
        csICCPCS::XYZ16toLab16(out, out, 1, 3, 3);
    lab[0] = out[0] / 655.35;
    lab[1] = out[1] / 257 - 128;
    lab[2] = out[2] / 257 - 128;
    return true;
}
