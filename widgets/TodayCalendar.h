#pragma once

#include <QCalendarWidget>
#include <QDate>
#include <functional>

class QPushButton;

// A drop-down calendar with a "Днес" button under the month: the button picks
// today's date as a click on that day would.
class TodayCalendar : public QCalendarWidget {
    Q_OBJECT

public:
    // today gives the day the button picks.
    explicit TodayCalendar(std::function<QDate()> today, QWidget* parent = nullptr);

private:
    void pickToday();

    std::function<QDate()> m_today;
    QPushButton* m_todayButton = nullptr;
};
