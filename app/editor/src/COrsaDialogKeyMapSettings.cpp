#include "talvik/editor/COrsaDialogKeyMapSettings.h"

#include "CLibraryPage.h"
#include "CMacroPage.h"
#include "CSelectionPage.h"
#include "CSingleComboPage.h"
#include "KeyMapTables.h"
#include "talvik/editor/OrsaDialogVirtual.h"
#include "talvik/hwi/KeyboardHook.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/CFontTable.h"
#include "talvik/shell/CSkinSource.h"
#include "talvik/shell/LazyStyleSheet.h"
#include "talvik/shell/PaletteColour.h"
#include "talvik/shell/SkinProblem.h"
#include "talvik/shell/UiScale.h"
#include "talvik/text/Language.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include <chrono>

namespace talvik::editor {
namespace {

namespace id = layout::keymap_id;
namespace control = layout::keymap_control;

void styleEdit(QLineEdit& edit, const QValidator* validator, Qt::Alignment alignment) {
    // The program's read-out colours: orange on near black, a hairline frame.
    // Most pages keep most edits hidden: each takes its look when first shown.
    using shell::styleSheetColour;
    shell::setStyleSheetWhenShown(
        edit,
        QStringLiteral("QLineEdit { color: %1; background: %2;"
                       " border: 1px solid %3; border-radius: 2px; padding: 0 1px; }"
                       "QLineEdit:focus { border-color: %1; }"
                       "QLineEdit:disabled { color: %4; border-color: %5; }")
            .arg(styleSheetColour(layout::kAccentOrange), styleSheetColour(layout::kInfoBackground),
                 styleSheetColour(layout::kRecessRim), styleSheetColour(layout::kDisabledFieldText),
                 styleSheetColour(layout::kDisabledFieldBorder)));
    edit.setAlignment(alignment);
    edit.setValidator(validator);
    edit.hide();
}

using keymap::KeyMapPage;

CLibraryPage::Spec macroSpec() {
    return {KeyMapPage::Macro,
            id::FirstMacroRow,
            id::FirstEventRow,
            id::NewMacro,
            id::RemoveMacro,
            model::KeyMode::Macro,
            layout::kMacroLibraryBarPlace,
            layout::kMacroEntryBarPlace};
}

CLibraryPage::Spec emulationSpec() {
    return {KeyMapPage::Emulation,
            id::FirstEmuRow,
            id::FirstEmuKeyRow,
            id::NewEmu,
            id::RemoveEmu,
            model::KeyMode::Emulation,
            layout::kEmuLibraryBarPlace,
            layout::kEmuEntryBarPlace};
}

} // namespace

COrsaDialogKeyMapSettings::COrsaDialogKeyMapSettings(shell::CSkinSource& skin,
                                                     model::CAppState& state, QWidget* parent)
    : CSkinWindow(parent), m_skin(skin), m_state(state), m_session(state), m_countEdit(this),
      m_intervalEdit(this), m_renameEdit(this), m_comboText(this), m_libraryBar(Qt::Vertical, this),
      m_entryBar(Qt::Vertical, this), m_tip(kTipDelayMs, this),
      m_capture(*this, [this](HookStatus why) { onCaptureEndedByHook(why); }) {
    m_pages[keymap::pageIndex(KeyMapPage::SingleCombo)] = std::make_unique<CSingleComboPage>(*this);
    m_pages[keymap::pageIndex(KeyMapPage::Macro)] =
        std::make_unique<CMacroPage>(*this, macroSpec(), macroRecordSpec());
    m_pages[keymap::pageIndex(KeyMapPage::Emulation)] =
        std::make_unique<CRecordingPage>(*this, emulationSpec(), emulationRecordSpec());
    for (const KeyMapPage page :
         {KeyMapPage::Multimedia, KeyMapPage::Mouse, KeyMapPage::Function, KeyMapPage::Power}) {
        m_pages[keymap::pageIndex(page)] = std::make_unique<CSelectionPage>(*this, page);
    }

    m_message = [this](const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, this);
        box.exec();
    };
    m_keyState = [](int vk) { return HookKeyIsDown(vk); };
    m_clock = [] {
        return static_cast<std::int64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                             std::chrono::steady_clock::now().time_since_epoch())
                                             .count());
    };
    m_virtualKeyboard = [this](int mode) {
        OrsaDialogVirtual keyboard(m_skin, m_state, this);
        keyboard.m_mode = mode;
        return keyboard.run() == QDialog::Accepted;
    };
    createControls();
    m_clickGuard.setSingleShot(true);
    m_clickGuard.setInterval(kDoubleClickGuardMs);
    connect(&m_clickGuard, &QTimer::timeout, this, [this] { flushPendingClick(); });
    m_captureWatch.setInterval(250);
    connect(&m_captureWatch, &QTimer::timeout, this, [this] { updateNotice(); });
}

