#include "talvik/keymap/CKeyMapSession.h"

#include "talvik/model/CAppState.h"

#include <algorithm>

namespace talvik::keymap {
namespace {

namespace id = layout::keymap_id;

constexpr std::int64_t kNanosPerMs = 1000000;
constexpr std::int64_t kMaxElapsedMs = 65535;

} // namespace

CKeyMapSession::CKeyMapSession(model::CAppState& state)
    : m_state(state), m_combos(m_comboLibrary, m_combo, id::FirstComboRow, layout::kComboRows,
                               text::CollectionKind::Combo),
      m_macros(m_macroLibrary, m_macro, id::FirstMacroRow, layout::kMacroRows,
               text::CollectionKind::Macro),
      m_emus(m_emuLibrary, m_emu, id::FirstEmuRow, layout::kMacroRows,
             text::CollectionKind::Emulation) {}

bool CKeyMapSession::editsAKey() const {
    const int key = m_key;
    const int level = m_level;
    return key >= 1 && key <= model::kKeyCount && level >= 0 && level < model::kLayerCount;
}

void CKeyMapSession::begin() {
    m_key = m_state.editKey;
    m_level = m_state.editLevel;
    resetWork();
    loadLibraries();
    presetFromAssignment();
}

void CKeyMapSession::resetWork() {
    m_page = KeyMapPage::SingleCombo;
    m_isSingle = true;
    m_singleCode = -1;
    m_capturingSingle = false;
    m_capturingCombo = false;
    m_recordingMacro = false;
    m_recordingEmu = false;
    m_lastCode = -1;
    m_lastEventTime = 0;
    m_keyIsDown.fill(0);
    m_mediaCode = -1;
    m_mouseCode = -1;
    m_functionCode = -1;
    m_powerCode = -1;
    m_comboLibrary = model::CActionList(layout::kComboRows);
    m_combo = model::CActionList(layout::kComboRows);
    m_macroLibrary = model::CActionList(layout::kMacroRows);
    m_macro = model::CActionList(layout::kMacroRows);
    m_emuLibrary = model::CActionList(layout::kMacroRows);
    m_emu = model::CActionList(layout::kMacroRows);
}

void CKeyMapSession::loadLibraries() {
    const model::CKeyConfig& config = m_state.keyConfig;
    m_combos.load(config.PredefinedCombo);
    m_macros.load(config.PredefinedMacro);
    m_emus.load(config.PredefinedEmu);
}

void CKeyMapSession::presetFromAssignment() {
    const bool valid = editsAKey();
    const auto k = static_cast<std::size_t>(valid ? m_key : 0);
    const auto l = static_cast<std::size_t>(valid ? m_level : 0);
    const model::CKeyConfig& config = m_state.keyConfig;
    const model::KeyMode mode = valid ? config.Mode[k][l] : model::KeyMode::NotSet;
    const int hw = config.HWCode[k][l];
    switch (mode) {
    case model::KeyMode::Single:
        m_singleCode = vkOfHWCode(hw);
        break;
    case model::KeyMode::Combo:
        m_isSingle = false;
        m_combos.selectContent(config.ComboKey[k][l]);
        break;
    case model::KeyMode::Macro:
        m_macros.selectContent(config.ComboKey[k][l]);
        m_page = KeyMapPage::Macro;
        break;
    case model::KeyMode::Emulation:
        m_emus.selectContent(config.ComboKey[k][l]);
        m_page = KeyMapPage::Emulation;
        break;
    case model::KeyMode::Multimedia:
    case model::KeyMode::Mouse:
    case model::KeyMode::Function:
    case model::KeyMode::Power:
        // The selection modes follow the pages in order, one number further on.
        m_page = *pageNumbered(static_cast<int>(mode) - 1);
        selectionCode(m_page) = hw;
        break;
    case model::KeyMode::NotSet:
        break;
    }
}

std::optional<KeyMapPage> CKeyMapSession::presetKeyDefault() {
    return presetDefault(m_key < 0 ? -1 : m_state.defaultHWCode(m_key, m_level));
}

std::optional<KeyMapPage> CKeyMapSession::presetDefault(int d) {
    if (d == 76) {
        m_powerCode = d;
        return KeyMapPage::Power;
    }
    if (d < 108 || d == 204) {
        m_isSingle = true;
        m_capturingSingle = false;
        m_capturingCombo = false;
        m_singleCode = d < 0 ? -1 : vkOfHWCode(d);
        return KeyMapPage::SingleCombo;
    }
    if (d <= 125) {
        m_mediaCode = d;
        return KeyMapPage::Multimedia;
    }
    if (d <= 134 || d == 157 || d == 158 || d == 173) {
        m_mouseCode = d;
        return KeyMapPage::Mouse;
    }
    if (d <= 198) {
        m_functionCode = d;
        return KeyMapPage::Function;
    }
    return std::nullopt;
}

KeyMapPage CKeyMapSession::clear() {
    m_singleCode = -1;
    m_isSingle = true;
    m_capturingSingle = false;
    m_capturingCombo = false;
    return KeyMapPage::SingleCombo;
}

bool CKeyMapSession::apply() {
    if (!editsAKey()) {
        return false;
    }
    const auto key = static_cast<std::size_t>(m_key);
    const auto level = static_cast<std::size_t>(m_level);
    m_state.keyConfig.Mode[key][level] = model::KeyMode::NotSet;
    switch (m_page) {
    case KeyMapPage::SingleCombo:
        applySingleCombo(key, level);
        break;
    case KeyMapPage::Macro:
    case KeyMapPage::Emulation:
        applyLibrary(modeOfPage(m_page), key, level);
        break;
    default:
        applySelection(modeOfPage(m_page), key, level);
        break;
    }
    return true;
}

void CKeyMapSession::applySingleCombo(std::size_t key, std::size_t level) {
    model::CKeyConfig& config = m_state.keyConfig;
    if (m_isSingle) {
        const int h = hwCodeOfVk(m_singleCode);
        if (h > 0) {
            config.HWCode[key][level] = h;
            config.Mode[key][level] = model::KeyMode::Single;
        }
    } else if (!m_combo.empty()) {
        config.ComboKey[key][level].assign(m_combo);
        config.Mode[key][level] = model::KeyMode::Combo;
        config.HWCode[key][level] = 0;
    }
    // The library keeps what the user did to the selected entry, also what
    // the virtual keyboard chose since its last write-back.
    m_combos.writeBack();
    config.PredefinedCombo.assign(m_comboLibrary);
}

void CKeyMapSession::applyLibrary(model::KeyMode mode, std::size_t key, std::size_t level) {
    model::CKeyConfig& config = m_state.keyConfig;
    const bool macro = mode == model::KeyMode::Macro;
    const model::CActionList& entry = macro ? m_macro : m_emu;
    if (!entry.empty()) {
        config.ComboKey[key][level].assign(entry);
        config.Mode[key][level] = mode;
        config.HWCode[key][level] = 0;
    }
    (macro ? m_macros : m_emus).writeBack();
    if (macro) {
        config.PredefinedMacro.assign(m_macroLibrary);
    } else {
        config.PredefinedEmu.assign(m_emuLibrary);
    }
}

void CKeyMapSession::applySelection(model::KeyMode mode, std::size_t key, std::size_t level) {
    const int chosen = selectionCode(m_page);
    if (chosen < 1) {
        return;
    }
    model::CKeyConfig& config = m_state.keyConfig;
    config.HWCode[key][level] = chosen;
    config.Mode[key][level] = mode;
    if (mode == model::KeyMode::Function && chosen == kFnCode) {
        const std::size_t other = 1 - level;
        config.HWCode[key][other] = kFnCode;
        config.Mode[key][other] = model::KeyMode::Function;
    }
}

int& CKeyMapSession::selectionCode(KeyMapPage page) {
    switch (page) {
    case KeyMapPage::Multimedia:
        return m_mediaCode;
    case KeyMapPage::Mouse:
        return m_mouseCode;
    case KeyMapPage::Function:
        return m_functionCode;
    default:
        return m_powerCode;
    }
}

CLibraryView& CKeyMapSession::library(KeyMapPage page) {
    return page == KeyMapPage::Emulation ? m_emus : m_macros;
}

int CKeyMapSession::vkOfHWCode(int hw) const {
    return codeAt(m_state.hwCodeToVk, hw);
}

int CKeyMapSession::hwCodeOfVk(int vk) const {
    return vk < 0 ? -1 : codeAt(m_state.vkToHWCode, vk & 0x1FF);
}

bool CKeyMapSession::capturing() const {
    return m_capturingSingle || m_capturingCombo || m_recordingMacro || m_recordingEmu;
}

CHookKey CKeyMapSession::keystroke(int vk, int dir, int code, std::int64_t now) const {
    CHookKey key;
    key.vk = vk;
    key.dir = dir;
    key.code = code;
    key.elapsedMs =
        static_cast<int>(std::min((now - m_lastEventTime) / kNanosPerMs, kMaxElapsedMs));
    return key;
}

void CKeyMapSession::keystrokeTaken(int code, std::int64_t now) {
    m_lastEventTime = now;
    m_lastCode = code;
}

void CKeyMapSession::forgetKeystrokes() {
    m_lastCode = -1;
    m_lastEventTime = 0;
}

} // namespace talvik::keymap
