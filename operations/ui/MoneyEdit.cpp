#include "operations/ui/MoneyEdit.h"

#include "core/Formats.h"
#include "operations/ui/MoneyValidator.h"

#include <QFocusEvent>
#include <algorithm>

MoneyEdit::MoneyEdit(QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setValidator(new MoneyValidator(this));
    // 999 999 999.99 with its blanks and a sign.
    setMaxLength(20);
    setValue(0);
}

money::Cents MoneyEdit::value() const {
    qint64 cents = 0;
    if (!formats::parseMoney(text(), &cents))
        return 0;
    return cents;
}

void MoneyEdit::setValue(money::Cents cents) {
    setText(formats::moneyCents(bounded(cents)));
}

void MoneyEdit::setRange(money::Cents minimum, money::Cents maximum) {
    m_min = std::min(minimum, maximum);
    m_max = std::max(minimum, maximum);
    if (hasRange())
        setValue(value());
}

void MoneyEdit::normalize() {
    setValue(value());
}

money::Cents MoneyEdit::bounded(money::Cents cents) const {
    cents = std::clamp(cents, -money::kMaxCents, money::kMaxCents);
    if (hasRange())
        cents = std::clamp(cents, m_min, m_max);
    return cents;
}

void MoneyEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        normalize();
}
