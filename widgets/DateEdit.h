#pragma once

#include <QDateEdit>

// A date editor that tells when the clerk has chosen a date, not each time a
// half-typed one happens to be valid: a typed date counts once it is
// finished (Enter, Tab out of the field, leaving it); a day picked in the
// calendar or a date the program sets counts at once. A separator typed
// just after a full section has moved on to the next one is not taken as a
// second move, so "28.11.2026" types as it reads.
class DateEdit : public QDateEdit {
    Q_OBJECT

public:
    explicit DateEdit(QWidget* parent = nullptr);

    // Finishes a date being typed (a key the window takes, such as Enter,
    // ends typing too): dateChosen() follows when it changed.
    void finishTyping();

signals:
    void dateChosen();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_pending = false;  // changed by typing, not yet finished
    bool m_advanced = false; // the last digit filled its section and moved on
};
