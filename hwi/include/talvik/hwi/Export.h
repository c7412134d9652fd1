#pragma once

// Symbols of libTalvikHWI.so that programs may link against. Everything else
// in the library is built with hidden visibility.
#define TALVIK_HWI_EXPORT __attribute__((visibility("default")))
