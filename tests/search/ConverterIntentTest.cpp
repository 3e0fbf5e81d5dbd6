#include "ConverterIntent.h"

#include <gtest/gtest.h>

namespace {

// Perceptual, relative colorimetric, saturation, absolute colorimetric; an empty combo box
// reports -1, which passes through (the converter, not this mapping, refuses such an intent).
TEST(ConverterIntent, ComboIndexesMapToIntentAndWhiteMode) {
    struct Row {
        int index, intent, whiteMode;
    };
    for (const Row row : {Row{0, 0, 0}, Row{1, 1, 0}, Row{2, 2, 0}, Row{3, 1, 1}, Row{-1, -1, 0}}) {
        const ConverterIntent mapped = converterIntentForIndex(row.index);
        EXPECT_EQ(mapped.intent, row.intent) << "index " << row.index;
        EXPECT_EQ(mapped.whiteMode, row.whiteMode) << "index " << row.index;
    }
    EXPECT_EQ(converterIntentForIndex(4).whiteMode, 0) << "only absolute colorimetry changes it";
}

} // namespace
