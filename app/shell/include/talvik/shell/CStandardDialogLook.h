#pragma once

// Qt's own windows in Talvik's look and language: every message box, file
// dialog, colour dialog, input dialog and menu that Qt draws gets the skin's
// dark palette as it is polished, and Qt's translations of its buttons and
// dialogs follow the program's language ("是"/"否"/"确定"/"取消" in Chinese).
// The program's own texts never go through Qt's translations.

#include "talvik/text/Language.h"

#include <QObject>
#include <QPalette>
#include <QString>
#include <QTranslator>

class QWidget;

namespace talvik::shell {

// The dark palette of the standard dialogs, from the skin's palette.
QPalette standardDialogPalette();

// Whether `widget` is one of the windows Qt draws itself that take the palette.
bool isStandardDialog(const QWidget& widget);

class CStandardDialogLook : public QObject {
public:
    // Watches the application for standard dialogs; there is one while the program runs.
    CStandardDialogLook();
    ~CStandardDialogLook() override;
    CStandardDialogLook(const CStandardDialogLook&) = delete;
    CStandardDialogLook& operator=(const CStandardDialogLook&) = delete;

    // Qt's translations for `language`: Chinese loads qtbase_zh_CN from Qt's
    // translations folder (or `folder`, when given), English takes them away.
    // False when the Chinese file was not found; Qt's English stays then.
    bool useLanguage(text::Language language, const QString& folder = {});
    bool translating() const { return m_installed; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchApplication();

    QTranslator m_qtBase;
    bool m_watching = false;
    bool m_installed = false;
    QPalette m_palette;
};

} // namespace talvik::shell
