#pragma once

// Luts whose channel counts disagree with the profile that carries them, as a user could be
// handed them: each stands as A2B0, A2B1 and A2B2 of a CMYK printer profile with a Lab PCS, well
// formed otherwise. None may bind, convert or search; each comes with what its refusal says.

#include "LutBytes.h"
#include "ProfileBytes.h"

#include <algorithm>
#include <string>
#include <vector>

struct CraftedLut {
    std::string type; // "mft1", "mft2" or "mAB "
    unsigned inputs, outputs;

    std::string name() const {
        return type + " " + std::to_string(inputs) + "x" + std::to_string(outputs);
    }
    std::vector<std::uint8_t> block() const {
        if (type == "mAB ")
            return lutABBytes("mAB ", inputs, outputs);
        LutBytes bytes;
        bytes.inputs = inputs;
        bytes.outputs = outputs;
        return type == "mft1" ? bytes.mft1() : bytes.mft2();
    }

    // The profile image: header, a D50 media white, then the lut shared by the three A2B tags.
    std::vector<std::uint8_t> profile() const {
        const std::vector<std::uint8_t> lut = block();
        constexpr std::uint32_t white = 128 + 4 + 12 * 4, at = white + 20;
        ProfileBytes p(at + static_cast<std::uint32_t>(lut.size()));
        p.count(4);
        p.entry(0, "wtpt", white, 20);
        p.putText(white, "XYZ ");
        p.put32(white + 8, 63190);
        p.put32(white + 12, 65536);
        p.put32(white + 16, 54061);
        for (unsigned i = 0; i < 3; ++i)
            p.entry(1 + i, "A2B" + std::to_string(i), at, static_cast<std::uint32_t>(lut.size()));
        std::copy(lut.begin(), lut.end(), p.bytes.begin() + at);
        return p.bytes;
    }

    // The warning's title and text for a file at path, and the library's error entry that says
    // why: the window shows its message below the text, the command line writes the entry.
    struct Refusal {
        std::string title, text, entry, message;
        std::string logLines() const { return "E '" + entry + "'\n" + message + "\n"; }
    };
    Refusal refusal(const std::string& path) const {
        const bool readable = inputs >= 1 && inputs <= 15 && outputs >= 1 && outputs <= 15;
        if (type != "mAB " && inputs == 0)
            return {"Failed to read profile", "Failed to read profile " + path, "corrupt tag data",
                    type + " tag with 0 input and " + std::to_string(outputs) + " output channels"};
        if (type == "mAB " && !readable)
            return {"Internal error", "Failed to prepare profile converter", "corrupt tag data",
                    "lut tag of " + std::to_string(block().size()) +
                        " bytes: channel count outside 1..15"};
        return {"Internal error", "Failed to prepare profile converter", "lut channels",
                "'A2B0' has " + std::to_string(inputs) + " inputs and " + std::to_string(outputs) +
                    " outputs; the conversion needs 4 and 3"};
    }
};

// Each lut type with 3 inputs (not CMYK), 1 output (not Lab), no inputs, 16 outputs and 8 inputs.
inline std::vector<CraftedLut> craftedLuts() {
    std::vector<CraftedLut> luts;
    for (const char* type : {"mft1", "mft2", "mAB "})
        for (const auto& [inputs, outputs] :
             {std::pair{3u, 3u}, {4u, 1u}, {0u, 3u}, {4u, 16u}, {8u, 3u}})
            luts.push_back({type, inputs, outputs});
    return luts;
}
