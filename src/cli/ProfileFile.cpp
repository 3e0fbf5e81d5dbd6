#include "ProfileFile.h"

#include "csICCProfile.h"
#include "csICCProfileConverter.h"
#include "csLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

void writeLog(std::ostream& errors) {
    static const char letters[] = "DIWEF";
    constexpr int warning = 2;
    for (unsigned i = 0; i < logCount(); ++i)
        if (logLevel(i) >= warning)
            errors << letters[logLevel(i)] << " '" << logTitle(i) << "'\n" << logMessage(i) << "\n";
}

int readProfileFile(const std::string& path, csICCProfile& profile, std::ostream& errors) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        errors << "tintora-cli: cannot open '" << path << "': " << std::strerror(errno) << "\n";
        return -1;
    }
    const int result = profile.setProfile(file);
    std::fclose(file);
    if (result != 0) {
        errors << "tintora-cli: '" << path << "' is not a profile that can be read\n";
        writeLog(errors);
        return -1;
    }
    return 0;
}

ProfileBinding bindProfileForCommand(const std::string& path, int intent, std::ostream& errors) {
    clearLog();
    ProfileBinding binding = bindProfileFile(path, true, intent);
    if (!binding.bound()) {
        errors << binding.refusal->message() << "\n";
        if (binding.logExplains())
            writeLog(errors);
    }
    clearLog();
    return binding;
}
