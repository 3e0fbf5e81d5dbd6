#include "DisplayColour.h"

#include "DeviceToLab.h"
#include "ProfileChecks.h"
#include "csICCPCS.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"
#include "csICCXYZTag.h"
#include "csICCmlucTag.h"
#include "csICCparaTag.h"
#include "csLog.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Relative colorimetric, as the rendering intent combo numbers it.
constexpr int relativeColorimetric = 1;

void addText(csICCProfile& profile, Signature signature, const char* text) {
    csICCmlucTag tag(signature);
    std::u16string wide;
    for (const char* c = text; *c != 0; ++c)
        wide += static_cast<char16_t>(*c);
    tag.addRecord(csICCmlucTag::code("en"), csICCmlucTag::code("US"), wide);
    profile.addTag(tag);
}

void appendBigEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size) {
    for (int shift = 8 * (size - 1); shift >= 0; shift -= 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

} // namespace

void makeSRGBProfile(csICCProfile& profile) {
    csICCProfileHeader& header = profile.header();
    header.setDeviceClass(Signature("mntr"));
    header.setColorSpace(Signature("RGB "));
    header.setPcs(Signature("XYZ "));
    header.setVersion(4, 3, 0);
    header.setDateTime({2026, 1, 1, 0, 0, 0});
    header.setManufacturer(Signature("VELT"));
    header.setRenderingIntent(0);
    addText(profile, Signature("desc"), "Tintora sRGB (IEC 61966-2-1)");
    addText(profile, Signature("cprt"), "No copyright, use freely.");
    profile.addTag(csICCXYZTag(Signature("wtpt"), 0xF6D6, 0x10000, 0xD32D, 1));
    profile.addTag(csICCXYZTag(Signature("rXYZ"), 0x6FA2, 0x38F5, 0x0390, 1));
    profile.addTag(csICCXYZTag(Signature("gXYZ"), 0x6299, 0xB785, 0x18DA, 1));
    profile.addTag(csICCXYZTag(Signature("bXYZ"), 0x24A0, 0x0F84, 0xB6CF, 1));
    // g 2.4, a 1/1.055, b 0.055/1.055, c 1/12.92, d 0.04045.
    std::vector<std::uint8_t> curve = {'p', 'a', 'r', 'a', 0, 0, 0, 0, 0, 3, 0, 0};
    for (const double parameter : {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045})
        appendBigEndian(curve, static_cast<std::uint32_t>(std::lround(parameter * 65536)), 4);
    for (const Signature signature : {Signature("rTRC"), Signature("gTRC"), Signature("bTRC")})
        profile.addTag(
            csICCparaTag(signature, static_cast<std::uint32_t>(curve.size()), curve.data()));
}

DisplayColour::~DisplayColour() = default;

std::unique_ptr<DisplayColour> DisplayColour::bindFile(const std::string& path, std::string* why) {
    ProfileBinding read = bindProfileFile(path, true, relativeColorimetric);
    if (!read.bound()) {
        *why = read.refusal ? read.refusal->message() : "";
        if (!read.reason.empty())
            *why += " (" + read.reason + ")";
        return nullptr;
    }
    return bind(std::move(read.profile), why);
}

std::unique_ptr<DisplayColour> DisplayColour::bind(std::unique_ptr<csICCProfile> profile,
                                                   std::string* why) {
    std::unique_ptr<DisplayColour> display(new DisplayColour);
    if (profile->header().colorSpace() != Signature("RGB ")) {
        *why = "not an RGB profile";
        return nullptr;
    }
    display->binding_ = bindProfile(std::move(profile), true, relativeColorimetric);
    if (!display->binding_.bound()) {
        *why = display->binding_.refusal ? display->binding_.refusal->message() : "";
        return nullptr;
    }
    // The relative colorimetric PCS-to-device table, or the perceptual one that every lut profile
    // has, as the profile format allows when the other is missing.
    display->toDevice_ = std::make_unique<csICCProfileConverter>(display->binding_.profile.get(), 1,
                                                                 relativeColorimetric, 0);
    if (display->toDevice_->prepare() != 0) {
        display->toDevice_->setIntent(0);
        clearLog();
    }
    if (display->toDevice_->prepare() != 0) {
        *why = "no transform from the PCS to the display";
        return nullptr;
    }
    display->xyzPcs_ = display->binding_.profile->header().pcs() == Signature("XYZ ");
    return display;
}

std::unique_ptr<DisplayColour> DisplayColour::sRGB() {
    auto profile = std::make_unique<csICCProfile>();
    makeSRGBProfile(*profile);
    std::string why;
    return bind(std::move(profile), &why);
}

DisplayRGB DisplayColour::show(const double lab[3]) {
    DisplayRGB shown{{0, 0, 0}, true};
    if (!(lab[0] == lab[0] && lab[1] == lab[1] && lab[2] == lab[2]))
        return shown;
    double pcs[3] = {std::clamp(lab[0], 0.0, 100.0) * 655.35,
                     (std::clamp(lab[1], -128.0, 127.0) + 128) * 257,
                     (std::clamp(lab[2], -128.0, 127.0) + 128) * 257};
    if (xyzPcs_)
        csICCPCS::Lab16toXYZ16(pcs, pcs, 1);
    double device[3];
    if (toDevice_->convert(pcs, device, 1, 3, 3) != 0)
        return shown;
    bool atEnd = false;
    for (int c = 0; c < 3; ++c) {
        const double v = std::clamp(device[c], 0.0, 65535.0);
        atEnd = atEnd || v <= 0.5 || v >= 65534.5;
        shown.rgb[c] = static_cast<std::uint8_t>(std::lround(v / 257));
        device[c] = v;
    }
    // Back through the device-to-PCS converter: a colour the display has comes back where it was.
    double back[3];
    if (binding_.converter->convert(device, back, 1, 3, 3) != 0)
        return shown;
    pcsToLab(back, 1, xyzPcs_);
    const double dE = std::hypot(back[0] - lab[0], std::hypot(back[1] - lab[1], back[2] - lab[2]));
    shown.clipped = atEnd && !(dE <= clipLimit);
    return shown;
}
