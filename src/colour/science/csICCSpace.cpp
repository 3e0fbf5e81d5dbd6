#include "csICCSpace.h"

#include "csAssert.h"

#include <iterator>

namespace {

struct KnownSpace {
    Signature signature;
    unsigned channels;
};

// In the order of the colour space table of the ICC standard.
constexpr KnownSpace knownSpaces[] = {
    {Signature("GRAY"), 1},  {Signature("XYZ "), 3},  {Signature("Lab "), 3},
    {Signature("Luv "), 3},  {Signature("YCbr"), 3},  {Signature("Yxy "), 3},
    {Signature("RGB "), 3},  {Signature("HSV "), 3},  {Signature("HLS "), 3},
    {Signature("CMY "), 3},  {Signature("CMYK"), 4},  {Signature("1CLR"), 1},
    {Signature("2CLR"), 2},  {Signature("3CLR"), 3},  {Signature("4CLR"), 4},
    {Signature("5CLR"), 5},  {Signature("6CLR"), 6},  {Signature("7CLR"), 7},
    {Signature("8CLR"), 8},  {Signature("9CLR"), 9},  {Signature("ACLR"), 10},
    {Signature("BCLR"), 11}, {Signature("CCLR"), 12}, {Signature("DCLR"), 13},
    {Signature("ECLR"), 14}, {Signature("FCLR"), 15}, {Signature("GCLR"), 16},
    {Signature("MCH1"), 1},  {Signature("MCH2"), 2},  {Signature("MCH3"), 3},
    {Signature("MCH4"), 4},  {Signature("MCH5"), 5},  {Signature("MCH6"), 6},
    {Signature("MCH7"), 7},  {Signature("MCH8"), 8},  {Signature("MCH9"), 9},
    {Signature("MCHA"), 10}, {Signature("MCHB"), 11}, {Signature("MCHC"), 12},
    {Signature("MCHD"), 13}, {Signature("MCHE"), 14}, {Signature("MCHF"), 15},
    {Signature("MCHG"), 16},
};
static_assert(std::size(knownSpaces) == 43);

} // namespace

csICCSpace::csICCSpace(Signature signature) : signature_(signature) {
    for (int i = 0; i < static_cast<int>(std::size(knownSpaces)); ++i) {
        if (knownSpaces[i].signature == signature) {
            index_ = i;
            break;
        }
    }
    resetRanges();
    if (signature == Signature("Lab ")) {
        for (unsigned channel : {1u, 2u}) {
            min_[channel] = -128.0f;
            max_[channel] = 127.0f;
        }
    }
}

unsigned csICCSpace::numChannels() const { return index_ < 0 ? 0 : knownSpaces[index_].channels; }

float csICCSpace::channelMin(unsigned channel) const {
    CS_ASSERT(channel < numChannels());
    return min_[channel];
}

float csICCSpace::channelMax(unsigned channel) const {
    CS_ASSERT(channel < numChannels());
    return max_[channel];
}

int csICCSpace::resetRanges() {
    for (int i = 0; i < maxChannels; ++i) {
        min_[i] = 0.0f;
        max_[i] = 100.0f;
    }
    return maxChannels;
}
