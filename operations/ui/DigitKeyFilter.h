#pragma once

#include <QObject>

class QKeyEvent;
class QLineEdit;

// Key filter of the personal number and identity card fields: a typed
// character gets through only when it is a digit 0 to 9 or Backspace; every
// other printable character is swallowed. Keys without text (arrows, Delete),
// Tab, Enter, Escape and shortcuts keep working; pasted text is held to digits by a validator.
class DigitKeyFilter : public QObject {
    Q_OBJECT
public:
    explicit DigitKeyFilter(QObject* parent = nullptr);

    // Installs the filter and the digits-only validator on edit.
    void attach(QLineEdit* edit);

    static bool letThrough(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
