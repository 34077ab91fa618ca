#pragma once

#include <QString>

class QMimeData;
class QObject;

// What travels in a drag between the parts of one grid: a header column, a
// group-panel chip, or a column of the column chooser. The owner's address is
// part of the payload so that one grid never takes another grid's columns.
class GridDrag {
public:
    enum class Kind { None, Column, Group };

    static QMimeData* make(Kind kind, const QObject* owner, int column);
    // The column carried, or -1 when the data is not of this kind or owner.
    static int column(const QMimeData* data, Kind kind, const QObject* owner);

private:
    static QString mimeType(Kind kind);
};
