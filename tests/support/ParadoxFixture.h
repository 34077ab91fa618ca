#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

// Writes Paradox tables with pxlib's own writer, as the suite's old books
// would hold them: text converted to a code page (1251 unless told) and cut
// to the field's length in bytes, a null value written as Paradox's blank.
// Values by field kind: QString (alpha), QDate, QTime, int/qint64 (short,
// long, autoincrement), double (number, currency), bool (logical).
namespace paradoxfixture {

struct Field {
    QString name;
    char kind;      // pxlib's field kind (pxfAlpha, pxfDate, ...)
    int length = 0; // bytes; 0 for the kind's own size
    int decimals = 0;
};

class TableWriter {
public:
    TableWriter();
    ~TableWriter();
    // bulk: for big tables, the records (still encoded by pxlib) go into
    // 32 KB blocks laid out here, since pxlib's own writer walks the whole
    // block chain for every record it adds.
    bool open(const QString& path, const QList<Field>& fields, int codePage = 1251, bool bulk = false);
    bool add(const QVariantList& row);
    void close();
    QString error() const { return m_error; }

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    QString m_error;
};

// A whole table at once; false with *error.
bool writeTable(const QString& path, const QList<Field>& fields, const QList<QVariantList>& rows, QString* error,
                int codePage = 1251);

} // namespace paradoxfixture
