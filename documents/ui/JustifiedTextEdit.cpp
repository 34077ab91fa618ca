#include "documents/ui/JustifiedTextEdit.h"

#include <QTextBlockFormat>
#include <QTextCursor>

JustifiedTextEdit::JustifiedTextEdit(QWidget* parent) : QTextEdit(parent) {}

void JustifiedTextEdit::setupJustification() {
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        cursor.select(QTextCursor::Document);
    // Qt lays justified paragraphs out justified without further set-up.
    QTextBlockFormat format;
    format.setAlignment(Qt::AlignJustify);
    cursor.mergeBlockFormat(format);
    cursor.movePosition(QTextCursor::Start);
    setTextCursor(cursor);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WordWrap);
}