COrsaDialogKeyMapSettings::~COrsaDialogKeyMapSettings() = default;

void COrsaDialogKeyMapSettings::createControls() {
    m_digitsOnly.setRegularExpression(QRegularExpression(QStringLiteral("[0-9]*")));
    styleEdit(m_countEdit, &m_digitsOnly, Qt::AlignLeft);
    styleEdit(m_intervalEdit, &m_digitsOnly, Qt::AlignLeft);
    styleEdit(m_renameEdit, nullptr, Qt::AlignCenter);
    m_comboText.hide();
    connect(&m_countEdit, &QLineEdit::textEdited, this,
            [this] { currentPage().editChanged(control::Count); });
    connect(&m_intervalEdit, &QLineEdit::textEdited, this,
            [this] { currentPage().editChanged(control::Interval); });
    m_libraryBar.setOwner(this);
    m_entryBar.setOwner(this);
    m_libraryBar.hide();
    m_entryBar.hide();
    for (QWidget* child :
         std::initializer_list<QWidget*>{&m_countEdit, &m_intervalEdit, &m_renameEdit, &m_comboText,
                                         &m_libraryBar, &m_entryBar}) {
        child->installEventFilter(this);
    }
    m_comboText.viewport()->installEventFilter(this);
}

text::Language COrsaDialogKeyMapSettings::language() const {
    return m_state.language;
}

SkinElement& COrsaDialogKeyMapSettings::element(int id) {
    return elements()[static_cast<std::size_t>(indexOfKnownId(id))];
}

int COrsaDialogKeyMapSettings::indexOfKnownId(int id) const {
    return indexOfId(id);
}

bool COrsaDialogKeyMapSettings::isOnCurrentPage(const SkinElement& e) const {
    const int owner = layout::pageOfElement(e.id);
    return owner == 0 || keymap::pageOwning(e.id) == m_session.m_page;
}

bool COrsaDialogKeyMapSettings::initialise(QSize screen) {
    if (!screen.isValid()) {
        const QScreen* primary = QGuiApplication::primaryScreen();
        screen = primary != nullptr ? primary->geometry().size() : QSize(1920, 1080);
    }
    const float scale = m_state.uiScale > 0.0f ? m_state.uiScale : shell::uiScale(screen.height());
    QString error;
    if (!findFaces(error)) {
        showMessage(error);
        return false;
    }
    setFonts(&m_skin.fonts());
    elements() = keyMapTable();
    const auto first = pageFaces(KeyMapPage::SingleCombo, error);
    setPictures((*first)[0], (*first)[1], (*first)[2]);
    applyScale(scale, screen);
    applyShape(shell::paletteColour(layout::kKeyMapColourKey));
    prepareBackingStore();
    setWindowTitle(element(id::Title).caption(m_state.language));

    m_renaming = false;
    m_editingDelay = false;
    placeEdits();
    m_session.begin();
    switchPage(m_session.m_page);
    return true;
}

bool COrsaDialogKeyMapSettings::findFaces(QString& error) {
    // A page's faces are decoded when the page is first shown.
    m_faceIds = layout::keyMapPictureIds(m_state.modelNumber);
    return pageFaces(KeyMapPage::SingleCombo, error).has_value();
}

