#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPushButton>
#include <QString>

// Reaches a window's control by its object name, the name a support person
// and the clerks' manual know it by, instead of through the window's members.
// A control that is not there stops the test program and names it: a changed
// object name is a fault to mend, not a test to skip.
namespace ui {

template <class T> T* control(const QObject* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("%s has no %s named \"%s\"", qPrintable(window->objectName()), T::staticMetaObject.className(), name);
    return found;
}

inline QLineEdit* edit(const QObject* window, const char* name) { return control<QLineEdit>(window, name); }
inline QPushButton* button(const QObject* window, const char* name) { return control<QPushButton>(window, name); }
inline QCheckBox* check(const QObject* window, const char* name) { return control<QCheckBox>(window, name); }
inline QComboBox* combo(const QObject* window, const char* name) { return control<QComboBox>(window, name); }
inline QLabel* label(const QObject* window, const char* name) { return control<QLabel>(window, name); }
inline QAction* action(const QObject* window, const char* name) { return control<QAction>(window, name); }

} // namespace ui
