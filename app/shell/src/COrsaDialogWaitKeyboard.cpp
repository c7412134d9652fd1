#include "talvik/shell/COrsaDialogWaitKeyboard.h"

#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/PaletteColour.h"
#include "talvik/shell/SkinProblem.h"
#include "talvik/shell/UiScale.h"
#include "talvik/text/Language.h"

#include "talvik/layout/WaitLayout.h"

#include <QGuiApplication>
#include <QScreen>

namespace talvik::shell {

namespace id = layout::wait_id;

COrsaDialogWaitKeyboard::COrsaDialogWaitKeyboard(COrsaApp& app, QWidget* parent)
    : CSkinWindow(parent), m_app(app) {
    setWindowTitle(QStringLiteral("Talvik"));
    // A search, not a document: the window keeps above the desktop's others.
    setWindowFlag(Qt::WindowStaysOnTopHint);
}

bool COrsaDialogWaitKeyboard::initialise(QSize screen) {
    const layout::MainPictureIds ids = layout::kWaitPictureIds;
    const QImage& normal = m_app.picture(ids.normal);
    const QImage& hover = m_app.picture(ids.hover);
    const QImage& active = m_app.picture(ids.active);
    if (!picturesAgree({&normal, &hover, &active})) {
        return false;
    }
    setWindowIcon(m_app.m_icon);
    setPictures(&normal, &hover, &active);
    setFonts(&m_app.m_fonts);
    std::vector<SkinElement>& table = elements();
    for (const layout::ElementSpec& spec : layout::waitElements()) {
        table.push_back(makeSkinElement(spec));
    }
    if (!screen.isValid()) {
        const QScreen* primary = QGuiApplication::primaryScreen();
        screen = primary != nullptr ? primary->geometry().size() : QSize(1920, 1080);
    }
    applyScale(uiScale(screen.height()), screen);
    applyShape(paletteColour(layout::kColourKey));
    return true;
}

void COrsaDialogWaitKeyboard::setAttempt(int attempt, int total) {
    const QString text =
        QStringLiteral("第 %1 次，共 %2 次\nattempt %1 of %2").arg(attempt).arg(total);
    for (SkinElement& e : elements()) {
        if (e.id == id::Attempt) {
            e.caption(text::Language::Chinese) = text;
        } else if (e.id >= id::FirstKeycap) {
            e.active = e.id - id::FirstKeycap == (attempt - 1) % layout::kWaitKeycapCount;
        }
    }
    update();
}

text::Language COrsaDialogWaitKeyboard::language() const {
    // Its texts carry both languages; the label keeps them under one.
    return text::Language::Chinese;
}

void COrsaDialogWaitKeyboard::onElementClicked(int index) {
    if (index >= 0 && elements()[static_cast<std::size_t>(index)].id == id::Quit) {
        requestQuit();
    }
}

void COrsaDialogWaitKeyboard::reject() {
    requestQuit();
    CSkinWindow::reject();
}

void COrsaDialogWaitKeyboard::requestQuit() {
    if (m_quit) {
        return;
    }
    m_quit = true;
    if (m_onQuit) {
        m_onQuit();
    }
}

} // namespace talvik::shell
