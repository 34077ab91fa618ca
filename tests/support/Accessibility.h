#pragma once

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextEdit>
#include <QWidget>

// The controls under root that a screen reader (or a test working through
// accessibility) finds without a name: inputs without a label or an
// accessible name, buttons without a caption. Hidden controls and Qt's own
// inner parts (the editor inside a combo or spin box) are left out.
inline QStringList unnamedControls(QWidget* root) {
    QStringList out;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        const bool control = qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
                             qobject_cast<QComboBox*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
                             qobject_cast<QTextEdit*>(w) || qobject_cast<QAbstractButton*>(w);
        if (!control)
            continue;
        QWidget* owner = w->parentWidget();
        if (qobject_cast<QLineEdit*>(w) && (qobject_cast<QComboBox*>(owner) || qobject_cast<QAbstractSpinBox*>(owner)))
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            out << (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName());
    }
    return out;
}
