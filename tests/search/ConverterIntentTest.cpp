#include "ConverterIntent.h"

#include <gtest/gtest.h>

namespace {

TEST(ConverterIntent, ComboIndexesMapToIntentAndWhiteMode) {
    struct Row {
        int index, intent, whiteMode;
    };
    // perceptual, relative colorimetric, saturation, absolute colorimetric
    for (const Row row : {Row{0, 0, 0}, Row{1, 1, 0}, Row{2, 2, 0}, Row{3, 1, 1}}) {
        const ConverterIntent mapped = converterIntentForIndex(row.index);
        EXPECT_EQ(mapped.intent, row.intent) << "index " << row.index;
        EXPECT_EQ(mapped.whiteMode, row.whiteMode) << "index " << row.index;
    }
}

TEST(ConverterIntent, OnlyAbsoluteColorimetricChangesTheWhiteMode) {
    // An empty combo box reports -1; the converter, not this mapping, refuses such an intent.
    const ConverterIntent none = converterIntentForIndex(-1);
    EXPECT_EQ(none.intent, -1);
    EXPECT_EQ(none.whiteMode, 0);
    EXPECT_EQ(converterIntentForIndex(4).whiteMode, 0);
}

} // namespace
