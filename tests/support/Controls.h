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

inline QLineEdit* edit(const auto& window, const char* name) {
    return control<QLineEdit>(window, name);
}
inline QPushButton* button(const auto& window, const char* name) {
    return control<QPushButton>(window, name);
}
inline QCheckBox* check(const auto& window, const char* name) {
    return control<QCheckBox>(window, name);
}
inline QComboBox* combo(const auto& window, const char* name) {
    return control<QComboBox>(window, name);
}
inline QLabel* label(const auto& window, const char* name) {
    return control<QLabel>(window, name);
}
inline QAction* action(const auto& window, const char* name) {
    return control<QAction>(window, name);
}

} // namespace ui
