#pragma once

// What a profile converter is given for one item of the rendering-intent combo boxes. The item
// index is the ICC rendering-intent number, but absolute colorimetric is carried out as relative
// colorimetric with the converter's absolute white mode, so index 3 maps to intent 1, white
// mode 1.
struct ConverterIntent {
    int intent = 0;
    int whiteMode = 0;
};

// Maps a combo-box index to the converter's intent and white mode. Indexes other than 3 pass
// through unchanged with white mode 0; the converter itself refuses intents it does not know.
ConverterIntent converterIntentForIndex(int comboIndex);
