#pragma once

#include <optional>
#include <string>

class csICCProfile;

// A warning of profile binding: its title and its text, whose "%1" stands for the argument (a
// path or a signature). The window passes title and text through its translation first.
struct BindingMessage {
    const char* title;
    const char* text;
    std::string argument;

    // The text with %1 replaced by the argument.
    std::string message() const;
};

// Why a read profile cannot be bound, checked in this order: device class (printer or display),
// data colour space (CMYK, CMY or RGB), PCS (Lab or XYZ), and for the output side an A2B0, A2B1
// or A2B2 tag, which an RGB display profile with an XYZ PCS may do without when its colorant
// ("rXYZ", "gXYZ", "bXYZ") and TRC tags ("curv" or "para") are complete. Nothing when it can.
std::optional<BindingMessage> profileRefusal(const csICCProfile& profile, bool outputSide);

BindingMessage openFailure(const std::string& path);
BindingMessage readFailure(const std::string& path);
BindingMessage preparationFailure();
