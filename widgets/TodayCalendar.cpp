#include "widgets/TodayCalendar.h"

#include <QBoxLayout>
#include <QPushButton>

TodayCalendar::TodayCalendar(std::function<QDate()> today, QWidget* parent)
    : QCalendarWidget(parent), m_today(std::move(today)) {
    m_todayButton = new QPushButton(QStringLiteral("Днес"), this);
    m_todayButton->setObjectName(QStringLiteral("btnToday"));
    m_todayButton->setAutoDefault(false);
    m_todayButton->setFocusPolicy(Qt::TabFocus);
    // The calendar's own layout holds the navigation bar over the month.
    if (auto* box = qobject_cast<QBoxLayout*>(layout()))
        box->addWidget(m_todayButton, 0, Qt::AlignHCenter);
    connect(m_todayButton, &QPushButton::clicked, this, &TodayCalendar::pickToday);
}

void TodayCalendar::pickToday() {
    const QDate day = m_today ? m_today() : QDate::currentDate();
    setSelectedDate(day);
    // The date editor takes a clicked day and closes its drop-down.
    emit clicked(day);
}
