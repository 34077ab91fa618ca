#include "widgets/BulgarianDates.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QLocale>

void showBulgarianDateNames(QDateEdit* editor) {
    const QLocale bulgarian(QLocale::Bulgarian, QLocale::Bulgaria);
    editor->setLocale(bulgarian);
    if (QCalendarWidget* calendar = editor->calendarWidget())
        calendar->setLocale(bulgarian);
}
