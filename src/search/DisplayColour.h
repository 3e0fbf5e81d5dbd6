#pragma once

#include "ProfileBinding.h"

#include <cstdint>
#include <memory>
#include <string>

class csICCProfile;
class csICCProfileConverter;

// A colour as a display shows it: 8-bit RGB, and whether the display cannot show the colour, so
// that the RGB values are the nearest it can (clipped).
struct DisplayRGB {
    std::uint8_t rgb[3];
    bool clipped;
};

// An RGB display profile bound to show CIE L*a*b* colours (D50, as the PCS has them) on screen,
// relative colorimetric: L* 100 is the display's white. The colour goes through the profile's
// PCS-to-device transform (its B2A tag, or the inverse of its matrix and TRCs) and back; a colour
// that comes back more than `clipLimit` away (CIE76) with a channel at its end was clipped.
class DisplayColour {
public:
    static constexpr double clipLimit = 1.0;

    ~DisplayColour();

    // Binds a profile read from a file as the window binds an output profile (the same checks,
    // relative colorimetric) that is also an RGB profile whose PCS-to-device transform prepares.
    // Null when it is not, with the reason in why.
    static std::unique_ptr<DisplayColour> bindFile(const std::string& path, std::string* why);
    static std::unique_ptr<DisplayColour> bind(std::unique_ptr<csICCProfile> profile,
                                               std::string* why);
    // The packaged sRGB profile (makeSRGBProfile).
    static std::unique_ptr<DisplayColour> sRGB();

    DisplayRGB show(const double lab[3]);
    const csICCProfile& profile() const { return *binding_.profile; }

private:
    DisplayColour() = default;

    ProfileBinding binding_; // the profile and its device-to-PCS converter
    std::unique_ptr<csICCProfileConverter> toDevice_;
    bool xyzPcs_ = false;
};

// sRGB (IEC 61966-2-1) as a version 4 display profile: the primaries adapted to the D50 PCS with
// Bradford, as s15Fixed16 numbers, and the sRGB tone curve as a parametric curve of type 3.
void makeSRGBProfile(csICCProfile& profile);
