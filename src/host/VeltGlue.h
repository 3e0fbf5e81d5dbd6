#pragma once

#include "StyleFile.h"

#include <cstdio>
#include <string>

// The glue object behind the velt_* functions: it knows the application directory and reads
// the installation's style file once, when the first glue function is called.
class VeltGlue {
public:
    // Reads style.xml from applicationDirectory, or failing that from its Resources folder.
    // When neither can be read, reports it on errors and goes on with no style values.
    VeltGlue(const std::string& applicationDirectory, std::FILE* errors);

    const StyleFile& style() const { return style_; }
    const std::string& applicationDirectory() const { return applicationDirectory_; }

    // The one glue object of the process, created on first use with the program's data folder.
    static VeltGlue& instance();

private:
    std::string applicationDirectory_;
    StyleFile style_;
};
