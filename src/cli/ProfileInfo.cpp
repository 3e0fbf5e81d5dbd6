#include "ProfileInfo.h"

#include "ProfileFile.h"
#include "csICCProfile.h"
#include "csICCTag.h"
#include "csICCdescTag.h"
#include "csICCmlucTag.h"
#include "csLog.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <sstream>

namespace {

// A signature as its four characters when they are printable, else as a hexadecimal number.
std::string signatureText(Signature signature) {
    const std::string text = signature.text();
    for (char c : text) {
        if (!std::isprint(static_cast<unsigned char>(c))) {
            std::ostringstream hex;
            hex << "0x" << std::hex << std::setw(8) << std::setfill('0')
                << (static_cast<unsigned>(static_cast<unsigned char>(text[0])) << 24 |
                    static_cast<unsigned>(static_cast<unsigned char>(text[1])) << 16 |
                    static_cast<unsigned>(static_cast<unsigned char>(text[2])) << 8 |
                    static_cast<unsigned>(static_cast<unsigned char>(text[3])));
            return hex.str();
        }
    }
    return text;
}

std::string hex(std::uint64_t value, int digits) {
    std::ostringstream out;
    out << "0x" << std::hex << std::setw(digits) << std::setfill('0') << value;
    return out.str();
}

std::string utf8(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    while (!out.empty() && out.back() == '\0')
        out.pop_back();
    return out;
}

const char* className(Signature deviceClass) {
    static const std::pair<const char*, const char*> names[] = {
        {"scnr", "input"},       {"mntr", "display"},      {"prtr", "output"},
        {"link", "device link"}, {"spac", "colour space"}, {"abst", "abstract"},
        {"nmcl", "named colour"}};
    for (const auto& [code, name] : names) {
        if (deviceClass.text() == code)
            return name;
    }
    return "unknown";
}

int highestValidLevel(const csICCProfile& profile) {
    int level = -1;
    while (level < 3 && profile.isValid(level + 1))
        ++level;
    return level;
}

struct TagRow {
    unsigned index;
    std::string signature, type;
    std::uint32_t offset, size;
    int sharedWith; // index of the first entry with the same offset, -1 when none
    bool corrupt;   // kept by the library without its data
};

// The tag table as it stands in the file. The library has checked every entry while reading.
std::vector<TagRow> tagRows(const csICCProfile& profile, const std::string& path) {
    std::vector<TagRow> rows;
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    if (bytes.size() < 132)
        return rows;
    const std::uint32_t count = readU32(bytes.data() + 128);
    for (unsigned i = 0; i < count && i < profile.numTags() && 144 + 12 * i <= bytes.size(); ++i) {
        const std::uint8_t* entry = bytes.data() + 132 + 12 * i;
        const csICCTag* tag = profile.tagAt(i);
        const std::uint32_t offset = readU32(entry + 4);
        // A tag kept without data was corrupt; its type is still in the file.
        const bool corrupt = tag->data() == nullptr;
        std::string type = "----";
        if (!corrupt && tag->size() >= 4)
            type = signatureText(tag->typeSignature());
        else if (corrupt && std::uint64_t{offset} + 4 <= bytes.size())
            type = signatureText(Signature::read(bytes.data() + offset));
        TagRow row{
            i,      signatureText(Signature::read(entry)), type, offset, readU32(entry + 8), -1,
            corrupt};
        for (const TagRow& earlier : rows) {
            if (earlier.offset == row.offset) {
                row.sharedWith = static_cast<int>(earlier.index);
                break;
            }
        }
        rows.push_back(row);
    }
    return rows;
}

std::string dateText(const csDateTimeNumber& d) {
    char text[48];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", d.year, d.month, d.day,
                  d.hour, d.minute, d.second);
    return text;
}

std::string idText(const csICCProfileHeader& header) {
    std::uint8_t id[16];
    header.profileID(id);
    std::ostringstream out;
    for (std::uint8_t byte : id)
        out << std::hex << std::setw(2) << std::setfill('0') << unsigned{byte};
    return out.str();
}

} // namespace

const char* intentName(std::uint32_t intent) {
    static const char* const names[] = {"perceptual", "relative colorimetric", "saturation",
                                        "absolute colorimetric"};
    return intent < 4 ? names[intent] : "unknown";
}

std::string profileDescription(const csICCProfile& profile) {
    const csICCTag* tag = profile.findTag(Signature("desc"));
    if (const auto* desc = dynamic_cast<const csICCdescTag*>(tag))
        return desc->asciiText();
    if (const auto* mluc = dynamic_cast<const csICCmlucTag*>(tag)) {
        if (mluc->numberOfRecords() > 0)
            return utf8(mluc->text(0));
    }
    return {};
}

