// What assistive technology sees of the main window through Qt's
// accessibility interfaces: every button and key by name in the current
// language, the switches with their state, and a press that acts as a click.

#include "MainWindowFixture.h"

#include "talvik/layout/SkinLayout.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <gtest/gtest.h>

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
