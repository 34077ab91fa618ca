#include "operations/ui/DialogSupport.h"

#include "operations/Operations.h"
#include "widgets/MessageService.h"

#include <QDialog>
#include <QLineEdit>

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

} // namespace dialogs
