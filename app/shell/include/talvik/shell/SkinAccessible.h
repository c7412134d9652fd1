#pragma once

// What screen readers and other assistive technology learn of a skinned
// window. The window is one picture to Qt; its elements become accessible
// objects of their own here: each with a role, a name in the current
// language, its state and a press action that runs the same dispatch as a
// click. The window says what each element is (CSkinWindow::accessOf).

#include <QAccessible>
#include <QRect>
#include <QString>

namespace talvik::shell {

class CSkinWindow;

// What a screen reader is told about one element. NoRole keeps the element
// out of the accessible tree (decoration, labels that a named element
// already says).
struct SElementAccess {
    QAccessible::Role role = QAccessible::NoRole;
    QString name;
    QString description;
    bool checkable = false;
    bool checked = false;
};

// A bar the window paints (not an element) that shows how far a job has
// come.
struct SMeterAccess {
    QString name;
    QString description;
    QRect rect;      // window pixels
    int percent = 0; // 0 to 100
};

// Makes the skinned windows' elements accessible. Called once, before the
// first window is shown; calling it again changes nothing.
void installSkinAccessibility();

// Tells assistive technology that the names of `window`'s elements have
// changed (the language switch), so that a screen reader reads them anew.
void announceNamesChanged(CSkinWindow& window);

// Tells assistive technology that element `index` of `window` has the
// keyboard's focus now.
void announceFocus(CSkinWindow& window, int index);

// Tells assistive technology that the value of `window`'s bar has changed.
void announceMeterChanged(CSkinWindow& window);

// Tells assistive technology that element `index` of `window` was checked or
// unchecked (a switch turned).
void announceCheckedChanged(CSkinWindow& window, int index);

} // namespace talvik::shell
