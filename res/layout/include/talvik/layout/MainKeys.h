#pragma once

#include "talvik/layout/SkinLayout.h"

namespace talvik::layout {

struct KeySpec {
    int key;
    const char* name; // text::numberedKeyName(key)
    const char* legend;
    int left;
    int right;
    int top;
    int bottom;
};

// The key of number `key` (1..87).
const KeySpec& keySpec(int key);

} // namespace talvik::layout
