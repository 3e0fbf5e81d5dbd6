#pragma once

#include "Signature.h"

class csColorConverter;

// The device values of the window's fields to CIE L*a*b*, through a prepared device-to-PCS
// converter: percent (CMYK, CMY) times 655.35, or 0..255 (RGB) times 257, converted on doubles;
// an XYZ PCS is turned into Lab16 (version 4) and the Lab16 numbers are decoded.
// device holds four values; the fourth is ignored for three-channel profiles. False, with Lab
// not-a-number, when the converter cannot convert such a pixel.
bool deviceToLab(csColorConverter& converter, Signature colourSpace, bool xyzPcs,
                 const double device[4], double lab[3]);

// A converter's PCS output of count pixels (three values each: XYZ16, or Lab16 version 4) as
// L*, a*, b*, in place.
void pcsToLab(double* pixels, int count, bool xyzPcs);

// Whether device values of this colour space are in 0..255 (RGB) rather than percent.
bool deviceValuesAreBytes(Signature colourSpace);
