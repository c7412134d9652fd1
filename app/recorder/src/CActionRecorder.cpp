#include "talvik/recorder/CActionRecorder.h"

#include "talvik/recorder/MacroEditing.h"

namespace talvik::recorder {

int macroItemLimit(const model::CActionList& macro) {
    return macro.IsAutoInterval ? kMacroItemsAutoInterval : kMacroItemsWithDelays;
}

void CActionRecorder::startMacro(model::CActionList& macro) {
    clearKeepingPlayFields(macro);
    m_keyIsDown.fill(0);
    m_target = Target::Macro;
}

void CActionRecorder::startEmulation(model::CActionList& emu) {
    const int delay = emu.Delay;
    emu.clear();
    emu.Delay = delay;
    m_keyIsDown.fill(0);
    m_target = Target::Emulation;
}

int CActionRecorder::take(model::CActionList& list, const HookKey& key, const HookTiming& timing) {
    if (!recording() || !changesKeyState(key))
        return 0;
    return m_target == Target::Macro ? takeMacroEvent(list, key, timing)
                                     : takeEmulationKey(list, key, timing);
}

bool CActionRecorder::changesKeyState(const HookKey& key) {
    std::uint8_t& down = m_keyIsDown[static_cast<std::size_t>(key.vk & 0xFF)];
    // A press counts only for a key that is up, a release only for one that is down.
    if ((down != 0) != key.released)
        return false;
    down = down != 0 ? 0 : 1;
    return true;
}

int CActionRecorder::takeMacroEvent(model::CActionList& macro, const HookKey& key,
                                    const HookTiming& timing) const {
    int appended = 0;
    if (timing.hasPrevious && !macro.IsAutoInterval && macro.count() < kMacroItemsWithDelays) {
        macro.append(talvik::text::delayText(timing.elapsedMs));
        ++appended;
    }
    if (macro.count() < macroItemLimit(macro)) {
        macro.append(talvik::text::keyEventName(m_names, key.code, true));
        ++appended;
    }
    return appended;
}

int CActionRecorder::takeEmulationKey(model::CActionList& emu, const HookKey& key,
                                      const HookTiming& timing) const {
    if (key.released || key.code == timing.lastCode || emu.count() >= kEmulationKeys)
        return 0;
    emu.append(talvik::text::keyEventName(m_names, key.code, false));
    return 1;
}

int CActionRecorder::appendStopDelay(model::CActionList& macro) {
    if (macro.IsAutoInterval || macro.count() >= kMacroItemsWithDelays)
        return 0;
    macro.append(talvik::text::delayText(kStopDelayMs));
    return 1;
}

} // namespace talvik::recorder
