#include "widgets/DateEdit.h"

#include <QKeyEvent>

DateEdit::DateEdit(QWidget* parent) : QDateEdit(parent) {
    connect(this, &QDateEdit::dateChanged, this, [this] {
        if (hasFocus())
            m_pending = true;
        else
            emit dateChosen();
    });
    connect(this, &QAbstractSpinBox::editingFinished, this, &DateEdit::finishTyping);
}

void DateEdit::finishTyping() {
    interpretText();
    m_advanced = false;
    if (!m_pending)
        return;
    m_pending = false;
    emit dateChosen();
}

void DateEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool separator = text.size() == 1 && text.at(0).isPunct();
    if (separator && m_advanced) {
        m_advanced = false;
        event->accept();
        return;
    }
    const Section before = currentSection();
    QDateEdit::keyPressEvent(event);
    m_advanced = text.size() == 1 && text.at(0).isDigit() && currentSection() != before;
}
