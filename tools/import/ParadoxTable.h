#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringDecoder>
#include <QTime>
#include <QVariant>

struct px_doc;

// One table of the suite's old Paradox books, read record by record through
// pxlib. Values come out decoded from the bytes of the record: text from the
// table's code page, numbers and dates from Paradox's own encoding, and a
// blank (all zero bytes) as a null value, which pxlib alone does not tell
// from zero.
class ParadoxTable {
public:
    // Paradox field kinds, as the file header numbers them.
    enum Kind : char {
        Alpha = 0x01,
        Date = 0x02,
        Short = 0x03,
        Long = 0x04,
        Currency = 0x05,
        Number = 0x06,
        Logical = 0x09,
        Memo = 0x0C,
        Blob = 0x0D,
        FormattedMemo = 0x0E,
        Ole = 0x0F,
        Graphic = 0x10,
        Time = 0x14,
        Timestamp = 0x15,
        AutoIncrement = 0x16,
        Bcd = 0x17,
        Bytes = 0x18,
    };

    struct Field {
        QString name;
        char kind = 0;
        int length = 0; // bytes in the record
        int decimals = 0;
        int offset = 0; // within the record
    };

    ParadoxTable() = default;
    ~ParadoxTable();
    ParadoxTable(const ParadoxTable&) = delete;
    ParadoxTable& operator=(const ParadoxTable&) = delete;

    // Opens the .DB file (and its .MB memo file beside it, when there is
    // one). False with *error in words when the file is not a whole,
    // readable Paradox table.
    bool open(const QString& path, QString* error);
    void close();

    QString path() const { return m_path; }
    const QList<Field>& fields() const { return m_fields; }
    int recordCount() const { return m_records; }
    int recordSize() const { return m_recordSize; }
    // The code page named in the header (1251 when the header names none).
    int codePage() const { return m_codePage; }
    // The autoincrement counter kept in the header.
    qint64 autoIncrementCounter() const { return m_autoInc; }

    // Reads record n (0-based) into the table's buffer; false with *error.
    bool read(int n, QString* error);
    // Field i of the record last read, as a value of its kind; null when blank.
    QVariant value(int i) const;
    // Whether field i of the record last read is blank.
    bool isBlank(int i) const;

    // A name for a field kind in words ("текст", "дата").
    static QString kindName(char kind);
    px_doc* doc() const { return m_doc; }

private:
    QString text(const char* data, int length) const;

    px_doc* m_doc = nullptr;
    QString m_path;
    QList<Field> m_fields;
    int m_records = 0;
    int m_recordSize = 0;
    int m_codePage = 1251;
    qint64 m_autoInc = 0;
    bool m_hasMemoFile = false;
    QByteArray m_record;
    mutable QStringDecoder m_decoder;
    mutable QString m_lastError;

    friend void paradoxTableError(px_doc*, int, const char*, void*);
};

// The Paradox table of that name in folder (name without extension, any
// letter case, ".db" in any case); empty when there is none.
QString findParadoxFile(const QString& folder, const QString& table);
