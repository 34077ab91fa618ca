#pragma once

#include <QValidator>

// Lets a clerk type an amount of leva: digits, one "." or "," with at most
// two decimals, blanks between digit groups and a leading sign. Anything
// else, and amounts beyond the program's largest, is refused as typed.
class MoneyValidator : public QValidator {
    Q_OBJECT
public:
    explicit MoneyValidator(QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;
};
