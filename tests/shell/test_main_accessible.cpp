// What assistive technology sees of the main window through Qt's
// accessibility interfaces: every button and key by name in the current
// language, the switches with their state, and a press that acts as a click.

#include "AccessibleEvents.h"
#include "MainWindowFixture.h"

#include "talvik/layout/SkinLayout.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using talvik::test::CMainWindowFixture;
using talvik::test::waitFor;
using talvik::text::Language;

namespace {

namespace id = talvik::layout::main_id;

// The window's accessible children by name, with their roles.
std::map<QString, QAccessibleInterface*> childrenByName(QAccessibleInterface& window) {
    std::map<QString, QAccessibleInterface*> children;
    for (int i = 0; i < window.childCount(); ++i) {
        QAccessibleInterface* child = window.child(i);
        if (child != nullptr) {
            children[child->text(QAccessible::Name)] = child;
        }
    }
    return children;
}

} // namespace

TEST(MainAccessible, ButtonsKeysAndSwitchesByNameInTheCurrentLanguage) {
    CMainWindowFixture f(1);
    ASSERT_TRUE(f.initialised);
    f.state.language = Language::Chinese;
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&f.dlg());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Dialog);

    int buttons = 0;
    int keys = 0;
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface* child = window->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(window->indexOfChild(child), i);
        EXPECT_EQ(child->parent(), window);
        if (child->role() == QAccessible::Button) {
            ++buttons;
            keys += child->text(QAccessible::Name).contains(QStringLiteral("顶层键")) ? 1 : 0;
            EXPECT_FALSE(child->text(QAccessible::Name).isEmpty()) << i;
        }
    }
    EXPECT_EQ(keys, talvik::layout::kKeyCount);
    EXPECT_EQ(buttons, talvik::layout::kKeyCount + 13);

    auto children = childrenByName(*window);
    ASSERT_TRUE(children.count(QStringLiteral("写入按键")));
    ASSERT_TRUE(children.count(QStringLiteral("Q, 顶层键：单键 Q")))
        << "a key says what it does on the layer shown";
    QAccessibleInterface* layer = children.at(QStringLiteral("Fn组合层"));
    EXPECT_TRUE(layer->state().checkable);
    EXPECT_FALSE(layer->state().checked);

    // A press is a click, after the call: the layer switches, and the keys
    // then speak of the Fn layer.
    auto* press = layer->actionInterface();
    ASSERT_NE(press, nullptr);
    press->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitFor([&] { return f.state.editLevel == 1; }));
    EXPECT_TRUE(layer->state().checked);
    EXPECT_TRUE(childrenByName(*window).count(QStringLiteral("Q, FN组合键：未设置")) ||
                childrenByName(*window).count(QStringLiteral("Q, FN组合键：单键 Q")));

    // The language button: the names follow the language.
    auto* language = children.at(QStringLiteral("English"))->actionInterface();
    language->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitFor([&] { return f.state.language == Language::English; }));
    children = childrenByName(*window);
    EXPECT_TRUE(children.count(QStringLiteral("WriteKeys")));
    EXPECT_TRUE(children.count(QStringLiteral("简体中文")));

    // The rectangle of a key is where the key is on the screen.
    QAccessibleInterface* q = nullptr;
    for (const auto& [name, child] : children) {
        if (name.startsWith(QStringLiteral("Q, "))) {
            q = child;
        }
    }
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(window->childAt(q->rect().center().x(), q->rect().center().y()), q);
}

namespace {

void press(QWidget& w, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(&w, &event);
}

bool contains(const std::vector<QString>& names, const QString& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

// Tab and the arrows tell a screen reader where the focus went, and the
// element there says it is focused; the layer switch tells of its new state
// and the keys of their new names.
TEST(MainAccessible, FocusMovesAndSwitchesAreToldAsTheyHappen) {
    CMainWindowFixture f(1);
    ASSERT_TRUE(f.initialised);
    f.state.language = Language::Chinese;
    f.dlg().show();
    f.dlg().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.dlg()));
    talvik::test::CAccessibleEvents events;
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&f.dlg());
    auto children = childrenByName(*window);

    press(f.dlg(), Qt::Key_Tab);
    const std::vector<QString> focused = events.namesOf(QAccessible::Focus);
    ASSERT_FALSE(focused.empty());
    EXPECT_EQ(focused.back(), QStringLiteral("最小化")) << "the last word is the element";
    QAccessibleInterface* minimise = children.at(QStringLiteral("最小化"));
    EXPECT_TRUE(minimise->state().focused);
    EXPECT_EQ(window->focusChild(), minimise);

    events.clear();
    press(f.dlg(), Qt::Key_Backtab, Qt::ShiftModifier); // round to the keys, at Esc
    press(f.dlg(), Qt::Key_Right);
    ASSERT_EQ(events.namesOf(QAccessible::Focus).size(), 2u);
    EXPECT_TRUE(events.namesOf(QAccessible::Focus).back().startsWith(QStringLiteral("F1, 顶层键")));
    EXPECT_FALSE(minimise->state().focused);
    EXPECT_TRUE(window->focusChild()->state().focused);

    events.clear();
    children.at(QStringLiteral("Fn组合层"))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitFor([&] { return f.state.editLevel == 1; }));
    EXPECT_EQ(events.namesOf(QAccessible::StateChanged),
              std::vector<QString>{QStringLiteral("Fn组合层")});
    const std::vector<QString> renamed = events.namesOf(QAccessible::NameChanged);
    EXPECT_TRUE(contains(renamed, QStringLiteral("Q, FN组合键：未设置")) ||
                contains(renamed, QStringLiteral("Q, FN组合键：单键 Q")));
}
