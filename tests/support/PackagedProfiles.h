#pragma once

// The ICC profiles of the Debian packages that scripts/test installs (ghostscript's, colord's and
// icc-profiles-free), found below /usr/share/color/icc.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

inline std::vector<std::filesystem::path> packagedProfiles() {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator("/usr/share/color/icc", error)) {
        std::string extension = entry.path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (entry.is_regular_file() && (extension == ".icc" || extension == ".icm"))
            found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    return found;
}
