#include "widgets/WholeCharacters.h"

#include <QLineEdit>

void keepWholeCharacters(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
        QString whole;
        whole.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                whole.append(c);
                whole.append(text.at(++i));
            } else if (!c.isSurrogate()) {
                whole.append(c);
            }
        }
        if (whole.size() == text.size())
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(whole);
        edit->setCursorPosition(qMin<int>(cursor, int(whole.size())));
    });
}
