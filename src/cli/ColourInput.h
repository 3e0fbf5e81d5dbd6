#pragma once

#include "ColourList.h"

#include <istream>
#include <string>
#include <string_view>

enum class InputFormat { Auto, Csv, Tsv, Cgats, Cxf, NamedColourProfile };

// The format named on the command line ("auto", "csv", "tsv", "cgats", "cxf", "icc").
InputFormat inputFormatNamed(const std::string& name);

// What a library file is: by content first (an ICC profile header, XML, a CGATS data format),
// then by extension (.icc/.icm, .cxf/.xml, .tsv, .csv, .cgats/.it8), and CSV otherwise.
InputFormat detectInputFormat(const std::string& path, std::string_view content);

// Reads the library at path ("-" for standard input, read from in) in the given or detected format.
// A file that cannot be opened or is of no use at all comes back with its failure set.
ColourList readColourLibrary(const std::string& path, InputFormat format, std::istream& in);
