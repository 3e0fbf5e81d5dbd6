#include "ConvertCommand.h"

#include "DeviceToLab.h"
#include "ProfileFile.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"
#include "csLog.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The numbers of one line, separated by blanks, tabs or commas; false when anything else is in
// it.
bool readNumbers(const std::string& line, std::vector<double>& numbers) {
    numbers.clear();
    const char* at = line.c_str();
    while (*at != '\0') {
        if (*at == ' ' || *at == '\t' || *at == ',' || *at == '\r') {
            ++at;
            continue;
        }
        // Whatever the locale of the process.
        const char* last = at + std::strlen(at);
        double value = 0;
        const auto [end, error] =
            std::from_chars(*at == '+' && at[1] != '-' ? at + 1 : at, last, value);
        if (error != std::errc() ||
            (*end != '\0' && *end != ' ' && *end != '\t' && *end != ',' && *end != '\r'))
            return false;
        numbers.push_back(value);
        at = end;
    }
    return true;
}

} // namespace

int runConvert(const std::string& profilePath, int intent, std::istream& in, std::ostream& out,
               std::ostream& errors) {
    // The window's binding, so that both commands take the same profiles.
    const ProfileBinding binding = bindProfileForCommand(profilePath, intent, errors);
    if (!binding.bound())
        return 1;
    csICCProfileConverter& converter = *binding.converter;
    const Signature space = binding.profile->header().colorSpace();
    const unsigned channels = binding.profile->colorSpaceChannels();

    const bool bytes = deviceValuesAreBytes(space);
    const double top = bytes ? 255.0 : 100.0;
    const bool xyzPcs = binding.profile->header().pcs() == Signature("XYZ ");
    bool skipped = false;
    std::string line;
    std::vector<double> numbers;
    for (unsigned lineNumber = 1; std::getline(in, line); ++lineNumber) {
        if (line.find_first_not_of(" \t\r,") == std::string::npos)
            continue;
        bool good = readNumbers(line, numbers) && numbers.size() == channels;
        for (double value : numbers)
            good = good && value >= 0 && value <= top;
        if (!good) {
            errors << "line " << lineNumber << ": expected " << channels << " values from 0 to "
                   << top << ", got \"" << line << "\"\n";
            skipped = true;
            continue;
        }
        double device[4] = {0, 0, 0, 0};
        for (unsigned c = 0; c < channels; ++c)
            device[c] = numbers[c];
        double lab[3];
        deviceToLab(converter, space, xyzPcs, device, lab);
        char text[96];
        std::snprintf(text, sizeof text, "%.4f %.4f %.4f\n", lab[0], lab[1], lab[2]);
        out << text;
    }
    clearLog();
    return skipped ? 1 : 0;
}
