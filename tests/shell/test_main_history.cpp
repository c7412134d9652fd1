// The main window's edit history on the offscreen platform: what each command leaves to
// undo, the keys that undo and redo, what the information box and the right-click menu
// say, and the depth of the history.

#include "MainWindowFixture.h"

#include "support/TestSupport.h"
#include "talvik/layout/SkinLayout.h"

#include <QFileInfo>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

using namespace talvik::model;
using talvik::test::CMainWindowFixture;
namespace id = talvik::layout::main_id;

namespace {

constexpr int kVolumeUpCode = 113;

// The element slot of the key with this English caption.
int slotOf(CMainWindowFixture& f, const char* caption) {
    auto& elements = f.dlg().elements();
    for (std::size_t slot = 0; slot < elements.size(); ++slot) {
        if (elements[slot].id >= id::FirstKey &&
            elements[slot].caption(talvik::text::Language::English) == QLatin1String(caption)) {
            return static_cast<int>(slot);
        }
    }
    return -1;
}

// A key settings dialog that gives the edited key on the shown layer `code` in `mode`.
void answerKeySettingsWith(CMainWindowFixture& f, KeyMode mode, int code) {
    talvik::shell::CMainWindowDialogs dialogs;
    dialogs.keySettings = [&f, mode, code] {
        f.state.keyConfig.Mode[f.state.editKey][f.state.editLevel] = mode;
        f.state.keyConfig.HWCode[f.state.editKey][f.state.editLevel] = code;
        return true;
    };
    f.dlg().setDialogs(dialogs);
}

void press(CMainWindowFixture& f, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(&f.dlg(), key, modifiers);
}

QString infoText(CMainWindowFixture& f) {
    f.dlg().renderCanvas();
    return f.dlg().infoBox().text();
}

QStringList menuEntries(QMenu& menu) {
    QStringList entries;
    for (QAction* action : menu.actions()) {
        entries << (action->isEnabled() ? QString() : QStringLiteral("(off) ")) + action->text();
    }
    return entries;
}

} // namespace

