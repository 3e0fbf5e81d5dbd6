#pragma once

#include "ColourList.h"

#include <string>

// A CGATS.17 text file as measurement tools write it: keywords, a BEGIN_DATA_FORMAT ..
// END_DATA_FORMAT block naming the fields, then BEGIN_DATA .. END_DATA with one set a line. The
// name is SAMPLE_NAME, or SAMPLE_ID where there is no name; the colour is LAB_L, LAB_A, LAB_B, or
// LAB_L, LAB_C, LAB_H. "#" starts a comment outside quotes. Every data block of the file is read.
ColourList readCgatsColours(const std::string& content, const std::string& source);
