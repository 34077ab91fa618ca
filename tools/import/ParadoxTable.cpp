#include "tools/import/ParadoxTable.h"

#include <QDir>
#include <QFileInfo>
#include "tools/import/Pxlib.h"

#include <cstring>

// pxlib reports its errors through a handler; the table keeps the last one
// for the message that names the file.
void paradoxTableError(px_doc*, int, const char* message, void* data) {
    auto* table = static_cast<ParadoxTable*>(data);
    if (table)
        table->m_lastError = QString::fromLocal8Bit(message).trimmed();
}

namespace {

// Paradox counts days from 1 January of the year 1; the Julian day of that
// date, less one, turns one count into the other.
constexpr qint64 kJulianDayOfDayZero = 1721425;

QString codecName(int codePage) {
    if (codePage >= 1250 && codePage <= 1258)
        return QStringLiteral("windows-%1").arg(codePage);
    return QStringLiteral("IBM%1").arg(codePage);
}

struct PxBoot {
    PxBoot() { PX_boot(); }
};

} // namespace

ParadoxTable::~ParadoxTable() {
    close();
}

void ParadoxTable::close() {
    if (m_doc) {
        PX_close(m_doc);
        PX_delete(m_doc);
        m_doc = nullptr;
    }
    m_fields.clear();
}

bool ParadoxTable::open(const QString& path, QString* error) {
    static PxBoot boot;
    close();
    m_path = path;
    const QString name = QFileInfo(path).fileName();
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(name, why);
        close();
        return false;
    };
    m_lastError.clear();
    m_doc = PX_new3(paradoxTableError, nullptr, nullptr, nullptr, this);
    if (!m_doc)
        return fail(QStringLiteral("няма памет за четене на таблицата"));
    const QByteArray file = QFile::encodeName(path);
    if (PX_open_file(m_doc, file.constData()) < 0)
        return fail(QStringLiteral("не е таблица на Paradox или не може да се прочете (%1)")
                        .arg(m_lastError.isEmpty() ? QStringLiteral("неизвестна грешка") : m_lastError));
    pxhead_t* head = m_doc->px_head;
    if (!head || head->px_filetype == pxfFileTypPrimIndex || head->px_recordsize <= 0)
        return fail(QStringLiteral("не е таблица с данни на Paradox"));
    // A table cut short (a copy broken off, a full disk) has fewer blocks
    // than its header promises: refused, rather than read as garbage.
    const qint64 blockSize = qint64(head->px_maxtablesize) * 1024;
    const qint64 expected = qint64(head->px_headersize) + qint64(head->px_fileblocks) * blockSize;
    const qint64 actual = QFileInfo(path).size();
    if (actual < expected)
        return fail(QStringLiteral("файлът е непълен: %1 байта вместо %2 (отрязан при копиране?)").arg(actual).arg(expected));
    m_records = PX_get_num_records(m_doc);
    m_recordSize = PX_get_recordsize(m_doc);
    if (m_records < 0 || qint64(m_records) * m_recordSize > qint64(head->px_fileblocks) * blockSize)
        return fail(QStringLiteral("заглавната част на файла е повредена"));
    float cp = 0;
    if (PX_get_value(m_doc, "codepage", &cp) == 0 && cp > 0)
        m_codePage = int(cp);
    else
        m_codePage = 1251;
    m_decoder = QStringDecoder(codecName(m_codePage).toLatin1().constData());
    if (!m_decoder.isValid())
        return fail(QStringLiteral("непозната кодова таблица %1").arg(m_codePage));
    m_autoInc = head->px_autoinc;

    const int n = PX_get_num_fields(m_doc);
    int offset = 0;
    for (int i = 0; i < n; ++i) {
        pxfield_t* f = PX_get_field(m_doc, i);
        Field field;
        field.name = text(f->px_fname, int(std::strlen(f->px_fname)));
        field.kind = f->px_ftype;
        field.length = f->px_flen;
        field.decimals = f->px_fdc;
        field.offset = offset;
        offset += f->px_flen;
        m_fields << field;
        if (f->px_ftype == pxfMemoBLOb || f->px_ftype == pxfFmtMemoBLOb || f->px_ftype == pxfBLOb ||
            f->px_ftype == pxfOLE || f->px_ftype == pxfGraphic)
            m_hasMemoFile = true;
    }
    if (offset != m_recordSize)
        return fail(QStringLiteral("описанието на полетата не отговаря на дължината на реда"));
    if (m_hasMemoFile) {
        // The memo file keeps the name of the table with the extension .MB.
        const QFileInfo fi(path);
        QString memo;
        const QDir dir = fi.absoluteDir();
        for (const QString& entry : dir.entryList(QDir::Files))
            if (QFileInfo(entry).completeBaseName().compare(fi.completeBaseName(), Qt::CaseInsensitive) == 0 &&
                QFileInfo(entry).suffix().compare(QLatin1String("mb"), Qt::CaseInsensitive) == 0)
                memo = dir.filePath(entry);
        if (!memo.isEmpty() && PX_set_blob_file(m_doc, QFile::encodeName(memo).constData()) < 0)
            return fail(QStringLiteral("файлът с бележки %1 не може да се прочете").arg(QFileInfo(memo).fileName()));
        m_hasMemoFile = !memo.isEmpty();
    }
    m_record.resize(m_recordSize);
    return true;
}

