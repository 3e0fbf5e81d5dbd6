#pragma once

#include "ColourList.h"

#include <string>

// A CxF3 colour library: every Object element with a ColorCIELab (L, A, B) or ColorCIELCh (L, C, H)
// under its ColorValues, named by its Name attribute (its Id where it has none). The colour's
// ColorSpecification gives illuminant and observer (TristimulusSpec); values under anything but
// D50 and the 2 degree observer are adapted from that white to the D50 PCS white with Bradford,
// and a note says so. Values without a ColorSpecification are taken as D50, 2 degrees. Namespace
// prefixes are ignored.
ColourList readCxfColours(const std::string& content, const std::string& source);

// Lab under a white (XYZ with Y = 100) to Lab under the ICC D50 PCS white (96.42, 100, 82.49),
// through XYZ and Bradford adaptation.
void adaptLabToD50(const double white[3], const double lab[3], double result[3]);
