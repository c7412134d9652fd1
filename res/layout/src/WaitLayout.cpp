#include "talvik/layout/WaitLayout.h"

namespace talvik::layout {

std::vector<ElementSpec> waitElements() {
    ElementSpec quit;
    quit.slot = 0;
    quit.id = wait_id::Quit;
    quit.zh = "退出";
    quit.en = "Quit";
    quit.rect = {330, 146, 440, 178};

    ElementSpec attempt;
    attempt.slot = 1;
    attempt.id = wait_id::Attempt;
    attempt.rect = {186, 138, 326, 174};
    attempt.isLabel = true;
    attempt.textFormat = kTextLeft;
    attempt.fontIndex = 12;
    attempt.textColor = kPanelHint;
    attempt.activeTextColor = attempt.textColor;
    std::vector<ElementSpec> elements{quit, attempt};
    for (int i = 0; i < kWaitKeycapCount; ++i) {
        ElementSpec keycap;
        keycap.slot = 2 + i;
        keycap.id = wait_id::FirstKeycap + i;
        keycap.rect = {24 + 36 * i, 96, 58 + 36 * i, 130};
        elements.push_back(keycap);
    }
    return elements;
}

} // namespace talvik::layout
