#include "ColourInput.h"

#include "CgatsColours.h"
#include "CxfColours.h"
#include "DelimitedColours.h"
#include "NamedColourProfile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

// Libraries are text files or profiles of some megabytes at most; this keeps a wrong file (a disk
// image, say) from being read whole into memory.
constexpr std::uintmax_t largestLibrary = 256u << 20;

std::string lowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

} // namespace

InputFormat inputFormatNamed(const std::string& name) {
    if (name == "csv")
        return InputFormat::Csv;
    if (name == "tsv")
        return InputFormat::Tsv;
    if (name == "cgats")
        return InputFormat::Cgats;
    if (name == "cxf")
        return InputFormat::Cxf;
    if (name == "icc")
        return InputFormat::NamedColourProfile;
    return InputFormat::Auto;
}

InputFormat detectInputFormat(const std::string& path, std::string_view content) {
    if (content.size() >= 128 && content.substr(36, 4) == "acsp")
        return InputFormat::NamedColourProfile;
    std::string_view start = content;
    if (start.substr(0, 3) == "\xEF\xBB\xBF")
        start.remove_prefix(3);
    while (!start.empty() && std::isspace(static_cast<unsigned char>(start.front())))
        start.remove_prefix(1);
    if (!start.empty() && start.front() == '<')
        return InputFormat::Cxf;
    if (content.find("BEGIN_DATA_FORMAT") != std::string_view::npos)
        return InputFormat::Cgats;

    const std::string extension = lowerExtension(path);
    if (extension == ".icc" || extension == ".icm")
        return InputFormat::NamedColourProfile;
    if (extension == ".cxf" || extension == ".xml")
        return InputFormat::Cxf;
    if (extension == ".cgats" || extension == ".it8" || extension == ".cgt")
        return InputFormat::Cgats;
    if (extension == ".tsv" || extension == ".tab")
        return InputFormat::Tsv;
    return InputFormat::Csv;
}

ColourList readColourLibrary(const std::string& path, InputFormat format, std::istream& in) {
    const bool standardInput = path == "-";
    const std::string source = standardInput ? "<stdin>" : path;
    std::string content;
    if (standardInput) {
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else {
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            ColourList list;
            list.failure = "cannot read '" + path + "': it is a directory";
            return list;
        }
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            ColourList list;
            list.failure = "cannot open '" + path + "': " + std::strerror(errno);
            return list;
        }
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        if (!error && size > largestLibrary) {
            ColourList list;
            list.failure = "'" + path + "' is too large for a colour library (" +
                           std::to_string(size >> 20) + " MiB)";
            return list;
        }
        content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        if (file.bad()) {
            ColourList list;
            list.failure = "cannot read '" + path + "': " + std::strerror(errno);
            return list;
        }
    }

    if (format == InputFormat::Auto)
        format = detectInputFormat(standardInput ? "" : path, content);
    switch (format) {
    case InputFormat::NamedColourProfile:
        return readNamedColourProfile(reinterpret_cast<const std::uint8_t*>(content.data()),
                                      content.size(), source);
    case InputFormat::Cxf:
        return readCxfColours(content, source);
    case InputFormat::Cgats:
        return readCgatsColours(content, source);
    case InputFormat::Tsv:
        return readDelimitedColours(content, source, '\t');
    case InputFormat::Csv:
    case InputFormat::Auto:
        break;
    }
    return readDelimitedColours(content, source);
}