TEST(MainHistory, ClearIsUndoneAndRedoneFromTheKeys) {
    CMainWindowFixture f(1);
    ASSERT_TRUE(f.initialised);
    f.dlg().show();
    f.dlg().runCommand(id::Language, 0); // English
    const int q = slotOf(f, "Q");
    ASSERT_GE(q, 0);
    const int key = f.dlg().elements()[static_cast<std::size_t>(q)].keyIndex;
    answerKeySettingsWith(f, KeyMode::Multimedia, kVolumeUpCode);

    f.dlg().runCommand(f.dlg().elements()[static_cast<std::size_t>(q)].id, q);
    ASSERT_EQ(f.state.keyConfig.HWCode[key][0], kVolumeUpCode);
    f.dlg().runCommand(id::ClearConfig, 7);
    ASSERT_NE(f.state.keyConfig.HWCode[key][0], kVolumeUpCode);
    f.state.modified = 0;

    press(f, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.state.keyConfig.HWCode[key][0], kVolumeUpCode);
    EXPECT_EQ(f.state.keyConfig.Mode[key][0], KeyMode::Multimedia);
    EXPECT_EQ(f.state.modified, 1) << "an undo that changes key settings leaves them unwritten";
    EXPECT_TRUE(infoText(f).endsWith(QStringLiteral("Undone: Clear configuration")))
        << infoText(f).toStdString();

    press(f, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NE(f.state.keyConfig.HWCode[key][0], kVolumeUpCode);
    EXPECT_TRUE(infoText(f).endsWith(QStringLiteral("Redone: Clear configuration")));

    press(f, Qt::Key_Z, Qt::ControlModifier);
    press(f, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.state.keyConfig.Mode[key][0], KeyMode::Single) << "the key's own step undone";
    EXPECT_TRUE(infoText(f).endsWith(QStringLiteral("Undone: Key Q")));
    press(f, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(f.state.keyConfig.HWCode[key][0], kVolumeUpCode);
}

TEST(MainHistory, OpenIsUndoneToWhatItReplaced) {
    talvik::test::CTempDir dir;
    CMainWindowFixture f(2);
    f.dlg().show();
    const QString path = QString::fromStdString((dir.path() / "cleared.pro").string());
    f.paths = {path};
    f.dlg().runCommand(id::SaveProfile, 5);
    f.state.keyConfig.Mode[30][1] = KeyMode::Macro;
    f.state.keyConfig.ComboKey[30][1].append("A Down");
    f.state.keyConfig.LightAreas[30] = {1, 2, 3};
    const CKeyConfig mine = f.state.keyConfig;

    f.paths = {path};
    f.dlg().runCommand(id::OpenProfile, 6);
    ASSERT_NE(f.state.keyConfig.Mode[30][1], KeyMode::Macro);
    f.dlg().undo();
    CListPool pool;
    EXPECT_TRUE(CConfigChange::between(mine, f.state.keyConfig, pool).empty())
        << "keys, lists and colours as they were before the open";
    EXPECT_TRUE(infoText(f).endsWith(QStringLiteral("已撤销：打开配置文件")))
        << "told in the language shown";
    f.dlg().runCommand(id::Language, 0);
    EXPECT_TRUE(infoText(f).endsWith(QStringLiteral("Undone: Open profile")))
        << "and in the other one once the user switches";
}

TEST(MainHistory, AHundredStepsUndoInOrderAndNothingEmptyIsAStep) {
    CMainWindowFixture f(1);
    f.dlg().show();
    f.dlg().runCommand(id::ClearConfig, 7);
    EXPECT_EQ(f.dlg().history().count(), 0)
        << "a clear of the factory configuration changes nothing";

    const int q = slotOf(f, "Q");
    const int key = f.dlg().elements()[static_cast<std::size_t>(q)].keyIndex;
    for (int step = 1; step <= talvik::shell::CEditHistory::kDepth + 5; ++step) {
        answerKeySettingsWith(f, KeyMode::Multimedia, step);
        f.dlg().runCommand(f.dlg().elements()[static_cast<std::size_t>(q)].id, q);
    }
    EXPECT_EQ(f.dlg().history().count(), talvik::shell::CEditHistory::kDepth);
    for (int step = talvik::shell::CEditHistory::kDepth + 4; step >= 5; --step) {
        f.dlg().undo();
        ASSERT_EQ(f.state.keyConfig.HWCode[key][0], step) << "undo in the order of the steps";
    }
    EXPECT_FALSE(f.dlg().history().canUndo()) << "the oldest steps beyond the depth are gone";
}

TEST(MainHistory, TheRightClickMenuOffTheKeysNamesTheStepsAndGreysWhatCannotBeDone) {
    CMainWindowFixture f(1);
    f.dlg().show();
    const int q = slotOf(f, "Q");
    const auto& keyRect = f.dlg().elements()[static_cast<std::size_t>(q)].rect;
    f.dlg().openContextMenu(
        QPoint((keyRect.left + keyRect.right) / 2, (keyRect.top + keyRect.bottom) / 2));
    EXPECT_EQ(f.dlg().contextMenu(), nullptr) << "a right-click on a key opens no menu";

    f.dlg().openContextMenu(QPoint(5, 300));
    ASSERT_NE(f.dlg().contextMenu(), nullptr);
    EXPECT_EQ(menuEntries(*f.dlg().contextMenu()),
              (QStringList{QStringLiteral("(off) 撤销"), QStringLiteral("(off) 重做"), QString(),
                           QStringLiteral("(off) 热度图"), QStringLiteral("(off) 热度图起点"),
                           QStringLiteral("(off) 导出计数..."), QString(),
                           QStringLiteral("恢复备份..."), QStringLiteral("打开备份文件夹")}));
    f.dlg().contextMenu()->close();

    answerKeySettingsWith(f, KeyMode::Multimedia, kVolumeUpCode);
    f.dlg().runCommand(f.dlg().elements()[static_cast<std::size_t>(q)].id, q);
    f.dlg().runCommand(id::Language, 0);
    f.dlg().openContextMenu(QPoint(5, 300));
    EXPECT_EQ(menuEntries(*f.dlg().contextMenu()),
              (QStringList{QStringLiteral("Undo Key Q"), QStringLiteral("(off) Redo"), QString(),
                           QStringLiteral("(off) Heatmap"), QStringLiteral("(off) Heatmap since"),
                           QStringLiteral("(off) Export counters..."), QString(),
                           QStringLiteral("Restore a backup..."),
                           QStringLiteral("Open the backups folder")}));
    f.dlg().contextMenu()->actions().front()->trigger();
    EXPECT_NE(f.state.keyConfig.HWCode[f.dlg().elements()[static_cast<std::size_t>(q)].keyIndex][0],
              kVolumeUpCode);
    f.dlg().contextMenu()->close();
    f.dlg().openContextMenu(QPoint(5, 300));
    EXPECT_EQ(menuEntries(*f.dlg().contextMenu()),
              (QStringList{QStringLiteral("(off) Undo"), QStringLiteral("Redo Key Q"), QString(),
                           QStringLiteral("(off) Heatmap"), QStringLiteral("(off) Heatmap since"),
                           QStringLiteral("(off) Export counters..."), QString(),
                           QStringLiteral("Restore a backup..."),
                           QStringLiteral("Open the backups folder")}));
}

// A backup is restored as a profile is opened, from the backup folder and as one step; the
// folder opens in the desktop's file manager, made first when there is none yet.
TEST(MainHistory, TheMenuRestoresABackupAsOneStepAndOpensTheBackupsFolder) {
    talvik::test::CTempDir dir;
    const QByteArray home = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir.path().string()));
    CMainWindowFixture f(1);
    f.dlg().show();
    const QString backup = QString::fromStdString((dir.path() / "backup.pro").string());
    f.state.keyConfig.Mode[20][0] = KeyMode::Power;
    f.paths = {backup};
    f.dlg().runCommand(id::SaveProfile, 5);
    f.dlg().runCommand(id::ClearConfig, 7);

    f.dlg().openContextMenu(QPoint(5, 300));
    f.paths = {backup};
    f.dlg().contextMenu()->actions()[7]->trigger();
    EXPECT_EQ(f.fileDialogs.back(), talvik::shell::COrsaDlg::EFileDialog::Restore);
    EXPECT_EQ(f.state.keyConfig.Mode[20][0], KeyMode::Power);
    ASSERT_TRUE(f.dlg().history().nextUndo());
    EXPECT_EQ(f.dlg().history().nextUndo()->english, QStringLiteral("Restore backup"));

    f.dlg().contextMenu()->actions()[8]->trigger();
    const QString folder = QString::fromStdString((dir.path() / "talvik" / "backups").string());
    ASSERT_EQ(f.opened.size(), 1);
    EXPECT_EQ(f.opened.front(), QUrl::fromLocalFile(folder));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    f.openerWorks = false;
    f.dlg().contextMenu()->actions()[8]->trigger();
    ASSERT_FALSE(f.notices.isEmpty());
    EXPECT_TRUE(f.notices.back().contains(QStringLiteral("备份文件夹"))) << "said, not lost";
    qputenv("XDG_DATA_HOME", home);
}
