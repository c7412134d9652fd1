#pragma once

// Included by each XML fuzz target, once: its LLVMFuzzerInitialize.
//
// Text that is neither declared nor UTF-8 is read in the locale's charset, which the codec
// asks the environment for on every such text. For C.UTF-8 and the like that means mapping
// the locale's files in and out on each run, a third of the time of a short input. The
// built-in C locale answers at once, and its charset (ASCII) is read as UTF-8 is, so the
// decoding is the one a UTF-8 desktop gets; only the "ANSI:" label in results differs.

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ::setenv("LC_ALL", "C", 1);
    return 0;
}
