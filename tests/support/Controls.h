#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPushButton>
#include <QString>
#include <memory>

// Reaches a window's control by its object name, the name a support person
// and the clerks' manual know it by, instead of through the window's members.
// A control that is not there stops the test program and names it: a changed
// object name is a fault to mend, not a test to skip.
namespace ui {

inline const QObject* object(const QObject* window) {
    return window;
}
template <class W> const QObject* object(const std::unique_ptr<W>& window) {
    return window.get();
}

template <class T> T* control(const auto& window, const char* name) {
    const QObject* w = object(window);
    T* found = w->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("%s has no %s named \"%s\"", qPrintable(w->objectName()), T::staticMetaObject.className(), name);
    return found;
}

// The usual kinds by their own names: ui::edit(dialog, "eNames"), ui::button(dialog, "btnOk").
template <class T> struct Finder {
    T* operator()(const auto& window, const char* name) const { return control<T>(window, name); }
};
inline constexpr Finder<QLineEdit> edit;
inline constexpr Finder<QPushButton> button;
inline constexpr Finder<QCheckBox> check;
inline constexpr Finder<QComboBox> combo;
inline constexpr Finder<QLabel> label;
inline constexpr Finder<QAction> action;

} // namespace ui
