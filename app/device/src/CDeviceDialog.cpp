#include "talvik/device/CDeviceDialog.h"

#include "talvik/model/CAppState.h"
#include "talvik/shell/CFontTable.h"
#include "talvik/shell/CSkinSource.h"
#include "talvik/shell/PaletteColour.h"
#include "talvik/shell/UiScale.h"
#include "talvik/text/Language.h"

#include <QGuiApplication>
#include <QScreen>

namespace talvik::device {

CDeviceDialog::CDeviceDialog(shell::CSkinSource& skin, model::CAppState& state, QWidget* parent)
    : CSkinWindow(parent), m_skin(skin), m_state(state) {
    skipUnexposedElements();
}

bool CDeviceDialog::setUpSkin(shell::ESkinWindow window, const CDevicePrompts& prompts,
                              const std::array<int, 3>& pictures,
                              const std::vector<layout::ElementSpec>& table, layout::Rgb key,
                              QSize screen) {
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        m_pictures[i] = m_skin.picture(pictures[i]);
    }
    if (!shell::picturesAgree({&m_pictures[0], &m_pictures[1], &m_pictures[2]})) {
        prompts.warning(QStringLiteral("Talvik"), shell::skinProblemText(window, language()));
        return false;
    }
    if (!screen.isValid()) {
        const QScreen* primary = QGuiApplication::primaryScreen();
        screen = primary != nullptr ? primary->geometry().size() : QSize(1920, 1080);
    }
    // The main window computes the scale when it opens; a dialog run on its
    // own computes it the same way.
    if (m_state.uiScale < 1.0f) {
        m_state.uiScale = shell::uiScale(screen.height());
    }
    setPictures(&m_pictures[0], &m_pictures[1], &m_pictures[2]);
    setFonts(&m_skin.fonts());
    elements().clear();
    for (const layout::ElementSpec& spec : table) {
        elements().push_back(makeSkinElement(spec));
    }
    applyScale(m_state.uiScale, screen);
    applyShape(shell::paletteColour(key));
    prepareBackingStore();
    setWindowTitle(modelName());
    return true;
}

text::Language CDeviceDialog::language() const {
    return m_state.language;
}

shell::SElementAccess CDeviceDialog::keyLightAccess(int index, const LightTable& lights) const {
    shell::SElementAccess access = CSkinWindow::accessOf(index);
    const SkinElement& e = elements()[static_cast<std::size_t>(index)];
    if (access.role != QAccessible::NoRole && e.keyIndex > 0 &&
        e.keyIndex < static_cast<int>(lights.size())) {
        access.name += QStringLiteral(", ") +
                       toQColor(lights[static_cast<std::size_t>(e.keyIndex)]).name().toUpper();
    }
    return access;
}

QString CDeviceDialog::text(std::string_view chinese, std::string_view english) const {
    const std::string_view chosen = text::textIn(m_state.language, chinese, english);
    return QString::fromUtf8(chosen.data(), static_cast<qsizetype>(chosen.size()));
}

QString CDeviceDialog::modelName() const {
    const std::string_view name = text::modelName(m_state.modelNumber);
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace talvik::device
