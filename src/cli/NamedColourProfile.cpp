#include "NamedColourProfile.h"

#include "csICCProfile.h"
#include "csICCncl2Tag.h"
#include "csLog.h"

namespace {

std::string firstLogMessage() {
    const std::string message = logCount() > 0 ? logMessage(0) : "";
    clearLog();
    return message;
}

} // namespace

ColourList readNamedColourProfile(const std::uint8_t* bytes, std::size_t size,
                                  const std::string& source) {
    ColourList list;
    clearLog();
    csICCProfile profile;
    if (profile.setProfile(bytes, size) != 0) {
        const std::string why = firstLogMessage();
        list.failure =
            source + ": not a profile that can be read" + (why.empty() ? "" : " (" + why + ")");
        return list;
    }
    const Signature deviceClass = profile.header().deviceClass();
    if (deviceClass != Signature("nmcl")) {
        list.failure =
            source + ": a '" + deviceClass.text() + "' profile, not a named colour profile";
        return list;
    }
    const auto* tag = dynamic_cast<const csICCncl2Tag*>(profile.findTag(Signature("ncl2")));
    if (tag == nullptr) {
        list.failure = source + ": a named colour profile without an 'ncl2' tag";
        return list;
    }
    const Signature pcs = profile.header().pcs();
    const bool xyz = pcs == Signature("XYZ ");
    if (!xyz && pcs != Signature("Lab ")) {
        list.failure = source + ": unknown PCS '" + pcs.text() + "'";
        return list;
    }
    const bool legacy = profile.header().majorVersion() < 4;
    for (unsigned i = 0; i < tag->count(); ++i) {
        const std::string name = tag->fullName(i);
        const std::string origin = source + ": colour " + std::to_string(i + 1) +
                                   (name.empty() ? "" : " \"" + name + "\"");
        std::uint16_t values[3];
        if (tag->pcs(i, values) != 0) {
            list.skip(origin, firstLogMessage());
            continue;
        }
        if (tag->rootName(i).empty()) {
            list.skip(origin, "no name");
            continue;
        }
        double lab[3];
        if (xyz) {
            const double percent[3] = {values[0] / 327.68, values[1] / 327.68, values[2] / 327.68};
            xyzToLab(percent, pcsWhite, lab);
        } else if (legacy) {
            lab[0] = values[0] / 652.8;
            lab[1] = values[1] / 256.0 - 128;
            lab[2] = values[2] / 256.0 - 128;
        } else {
            lab[0] = values[0] / 655.35;
            lab[1] = values[1] / 257.0 - 128;
            lab[2] = values[2] / 257.0 - 128;
        }
        list.add(name, lab, origin);
    }
    return list;
}
