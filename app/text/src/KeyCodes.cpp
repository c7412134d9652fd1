#include "talvik/text/KeyTables.h"

namespace talvik::text {

namespace {

// Runs of virtual-key codes and the hardware code of the first one; the codes
// of a run follow each other on both sides. The keyboard's own keys take the
// hardware code of their key number, so a wrong entry here sends the wrong key.
struct CodeRun {
    int firstVk;
    int lastVk;
    int firstHWCode;
};

const CodeRun kCodeRuns[] = {
    {8, 8, 27},
    {9, 9, 28},
    {13, 13, 54},
    {19, 19, 80},
    {20, 20, 42},
    {27, 27, 1},
    {32, 32, 70},
    {33, 33, 83},
    {34, 34, 86},
    {35, 35, 85},
    {36, 36, 82},
    {37, 37, 88},
    {38, 38, 87},
    {39, 39, 90},
    {40, 40, 89},
    {44, 44, 78},
    {45, 45, 81},
    {46, 46, 84},
    {48, 48, 24},
    {49, 57, 15},
    {65, 65, 43},
    {66, 66, 60},
    {67, 67, 58},
    {68, 68, 45},
    {69, 69, 31},
    {70, 72, 46},
    {73, 73, 36},
    {74, 76, 49},
    {77, 77, 62},
    {78, 78, 61},
    {79, 79, 37},
    {80, 80, 38},
    {81, 81, 29},
    {82, 82, 32},
    {83, 83, 44},
    {84, 84, 33},
    {85, 85, 35},
    {86, 86, 59},
    {87, 87, 30},
    {88, 88, 57},
    {89, 89, 34},
    {90, 90, 56},
    {91, 91, 68},
    {92, 92, 72},
    {93, 93, 73},
    {96, 96, 103},
    {97, 99, 100},
    {100, 102, 97},
    {103, 105, 94},
    {106, 106, 93},
    {107, 107, 106},
    {109, 109, 105},
    {110, 110, 104},
    {111, 111, 92},
    {112, 123, 2},
    {144, 144, 91},
    {145, 145, 79},
    {160, 160, 55},
    {161, 161, 66},
    {162, 162, 67},
    {163, 163, 74},
    {164, 164, 69},
    {165, 165, 71},
    {186, 186, 52},
    {187, 187, 26},
    {188, 188, 63},
    {189, 189, 25},
    {190, 190, 64},
    {191, 191, 65},
    {192, 192, 14},
    {219, 219, 39},
    {220, 220, 41},
    {221, 221, 40},
    {222, 222, 53},
    {226, 226, 204},
    {269, 269, 107},
    {331, 333, 75},
    {364, 431, 108},
    {436, 436, 180},
    {437, 437, 181},
    {455, 455, 199},
    // 999 has no name. It is the last code to claim 77, so the reverse table
    // maps 77 to it, and the name of 77 reads as "-- --" wherever it is shown.
    {999, 999, 77},
};

} // namespace

void fillVkToHWCode(CodeTable& vkToHWCode) {
    vkToHWCode.fill(0);
    for (const CodeRun& run : kCodeRuns)
        for (int vk = run.firstVk; vk <= run.lastVk; ++vk)
            vkToHWCode[vk] = run.firstHWCode + (vk - run.firstVk);
}

} // namespace talvik::text
