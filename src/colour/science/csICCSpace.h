#pragma once

#include "Signature.h"

// An ICC colour-space signature with its channel count and the value range of each channel.
class csICCSpace {
public:
    static constexpr int maxChannels = 16;

    // Looks the signature up in the table of known spaces; every channel range starts at 0 to 100,
    // except a* and b* of "Lab ", which run from -128 to 127.
    explicit csICCSpace(Signature signature);

    Signature signature() const { return signature_; }
    bool isKnown() const { return index_ >= 0; }
    // Position of the signature in the table of known spaces, -1 when it is not there.
    int index() const { return index_; }
    // The number of channels, 0 for an unknown space.
    unsigned numChannels() const;

    float channelMin(unsigned channel) const;
    float channelMax(unsigned channel) const;
    const float* channelMins() const { return min_; }
    const float* channelMaxs() const { return max_; }
    float* channelMins() { return min_; }
    float* channelMaxs() { return max_; }

    // Sets every one of the 16 ranges to 0 to 100 and returns 16.
    int resetRanges();

private:
    Signature signature_;
    float min_[maxChannels];
    float max_[maxChannels];
    int index_ = -1;
};
