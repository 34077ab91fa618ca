#pragma once

#include <QHash>
#include <QString>

// Figures of one Paradox table read on their own, apart from the import:
// through pxlib's value reader (not the import's decoding of the record
// bytes), so that the check after the import compares two readings.
struct SourceFigures {
    bool ok = false;
    qint64 rows = 0;
    QHash<int, qint64> stotinki; // per money field (by field number): the sum in stotinki
};

SourceFigures sourceFigures(const QString& path, QString* error);
