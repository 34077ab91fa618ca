#include "operations/ui/DialogSupport.h"

#include "operations/Item.h"
#include "operations/Operations.h"
#include "widgets/MessageService.h"

#include <QDialog>
#include <QLineEdit>
#include <QStyle>

namespace dialogs {

void focusAndSelect(QLineEdit* e) {
    e->setFocus(Qt::OtherFocusReason);
    e->selectAll();
}

bool booked(QDialog* dialog, const ops::Result& r, bool* stale) {
    if (r.ok())
        return true;
    MessageService::error(dialog, r.message);
    if (r.status == ops::Status::Refused) {
        *stale = true;
        dialog->reject();
    }
    return false;
}

QLineEdit* itemLine(QWidget* parent) {
    auto* line = new QLineEdit(parent);
    line->setObjectName(QStringLiteral("eItem"));
    line->setReadOnly(true);
    line->setFocusPolicy(Qt::NoFocus);
    line->setAccessibleName(QStringLiteral("Уред"));
    return line;
}

void showItem(QLineEdit* line, const Item& item) {
    line->setText(QStringLiteral("Договор №%1, %2, %3").arg(item.dogNo).arg(item.art, item.dlvNames));
    line->setCursorPosition(0);
    // Wide enough for the whole text, within reason for a small dialog.
    const int text = line->fontMetrics().horizontalAdvance(line->text()) + 4 * line->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 12;
    line->setMinimumWidth(qBound(260, text, 640));
}

} // namespace dialogs
