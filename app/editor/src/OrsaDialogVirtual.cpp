#include "talvik/editor/OrsaDialogVirtual.h"

#include "talvik/model/CAppState.h"
#include "talvik/shell/CFontTable.h"
#include "talvik/shell/CSkinSource.h"
#include "talvik/shell/UiScale.h"
#include "talvik/text/Language.h"

#include "talvik/layout/VirtualKeys.h"
#include "talvik/shell/PaletteColour.h"
#include "talvik/shell/SkinProblem.h"

#include <algorithm>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

namespace talvik::editor {
namespace {

namespace id = layout::virtual_id;

QString utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool isKey(const SkinElement& e) {
    return e.id >= id::FirstKey && e.id <= id::LastKey && !e.isLabel;
}

} // namespace

OrsaDialogVirtual::OrsaDialogVirtual(shell::CSkinSource& skin, model::CAppState& state,
                                     QWidget* parent)
    : CSkinWindow(parent), m_skin(skin), m_state(state), m_info(this) {
    m_info.hide();
    m_clickWait.setSingleShot(true);
    m_releaseWait.setSingleShot(true);
    connect(&m_clickWait, &QTimer::timeout, this, [this] { act(m_pendingClick); });
    connect(&m_releaseWait, &QTimer::timeout, this, [this] { chooseDoubleClicked(); });
}

OrsaDialogVirtual::~OrsaDialogVirtual() = default;

bool OrsaDialogVirtual::initialise(QSize screen) {
    const layout::VirtualPictureIds ids = layout::kVirtualPictures;
    m_normal = m_skin.picture(ids.normal);
    m_hover = m_skin.picture(ids.hover);
    m_active = m_skin.picture(ids.active);
    if (!shell::picturesAgree({&m_normal, &m_hover, &m_active})) {
        return false;
    }
    if (!screen.isValid()) {
        const QScreen* primary = QGuiApplication::primaryScreen();
        screen = primary != nullptr ? primary->geometry().size() : QSize(1920, 1080);
    }
    const float scale = m_state.uiScale > 0.0f ? m_state.uiScale : shell::uiScale(screen.height());
    setWindowTitle(utf8(text::textIn(m_state.language, "虚拟键盘", "Virtual Keyboard")));
    setPictures(&m_normal, &m_hover, &m_active);
    setFonts(&m_skin.fonts());
    fillElements();
    presetChoice();
    applyScale(scale, screen);
    applyShape(shell::paletteColour(layout::kColourKey));
    prepareBackingStore();
    placeOverParent();

    const SkinRect box = shell::scaledBy(layout::kVirtualInfoRect, scale);
    m_info.place(QRect(box.left, box.top, box.width(), box.height()));
    m_info.setFont(m_skin.fonts().scaled(layout::kVirtualInfoFont, scale));
    m_info.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_info.setTextIfChanged(choiceText());
    m_info.show();
    return true;
}

int OrsaDialogVirtual::run() {
    if (!initialise()) {
        QMessageBox::warning(
            parentWidget(), QStringLiteral("Talvik"),
            shell::skinProblemText(shell::ESkinWindow::VirtualKeyboard, m_state.language));
        return QDialog::Rejected;
    }
    setFocus();
    return exec();
}

void OrsaDialogVirtual::fillElements() {
    std::vector<SkinElement>& table = elements();
    table.assign(kElementCount, SkinElement());
    for (const layout::ElementSpec& spec : layout::virtualKeyboardElements()) {
        table[static_cast<std::size_t>(spec.slot)] = makeSkinElement(spec);
    }
}

void OrsaDialogVirtual::presetChoice() {
    if (m_mode == kSingle) {
        const int key = keyWithCode(m_state.vkSingleCode);
        if (key >= 0) {
            elements()[static_cast<std::size_t>(key)].active = true;
        }
    } else if (m_mode == kCombo) {
        m_state.vkComboCodes.fill(0);
        m_state.vkComboCount = 0;
    }
}

// Centred over the window that opened it, which itself may sit anywhere.
void OrsaDialogVirtual::placeOverParent() {
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    if (owner == nullptr) {
        return;
    }
    const QPoint centre = owner->geometry().center();
    move(centre.x() - width() / 2, centre.y() - height() / 2);
}

int OrsaDialogVirtual::keyWithCode(int code) const {
    for (std::size_t i = 0; i < elements().size(); ++i) {
        if (isKey(elements()[i]) && elements()[i].keyIndex == code) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

text::Language OrsaDialogVirtual::language() const {
    return m_state.language;
}

QString OrsaDialogVirtual::choiceText() const {
    const auto name = [this](int code) { return QString::fromStdString(m_state.codeToItem(code)); };
    const text::Language language = m_state.language;
    if (m_mode == kSingle) {
        const std::string_view format = text::textIn(language, "单键：%1", "Single:%1");
        return utf8(format).arg(name(m_state.vkSingleCode));
    }
    if (m_mode != kCombo) {
        return {};
    }
    const std::string_view format = text::textIn(language, "组合键：%1", "Combo:%1");
    QString names = name(m_state.vkComboCodes[0]);
    const int count = std::min(m_state.vkComboCount, kMaxComboKeys);
    for (int i = 1; i < count; ++i) {
        names += QLatin1Char('+') + name(m_state.vkComboCodes[static_cast<std::size_t>(i)]);
    }
    return utf8(format).arg(names);
}

void OrsaDialogVirtual::afterElements() {
    m_info.setTextIfChanged(choiceText());
}

// A single-mode click waits a moment for a double click that would replace
// it; in combo mode the two clicks of a double click count as two clicks,
// so there is nothing to wait for.
void OrsaDialogVirtual::onElementClicked(int index) {
    if (m_finished) {
        return;
    }
    if (m_mode != kSingle) {
        act(index);
        return;
    }
    if (m_clickWait.isActive()) {
        m_clickWait.stop();
        act(m_pendingClick); // clicks act in the order they came
    }
    m_pendingClick = index;
    m_clickWait.start(kDoubleClickWaitMs);
}

void OrsaDialogVirtual::onElementActivated(int index) {
    if (m_clickWait.isActive()) {
        m_clickWait.stop();
        act(m_pendingClick);
    }
    act(index);
}

shell::SElementAccess OrsaDialogVirtual::accessOf(int index) const {
    shell::SElementAccess access = CSkinWindow::accessOf(index);
    const SkinElement& e = elements()[static_cast<std::size_t>(index)];
    if (access.role != QAccessible::NoRole && isKey(e)) {
        access.checkable = true;
        access.checked = e.active;
    }
    return access;
}

int OrsaDialogVirtual::focusGroup(const SkinElement& e) const {
    return isKey(e) ? 1 : 0;
}

void OrsaDialogVirtual::act(int index) {
    if (m_finished || index < 0) {
        return;
    }
    SkinElement& e = elements()[static_cast<std::size_t>(index)];
    if (isKey(e)) {
        if (m_mode == kSingle) {
            toggleSingle(e);
        } else if (m_mode == kCombo) {
            toggleCombo(e);
        }
        update();
        shell::announceCheckedChanged(*this, index);
        return;
    }
    if (e.id == id::Title || e.id == id::Cancel) {
        reject();
    } else if (e.id == id::Ok) {
        accept();
    }
}

// At most one key is chosen: the key clicked, unless it was the chosen one.
void OrsaDialogVirtual::toggleSingle(SkinElement& key) {
    key.active = !key.active;
    const int previous = keyWithCode(m_state.vkSingleCode);
    if (previous >= 0) {
        elements()[static_cast<std::size_t>(previous)].active = false;
        shell::announceCheckedChanged(*this, previous);
    }
    m_state.vkSingleCode = key.active ? key.keyIndex : 0;
}

// Keys join the combination in the order they are clicked; a click on a
// chosen key takes it out, and a seventh key is refused.
void OrsaDialogVirtual::toggleCombo(SkinElement& key) {
    auto& codes = m_state.vkComboCodes;
    int& count = m_state.vkComboCount;
    count = std::clamp(count, 0, kMaxComboKeys);
    if (key.active) {
        key.active = false;
        const auto end = codes.begin() + count;
        const auto at = std::find(codes.begin(), end, key.keyIndex);
        if (at != end) {
            std::move(at + 1, end, at);
            codes[static_cast<std::size_t>(count - 1)] = 0;
        }
        count = std::max(0, count - 1);
        return;
    }
    if (count == kMaxComboKeys) {
        return;
    }
    key.active = true;
    codes[static_cast<std::size_t>(count)] = key.keyIndex;
    ++count;
}

// A double click replaces the click still waiting for it. Its button comes
// up within a moment: that release is part of the double click, no click of
// its own. Then the key under it is the choice.
void OrsaDialogVirtual::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_mode != kSingle || m_finished) {
        return;
    }
    m_clickWait.stop();
    m_doubleClickAt = event->position().toPoint();
    m_releaseWait.start(kReleaseWaitMs);
}

void OrsaDialogVirtual::mouseReleaseEvent(QMouseEvent* event) {
    if (m_releaseWait.isActive() && event->button() == Qt::LeftButton) {
        m_releaseWait.stop();
        chooseDoubleClicked();
        return;
    }
    CSkinWindow::mouseReleaseEvent(event);
}

void OrsaDialogVirtual::chooseDoubleClicked() {
    const int index = hitTest(m_doubleClickAt);
    if (m_finished || index < 0 || !isKey(elements()[static_cast<std::size_t>(index)])) {
        return;
    }
    m_state.vkSingleCode = elements()[static_cast<std::size_t>(index)].keyIndex;
    accept();
}

void OrsaDialogVirtual::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!activateFocused(*event)) {
            accept();
        }
        break;
    case Qt::Key_Escape:
        reject();
        break;
    default:
        CSkinWindow::keyPressEvent(event);
    }
}

void OrsaDialogVirtual::done(int result) {
    // A click still on its way (waiting for a double click, or the release
    // of a double click held past its wait) must not change the choice once
    // the dialog has ended.
    m_finished = true;
    m_clickWait.stop();
    m_releaseWait.stop();
    CSkinWindow::done(result);
}

} // namespace talvik::editor
