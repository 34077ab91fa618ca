#include "operations/ui/DigitKeyFilter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

DigitKeyFilter::DigitKeyFilter(QObject* parent) : QObject(parent) {}

void DigitKeyFilter::attach(QLineEdit* edit) {
    edit->installEventFilter(this);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

bool DigitKeyFilter::letThrough(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Backspace)
        return true;
    // Shortcuts (copy, paste, select all) are not typed characters.
    if (event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return true;
    const QString text = event.text();
    if (text.isEmpty())
        return true;
    for (const QChar c : text) {
        // Tab, Enter and Escape belong to the dialog, not to the field.
        if (!c.isPrint())
            continue;
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

bool DigitKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && !letThrough(*static_cast<QKeyEvent*>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}