std::optional<std::array<const QImage*, 3>> COrsaDialogKeyMapSettings::pageFaces(KeyMapPage page,
                                                                                 QString& error) {
    std::array<const QImage*, 3> faces{};
    for (std::size_t look = 0; look < faces.size(); ++look) {
        const int faceId = m_faceIds[faces.size() * keymap::pageIndex(page) + look];
        const QImage& face = m_skin.picture(faceId);
        // The dialog copies rectangles between the faces: they must agree.
        if (!shell::picturesAgree({&m_skin.picture(m_faceIds[0]), &face})) {
            error = shell::skinProblemText(shell::ESkinWindow::KeySettings, m_state.language);
            return std::nullopt;
        }
        faces[look] = &face;
    }
    return faces;
}

void COrsaDialogKeyMapSettings::placeEdits() {
    const float s = scale();
    // Chinese keeps the places the dialog was designed with.
    const bool english = m_state.language == text::Language::English;
    placeControl(m_countEdit, layout::countEditPlace(english));
    placeControl(m_intervalEdit, layout::intervalEditPlace(english));
    for (QLineEdit* edit : {&m_countEdit, &m_intervalEdit, &m_renameEdit}) {
        edit->setFont(m_skin.fonts().scaled(layout::kEditFontSize, s));
    }
    placeControl(m_comboText, layout::kComboTextPlace);
    m_comboText.setFont(m_skin.fonts().scaled(layout::kComboTextFontSize, s));
}

void COrsaDialogKeyMapSettings::switchPage(KeyMapPage page) {
    QString error;
    const auto faces = pageFaces(page, error);
    if (!faces) {
        showMessage(error); // a damaged skin: the dialog stays on the page it can show
        return;
    }
    m_session.m_page = page;
    setPictures((*faces)[0], (*faces)[1], (*faces)[2]);
    applyShape(shell::paletteColour(layout::kKeyMapColourKey));
    hideControls();
    currentPage().shown();
    m_tip.deactivate();
    refresh();
    update();
}

void COrsaDialogKeyMapSettings::hideControls() {
    for (QWidget* child :
         std::initializer_list<QWidget*>{&m_countEdit, &m_intervalEdit, &m_renameEdit, &m_comboText,
                                         &m_libraryBar, &m_entryBar}) {
        child->hide();
    }
    m_renameEdit.setEnabled(false);
}

void COrsaDialogKeyMapSettings::placeControl(QWidget& child, const layout::ControlPlace& place) {
    const float s = scale();
    child.setGeometry(shell::scaledBy(place.x, s), shell::scaledBy(place.y, s),
                      shell::scaledBy(place.width, s), shell::scaledBy(place.height, s));
}

shell::CSkinScrollBar& COrsaDialogKeyMapSettings::scrollBar(int control) {
    return control == control::EntryBar ? m_entryBar : m_libraryBar;
}

void COrsaDialogKeyMapSettings::placeScrollBar(int control, const layout::ControlPlace& place) {
    shell::CSkinScrollBar& bar = scrollBar(control);
    placeControl(bar, place);
    // The bar takes the thickness of its skin's cells, whatever width the page gives.
    bar.attachSkin(m_skin.picture(layout::kScrollBarPictureId), scale());
    bar.show();
}

void COrsaDialogKeyMapSettings::syncScrollBar(int control, const model::CActionList& list) {
    // One position per item and one past the last, a page of the rows shown,
    // and the thumb where the selected item is.
    shell::ScrollInfo info;
    info.minimum = 0;
    info.page = std::max(1, list.SizeOfView);
    info.maximum = list.count() + info.page - 1;
    info.position = std::max(0, list.ViewStartAt + list.CursorPos);
    scrollBar(control).setScrollInfo(info, shell::ScrollRange | shell::ScrollPage |
                                               shell::ScrollPosition);
}

void COrsaDialogKeyMapSettings::onScroll(shell::CSkinScrollBar& bar, int command,
                                         int trackPosition) {
    const int position = bar.positionAfter(command, trackPosition);
    shell::ScrollInfo info;
    info.position = position;
    bar.setScrollInfo(info, shell::ScrollPosition);
    currentPage().scrolled(&bar == &m_entryBar ? control::EntryBar : control::LibraryBar, position);
    refresh();
    update();
}

void COrsaDialogKeyMapSettings::showMessage(const QString& text) {
    m_message(text);
}

bool COrsaDialogKeyMapSettings::runVirtualKeyboard(int mode) {
    return m_virtualKeyboard(mode);
}

} // namespace talvik::editor