int runProfileInfo(const std::string& path, bool json, std::ostream& out, std::ostream& errors) {
    clearLog();
    csICCProfile profile;
    if (readProfileFile(path, profile, errors) != 0)
        return 1;
    clearLog();

    const csICCProfileHeader& h = profile.header();
    const csXYZNumber white = h.illuminant();
    const std::vector<TagRow> rows = tagRows(profile, path);
    const int validLevel = highestValidLevel(profile);
    const bool required = profile.hasRequiredTags();
    const std::string version = std::to_string(h.majorVersion()) + "." +
                                std::to_string(h.minorVersion()) + "." +
                                std::to_string(h.bugFixVersion());

    if (json) {
        nlohmann::ordered_json doc;
        doc["file"] = path;
        doc["size"] = h.profileSize();
        doc["cmm"] = signatureText(h.cmmType());
        doc["version"] = version;
        doc["class"] = signatureText(h.deviceClass());
        doc["colourSpace"] = signatureText(h.colorSpace());
        doc["pcs"] = signatureText(h.pcs());
        doc["date"] = dateText(h.dateTime());
        doc["platform"] = signatureText(h.platform());
        doc["flags"] = h.flags();
        doc["manufacturer"] = signatureText(h.manufacturer());
        doc["model"] = signatureText(h.model());
        doc["attributes"] = h.attributes();
        doc["renderingIntent"] = h.renderingIntent();
        doc["illuminant"] = {white.X, white.Y, white.Z};
        doc["creator"] = signatureText(h.creator());
        doc["profileId"] = idText(h);
        doc["description"] = profileDescription(profile);
        doc["validLevel"] = validLevel;
        doc["requiredTags"] = required;
        if (!required)
            doc["missingTags"] = profile.missingRequiredTags();
        nlohmann::ordered_json tags = nlohmann::ordered_json::array();
        for (const TagRow& row : rows) {
            nlohmann::ordered_json tag;
            tag["signature"] = row.signature;
            tag["type"] = row.type;
            tag["offset"] = row.offset;
            tag["size"] = row.size;
            if (row.sharedWith >= 0)
                tag["sharedWith"] = row.sharedWith;
            if (row.corrupt)
                tag["corrupt"] = true;
            tags.push_back(tag);
        }
        doc["tags"] = tags;
        out << doc.dump(2) << "\n";
        return 0;
    }

    out << "Profile:         " << path << "\n"
        << "Size:            " << h.profileSize() << " bytes\n"
        << "CMM:             " << signatureText(h.cmmType()) << "\n"
        << "Version:         " << version << "\n"
        << "Class:           " << signatureText(h.deviceClass()) << " ("
        << className(h.deviceClass()) << ")\n"
        << "Colour space:    " << signatureText(h.colorSpace()) << " ("
        << profile.colorSpaceChannels() << " channels)\n"
        << "PCS:             " << signatureText(h.pcs()) << "\n"
        << "Date:            " << dateText(h.dateTime()) << "\n"
        << "Platform:        " << signatureText(h.platform()) << "\n"
        << "Flags:           " << hex(h.flags(), 8) << "\n"
        << "Manufacturer:    " << signatureText(h.manufacturer()) << "\n"
        << "Model:           " << signatureText(h.model()) << "\n"
        << "Attributes:      " << hex(h.attributes(), 16) << "\n"
        << "Intent:          " << h.renderingIntent() << " (" << intentName(h.renderingIntent())
        << ")\n"
        << "Illuminant:      " << std::fixed << std::setprecision(4) << "X " << white.X << "  Y "
        << white.Y << "  Z " << white.Z << std::defaultfloat << "\n"
        << "Creator:         " << signatureText(h.creator()) << "\n"
        << "Profile ID:      " << idText(h) << "\n"
        << "Description:     " << profileDescription(profile) << "\n"
        << "Valid up to:     ";
    if (validLevel < 0)
        out << "no level (not a valid header)\n";
    else
        out << "level " << validLevel << "\n";
    out << "Required tags:   "
        << (required ? std::string("present") : "missing: " + profile.missingRequiredTags())
        << "\n\n"
        << "Tags (" << rows.size() << "):\n"
        << "  #   Signature   Type         Offset       Size\n";
    for (const TagRow& row : rows) {
        out << "  " << std::left << std::setw(4) << row.index << std::setw(12) << row.signature
            << std::setw(10) << row.type << std::right << std::setw(9) << row.offset
            << std::setw(11) << row.size;
        if (row.sharedWith >= 0)
            out << "  shared with #" << row.sharedWith;
        if (row.corrupt)
            out << "  corrupt, not read";
        out << "\n";
    }
    return 0;
}
