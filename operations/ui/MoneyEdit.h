#pragma once

#include "core/Money.h"

#include <QLineEdit>

// A currency editor: right-aligned, two decimals shown with ".", a comma and
// blanks accepted while typing, text that is not an amount refused. An
// optional range brings a value outside it to the nearer bound when it is set
// and when the editor is left; a range whose bounds are equal is off.
class MoneyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MoneyEdit(QWidget* parent = nullptr);

    // The amount shown; 0 for an empty editor or a lone sign.
    money::Cents value() const;
    void setValue(money::Cents cents);

    void setRange(money::Cents minimum, money::Cents maximum);
    bool hasRange() const { return m_min != m_max; }
    money::Cents minimum() const { return m_min; }
    money::Cents maximum() const { return m_max; }

    // Takes what was typed: brings it into the range and shows it with two
    // decimals (as leaving the editor does).
    void normalize();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    money::Cents bounded(money::Cents cents) const;

    money::Cents m_min = 0;
    money::Cents m_max = 0;
};
