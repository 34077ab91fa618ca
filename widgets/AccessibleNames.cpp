#include "widgets/AccessibleNames.h"

#include <QLabel>
#include <QWidget>

namespace accessible {

void nameFromBuddies(QWidget* root) {
    for (QLabel* label : root->findChildren<QLabel*>()) {
        QWidget* field = label->buddy();
        if (!field || !field->accessibleName().isEmpty())
            continue;
        QString text = label->text();
        text.remove(QLatin1Char('&'));
        text = text.trimmed();
        if (text.endsWith(QLatin1Char(':')))
            text.chop(1);
        field->setAccessibleName(text);
    }
}

} // namespace accessible