bool ParadoxTable::read(int n, QString* error) {
    m_lastError.clear();
    if (!PX_get_record(m_doc, n, m_record.data())) {
        if (error)
            *error = QStringLiteral("редът не може да се прочете (%1)")
                         .arg(m_lastError.isEmpty() ? QStringLiteral("повреден блок") : m_lastError);
        return false;
    }
    return true;
}

bool ParadoxTable::isBlank(int i) const {
    const Field& f = m_fields.at(i);
    const char* p = m_record.constData() + f.offset;
    if (f.kind == Alpha)
        return p[0] == 0;
    for (int k = 0; k < f.length; ++k)
        if (p[k] != 0)
            return false;
    return true;
}

QString ParadoxTable::text(const char* data, int length) const {
    int n = 0;
    while (n < length && data[n] != 0)
        ++n;
    return QString(m_decoder.decode(QByteArrayView(data, n)));
}

QVariant ParadoxTable::value(int i) const {
    const Field& f = m_fields.at(i);
    char* p = const_cast<char*>(m_record.constData()) + f.offset;
    if (isBlank(i))
        return {};
    switch (f.kind) {
    case Alpha:
        return text(p, f.length);
    case Short: {
        short v = 0;
        PX_get_data_short(m_doc, p, f.length, &v);
        return int(v);
    }
    case Long:
    case AutoIncrement: {
        long v = 0;
        PX_get_data_long(m_doc, p, f.length, &v);
        return qint64(v);
    }
    case Currency:
    case Number: {
        double v = 0;
        PX_get_data_double(m_doc, p, f.length, &v);
        return v;
    }
    case Logical: {
        char v = 0;
        PX_get_data_byte(m_doc, p, f.length, &v);
        return v != 0;
    }
    case Date: {
        long v = 0;
        PX_get_data_long(m_doc, p, f.length, &v);
        return QDate::fromJulianDay(qint64(v) + kJulianDayOfDayZero);
    }
    case Time: {
        long v = 0;
        PX_get_data_long(m_doc, p, f.length, &v);
        return QTime::fromMSecsSinceStartOfDay(int(v));
    }
    case Timestamp: {
        double v = 0;
        PX_get_data_double(m_doc, p, f.length, &v);
        const qint64 ms = qint64(v);
        const qint64 days = ms / 86400000;
        return QDateTime(QDate::fromJulianDay(days + kJulianDayOfDayZero),
                         QTime::fromMSecsSinceStartOfDay(int(ms % 86400000)));
    }
    case Bcd: {
        char* s = nullptr;
        if (PX_get_data_bcd(m_doc, reinterpret_cast<unsigned char*>(p), f.decimals, &s) > 0 && s) {
            const QString out = QString::fromLatin1(s);
            m_doc->free(m_doc, s);
            return out;
        }
        return {};
    }
    case Bytes:
        return QByteArray(p, f.length);
    case Memo:
    case FormattedMemo:
    case Blob:
    case Ole:
    case Graphic: {
        int mod = 0, size = 0;
        char* blob = nullptr;
        const int r = f.kind == Graphic ? PX_get_data_graphic(m_doc, p, f.length, &mod, &size, &blob)
                                        : PX_get_data_blob(m_doc, p, f.length, &mod, &size, &blob);
        QByteArray bytes;
        if (r > 0 && blob) {
            bytes = QByteArray(blob, size);
            m_doc->free(m_doc, blob);
        }
        if (f.kind == Memo || f.kind == FormattedMemo)
            return QString(m_decoder.decode(bytes));
        return bytes;
    }
    default:
        return {};
    }
}

QString ParadoxTable::kindName(char kind) {
    switch (kind) {
    case Alpha:
        return QStringLiteral("текст");
    case Date:
        return QStringLiteral("дата");
    case Short:
        return QStringLiteral("кратко цяло число");
    case Long:
        return QStringLiteral("цяло число");
    case Currency:
        return QStringLiteral("пари");
    case Number:
        return QStringLiteral("число");
    case Logical:
        return QStringLiteral("да/не");
    case Memo:
    case FormattedMemo:
        return QStringLiteral("бележка");
    case Blob:
    case Ole:
    case Graphic:
    case Bytes:
        return QStringLiteral("двоични данни");
    case Time:
        return QStringLiteral("час");
    case Timestamp:
        return QStringLiteral("дата и час");
    case AutoIncrement:
        return QStringLiteral("пореден номер");
    case Bcd:
        return QStringLiteral("десетично число");
    }
    return QStringLiteral("непознат вид %1").arg(int(kind));
}

QString findParadoxFile(const QString& folder, const QString& table) {
    const QDir dir(folder);
    for (const QString& entry : dir.entryList(QDir::Files)) {
        const QFileInfo fi(entry);
        if (fi.completeBaseName().compare(table, Qt::CaseInsensitive) == 0 &&
            fi.suffix().compare(QLatin1String("db"), Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return {};
}
