#include "ConverterIntent.h"

namespace {
constexpr int absoluteColorimetricIndex = 3;
constexpr int relativeColorimetricIntent = 1;
constexpr int absoluteWhiteMode = 1;
constexpr int mediaRelativeWhiteMode = 0;
} // namespace

ConverterIntent converterIntentForIndex(int comboIndex) {
    if (comboIndex == absoluteColorimetricIndex)
        return {relativeColorimetricIntent, absoluteWhiteMode};
    return {comboIndex, mediaRelativeWhiteMode};
}
