#include "widgets/GridDrag.h"

#include <QMimeData>

QString GridDrag::mimeType(Kind kind) {
    return kind == Kind::Group ? QStringLiteral("application/x-resale-grid-group")
                               : QStringLiteral("application/x-resale-grid-column");
}

QMimeData* GridDrag::make(Kind kind, const QObject* owner, int column) {
    auto* data = new QMimeData;
    data->setData(mimeType(kind), QByteArray::number(quintptr(owner)) + ':' + QByteArray::number(column));
    return data;
}

int GridDrag::column(const QMimeData* data, Kind kind, const QObject* owner) {
    if (!data || !data->hasFormat(mimeType(kind)))
        return -1;
    const QList<QByteArray> parts = data->data(mimeType(kind)).split(':');
    if (parts.size() != 2 || parts[0].toULongLong() != quintptr(owner))
        return -1;
    bool ok = false;
    const int column = parts[1].toInt(&ok);
    return ok ? column : -1;
}
