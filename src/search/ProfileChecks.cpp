#include "ProfileChecks.h"

#include "csICCProfile.h"
#include "csICCToneCurve.h"
#include "csICCXYZTag.h"

namespace {

// An RGB display profile with an XYZ PCS whose colorants are XYZ tags and whose TRCs are "curv"
// or "para" tags: it converts through its matrix and TRCs without any lut.
bool isMatrixTRCDisplay(const csICCProfile& profile) {
    const csICCProfileHeader& header = profile.header();
    if (header.deviceClass() != Signature("mntr") || header.colorSpace() != Signature("RGB ") ||
        header.pcs() != Signature("XYZ "))
        return false;
    for (const Signature colorant : {Signature("rXYZ"), Signature("gXYZ"), Signature("bXYZ")}) {
        const auto* xyz = dynamic_cast<const csICCXYZTag*>(profile.findTag(colorant));
        if (xyz == nullptr || xyz->count() == 0)
            return false;
    }
    for (const Signature curve : {Signature("rTRC"), Signature("gTRC"), Signature("bTRC")})
        if (!csICCToneCurve::isCurve(profile.findTag(curve)))
            return false;
    return true;
}

} // namespace

std::string BindingMessage::message() const {
    std::string out = text;
    const std::size_t at = out.find("%1");
    if (at != std::string::npos)
        out.replace(at, 2, argument);
    return out;
}

std::optional<BindingMessage> profileRefusal(const csICCProfile& profile, bool outputSide) {
    const csICCProfileHeader& header = profile.header();
    const Signature deviceClass = header.deviceClass();
    if (deviceClass != Signature("prtr") && deviceClass != Signature("mntr"))
        return BindingMessage{"Not an output profile", "Profile is not an output profile, but '%1'",
                              deviceClass.text()};
    const Signature space = header.colorSpace();
    if (space != Signature("CMYK") && space != Signature("CMY ") && space != Signature("RGB "))
        return BindingMessage{"Unsupported device space",
                              "Profile is not a CMYK, CMY, or RGB output profile, but '%1'",
                              header.colorSpaceText()};
    const Signature pcs = header.pcs();
    if (pcs != Signature("Lab ") && pcs != Signature("XYZ "))
        return BindingMessage{
            "Unsupported profile connection space",
            "Profile does not have Lab or XYZ as profile connection space, but '%1'",
            header.pcsText()};
    if (outputSide && !profile.hasTag(Signature("A2B0")) && !profile.hasTag(Signature("A2B1")) &&
        !profile.hasTag(Signature("A2B2")) && !isMatrixTRCDisplay(profile))
        return BindingMessage{"No A2B tables found", "Profile does not have A2B tables", {}};
    return std::nullopt;
}

BindingMessage openFailure(const std::string& path) {
    return {"Failed to open file", "Failed to open profile %1", path};
}

BindingMessage readFailure(const std::string& path) {
    return {"Failed to read profile", "Failed to read profile %1", path};
}

BindingMessage preparationFailure() {
    return {"Internal error", "Failed to prepare profile converter", {}};
}
