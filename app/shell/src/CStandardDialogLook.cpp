#include "talvik/shell/CStandardDialogLook.h"

#include "talvik/layout/SkinPalette.h"
#include "talvik/shell/PaletteColour.h"

#include <QApplication>
#include <QColorDialog>
#include <QEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>

namespace talvik::shell {

QPalette standardDialogPalette() {
    QPalette colours;
    const auto set = [&colours](QPalette::ColorRole role, layout::Rgb active,
                                layout::Rgb disabled) {
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            colours.setColor(group, role, paletteColour(active));
        }
        colours.setColor(QPalette::Disabled, role, paletteColour(disabled));
    };
    set(QPalette::Window, layout::kBodyMiddle, layout::kBodyMiddle);
    set(QPalette::WindowText, layout::kTitleText, layout::kQuietInk);
    set(QPalette::Base, layout::kInfoBackground, layout::kBodyMiddle);
    set(QPalette::AlternateBase, layout::kSidePanel, layout::kSidePanel);
    set(QPalette::Text, layout::kTitleText, layout::kQuietInk);
    set(QPalette::PlaceholderText, layout::kQuietInk, layout::kQuietInk);
    set(QPalette::Button, layout::kControlFill, layout::kControlFill);
    set(QPalette::ButtonText, layout::kTitleText, layout::kQuietInk);
    set(QPalette::BrightText, layout::kLitInk, layout::kLitInk);
    set(QPalette::Light, layout::kControlBorder, layout::kControlBorder);
    set(QPalette::Midlight, layout::kRecessRim, layout::kRecessRim);
    set(QPalette::Mid, layout::kPanelRule, layout::kPanelRule);
    set(QPalette::Dark, layout::kKeycapEdge, layout::kKeycapEdge);
    set(QPalette::Shadow, layout::kKeycapEdge, layout::kKeycapEdge);
    set(QPalette::Highlight, layout::kAccentOrange, layout::kPanelRule);
    set(QPalette::HighlightedText, layout::kInkOnAccent, layout::kQuietInk);
    set(QPalette::Link, layout::kAccentBright, layout::kQuietInk);
    set(QPalette::LinkVisited, layout::kAccentOrange, layout::kQuietInk);
    set(QPalette::ToolTipBase, layout::kMenuBackground, layout::kMenuBackground);
    set(QPalette::ToolTipText, layout::kMenuText, layout::kQuietInk);
    return colours;
}

bool isStandardDialog(const QWidget& widget) {
    return qobject_cast<const QMessageBox*>(&widget) != nullptr ||
           qobject_cast<const QFileDialog*>(&widget) != nullptr ||
           qobject_cast<const QColorDialog*>(&widget) != nullptr ||
           qobject_cast<const QInputDialog*>(&widget) != nullptr ||
           qobject_cast<const QProgressDialog*>(&widget) != nullptr ||
           qobject_cast<const QMenu*>(&widget) != nullptr;
}

CStandardDialogLook::CStandardDialogLook() : m_palette(standardDialogPalette()) {
    watchApplication();
}

void CStandardDialogLook::watchApplication() {
    // Built before the application object (as some tests build the program's
    // parts), it starts watching once there is one.
    if (!m_watching && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(this);
        m_watching = true;
    }
}

CStandardDialogLook::~CStandardDialogLook() {
    if (m_installed) {
        QCoreApplication::removeTranslator(&m_qtBase);
    }
}

bool CStandardDialogLook::useLanguage(text::Language language, const QString& folder) {
    watchApplication();
    if (language == text::Language::English) {
        if (m_installed) {
            QCoreApplication::removeTranslator(&m_qtBase);
            m_installed = false;
        }
        return true;
    }
    if (m_installed) {
        return true;
    }
    const QString from =
        folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    if (QCoreApplication::instance() == nullptr ||
        !m_qtBase.load(QStringLiteral("qtbase_zh_CN"), from)) {
        return false;
    }
    m_installed = QCoreApplication::installTranslator(&m_qtBase);
    return m_installed;
}

bool CStandardDialogLook::eventFilter(QObject* watched, QEvent* event) {
    // Polish comes once, before a widget is first shown; its children take the
    // palette from it. A menu that has a style sheet of its own keeps it.
    if (event->type() == QEvent::Polish && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && isStandardDialog(*widget) && widget->styleSheet().isEmpty()) {
            widget->setPalette(m_palette);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace talvik::shell
