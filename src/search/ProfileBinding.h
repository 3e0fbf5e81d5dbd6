#pragma once

#include "ProfileChecks.h"
#include "csICCProfile.h"
#include "csICCProfileConverter.h"

#include <memory>
#include <optional>
#include <string>

// Sets a device-to-PCS converter to a rendering-intent combo index (through the intent table:
// absolute colorimetric is relative colorimetric scaled by the media white) and prepares it
// again. 0 when the converter is ready; the reason of a failure is in the library's log.
int prepareForIntent(csICCProfileConverter& converter, int comboIndex);

// The message of the library log's first error (or fatal) entry: why a read or a preparation
// failed. Empty when there is none.
std::string firstLogError();

// How far binding a profile got.
enum class BindingStage { open, read, check, prepare, bound };

// A profile as the window binds it, for the window and the command line alike: read, checked
// (device class, data colour space, PCS and, for the output side, a device-to-PCS transform) and
// given a converter prepared for the combo index of its side's intent. Anything that fails on
// the way refuses the whole profile; nothing half-bound is handed out.
struct ProfileBinding {
    BindingStage stage = BindingStage::open;
    std::unique_ptr<csICCProfile> profile;
    // Declared after the profile, so that it goes first: it converts through the profile's tags.
    std::unique_ptr<csICCProfileConverter> converter;
    // What to tell the user; its argument is the path for open and read failures.
    std::optional<BindingMessage> refusal;
    // Why the library refused a read or a preparation: its first error entry.
    std::string reason;

    bool bound() const { return stage == BindingStage::bound; }
    // Whether the library's log holds the reason of the refusal: a failed read or preparation.
    bool logExplains() const {
        return stage == BindingStage::read || stage == BindingStage::prepare;
    }
};

// Opens path (the bytes are the file name, UTF-8 where the system uses it), reads and binds it.
// The log keeps the library's entries for the caller to show and clear.
ProfileBinding bindProfileFile(const std::string& path, bool outputSide, int intentIndex);

// The checks and the preparation on a profile already read.
ProfileBinding bindProfile(std::unique_ptr<csICCProfile> profile, bool outputSide, int intentIndex);
