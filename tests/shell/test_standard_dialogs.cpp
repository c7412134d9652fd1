// Qt's own dialogs in Talvik's look and the program's language: the dark palette
// on every kind, Qt's buttons in Chinese while the program is, and a program text
// that Qt's translations never touch.

#include "QtTestApp.h"

#include "talvik/layout/SkinPalette.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/CStandardDialogLook.h"
#include "talvik/shell/PaletteColour.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace talvik;

namespace {

QString buttonText(QMessageBox::StandardButton which) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Talvik(S)BLe"), QStringLiteral("OK!!"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
    return box.button(which)->text();
}

} // namespace

TEST(StandardDialogs, QtsButtonsFollowTheProgramsLanguageAndItsOwnTextsStay) {
    test::qtApp();
    model::CAppState state(CDeviceEnvironment::withoutDevices());
    state.language = text::Language::Chinese;
    shell::COrsaApp app(state);
    ASSERT_TRUE(app.dialogLook().translating()) << "qtbase_zh_CN.qm (qt6-translations-l10n)";
    EXPECT_TRUE(buttonText(QMessageBox::Yes).startsWith(QStringLiteral("是")));
    EXPECT_TRUE(buttonText(QMessageBox::No).startsWith(QStringLiteral("否")));
    EXPECT_EQ(buttonText(QMessageBox::Ok), QStringLiteral("确定"));
    EXPECT_EQ(buttonText(QMessageBox::Cancel), QStringLiteral("取消"));
    QMessageBox ours(QMessageBox::Warning, QStringLiteral("Talvik(S)BLe"), QStringLiteral("OK!!"));
    EXPECT_EQ(ours.text(), QStringLiteral("OK!!"))
        << "the program's texts are not Qt's to translate";

    state.language = text::Language::English;
    app.followLanguage();
    EXPECT_FALSE(app.dialogLook().translating());
    EXPECT_EQ(buttonText(QMessageBox::Yes), QStringLiteral("&Yes"));
    EXPECT_EQ(buttonText(QMessageBox::Ok), QStringLiteral("OK"));

    state.language = text::Language::Chinese;
    app.followLanguage();
    EXPECT_EQ(buttonText(QMessageBox::Ok), QStringLiteral("确定")) << "and back";

    shell::CStandardDialogLook missing;
    EXPECT_FALSE(missing.useLanguage(text::Language::Chinese, QStringLiteral("/nonexistent")))
        << "no translations: Qt's English stays, and it is said";
}

TEST(StandardDialogs, EveryKindOfQtDialogTakesTheDarkPaletteAndOurOwnWindowsDoNot) {
    test::qtApp();
    shell::CStandardDialogLook look;
    const QColor body = shell::paletteColour(layout::kBodyMiddle);
    const QColor text = shell::paletteColour(layout::kTitleText);

    QMessageBox box(QMessageBox::Information, QStringLiteral("Talvik"), QStringLiteral("OK!!"),
                    QMessageBox::Ok);
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    QColorDialog colours;
    colours.setOption(QColorDialog::DontUseNativeDialog);
    QMenu plain;
    QMenu styled;
    styled.setStyleSheet(QStringLiteral("QMenu { background: red; }"));
    QDialog ownWindow;
    const QPalette before = ownWindow.palette();
    for (QWidget* widget : std::initializer_list<QWidget*>{&box, &files, &colours, &plain}) {
        widget->ensurePolished();
        EXPECT_EQ(widget->palette().color(QPalette::Window), body)
            << widget->metaObject()->className();
        EXPECT_EQ(widget->palette().color(QPalette::WindowText), text);
    }
    // The children take it from their window: the message box's button.
    EXPECT_EQ(box.button(QMessageBox::Ok)->palette().color(QPalette::ButtonText), text);
    styled.ensurePolished();
    ownWindow.ensurePolished();
    EXPECT_NE(styled.palette().color(QPalette::Window), body) << "a style sheet of its own wins";
    EXPECT_EQ(ownWindow.palette(), before) << "the skinned windows draw themselves";
}
