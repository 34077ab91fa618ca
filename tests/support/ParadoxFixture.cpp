#include "tests/support/ParadoxFixture.h"

#include <QDate>
#include <QFile>
#include <QTime>
#include <iconv.h>
#include "tools/import/Pxlib.h"

#include <cstdlib>
#include <cstring>

namespace paradoxfixture {

namespace {

int sizeOf(const Field& f) {
    if (f.length > 0)
        return f.length;
    switch (f.kind) {
    case pxfShort:
        return 2;
    case pxfLogical:
        return 1;
    case pxfCurrency:
    case pxfNumber:
    case pxfTimestamp:
        return 8;
    default:
        return 4;
    }
}

} // namespace

struct TableWriter::Impl {
    pxdoc_t* doc = nullptr;
    QList<Field> fields;
    iconv_t cd = reinterpret_cast<iconv_t>(-1);
    int written = 0;
    // Bulk: records go into 32 KB blocks appended to the file by hand.
    bool bulk = false;
    QString path;
    QFile file;
    QByteArray block;
    int inBlock = 0;
    int blocks = 0;
    int recordSize = 0;

    static constexpr int kBlockSize = 32 * 1024;
    int perBlock() const { return (kBlockSize - 6) / recordSize; }
    void flushBlock() {
        if (inBlock == 0)
            return;
        ++blocks;
        auto put16 = [&](int at, int v) {
            block[at] = char(v & 0xff);
            block[at + 1] = char((v >> 8) & 0xff);
        };
        put16(0, 0); // next: none yet
        put16(2, blocks - 1);
        put16(4, (inBlock - 1) * recordSize);
        if (blocks > 1) {
            // The block before now points on to this one.
            const qint64 prev = file.size() - kBlockSize;
            file.seek(prev);
            const char next[2] = {char(blocks & 0xff), char((blocks >> 8) & 0xff)};
            file.write(next, 2);
            file.seek(file.size());
        }
        file.write(block);
        block.fill('\0');
        inBlock = 0;
    }

    // The text in the table's code page (iconv, apart from the importer's
    // own decoding), cut to at most max bytes.
    QByteArray encode(const QString& s, int max) const {
        QByteArray in = s.toUtf8();
        QByteArray out(in.size() * 2 + 4, '\0');
        char* ip = in.data();
        size_t il = size_t(in.size());
        char* op = out.data();
        size_t ol = size_t(out.size());
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &ip, &il, &op, &ol) == size_t(-1))
            return QByteArray();
        out.truncate(int(op - out.data()));
        return out.left(max);
    }
};

TableWriter::TableWriter() : m_impl(std::make_unique<Impl>()) {}

TableWriter::~TableWriter() {
    close();
}

bool TableWriter::open(const QString& path, const QList<Field>& fields, int codePage, bool bulk) {
    PX_boot();
    QFile::remove(path);
    m_impl->fields = fields;
    m_impl->cd = iconv_open(QStringLiteral("CP%1").arg(codePage).toLatin1().constData(), "UTF-8");
    if (m_impl->cd == reinterpret_cast<iconv_t>(-1)) {
        m_error = QStringLiteral("iconv: no code page %1").arg(codePage);
        return false;
    }
    m_impl->doc = PX_new();
    // pxlib takes the field list over and frees it with the table.
    auto* list = static_cast<pxfield_t*>(std::malloc(sizeof(pxfield_t) * size_t(fields.size())));
    for (int i = 0; i < fields.size(); ++i) {
        const QByteArray name = m_impl->encode(fields.at(i).name, 25);
        list[i].px_fname = strdup(name.constData());
        list[i].px_ftype = fields.at(i).kind;
        list[i].px_flen = sizeOf(fields.at(i));
        list[i].px_fdc = fields.at(i).decimals;
    }
    if (PX_create_file(m_impl->doc, list, fields.size(), QFile::encodeName(path).constData(), pxfFileTypNonIndexDB) < 0) {
        m_error = QStringLiteral("pxlib cannot create %1").arg(path);
        PX_delete(m_impl->doc);
        m_impl->doc = nullptr;
        return false;
    }
    PX_set_value(m_impl->doc, "codepage", float(codePage));
    m_impl->bulk = bulk;
    if (bulk) {
        // pxlib writes the header of the empty table; its own encoder
        // document stays open for the records.
        m_impl->recordSize = PX_get_recordsize(m_impl->doc);
        PX_close(m_impl->doc);
        PX_delete(m_impl->doc);
        m_impl->doc = PX_new();
        m_impl->path = path;
        m_impl->file.setFileName(path);
        if (!m_impl->file.open(QIODevice::ReadWrite)) {
            m_error = m_impl->file.errorString();
            return false;
        }
        m_impl->file.seek(m_impl->file.size());
        m_impl->block = QByteArray(Impl::kBlockSize, '\0');
    }
    return true;
}

bool TableWriter::add(const QVariantList& row) {
    // The record is put together with pxlib's field encoders and written at
    // the next position (its own insert looks for a free slot every time,
    // which grows with the table).
    pxdoc_t* doc = m_impl->doc;
    QByteArray record(m_impl->bulk ? m_impl->recordSize : PX_get_recordsize(doc), '\0');
    char* p = record.data();
    for (int i = 0; i < m_impl->fields.size(); ++i) {
        const Field& f = m_impl->fields.at(i);
        const int len = sizeOf(f);
        const QVariant x = i < row.size() ? row.at(i) : QVariant();
        if (!x.isNull()) {
            switch (f.kind) {
            case pxfAlpha: {
                QByteArray text = m_impl->encode(x.toString(), len);
                PX_put_data_alpha(doc, p, len, text.data());
                break;
            }
            case pxfDate: {
                const QDate d = x.toDate();
                pxval_t* t = PX_make_date(doc, d.year(), d.month(), d.day());
                PX_put_data_long(doc, p, len, int(t->value.lval));
                FREE_PXVAL(doc, t);
                break;
            }
            case pxfTime: {
                const QTime t0 = x.toTime();
                pxval_t* t = PX_make_time(doc, t0.hour(), t0.minute(), t0.second());
                PX_put_data_long(doc, p, len, int(t->value.lval));
                FREE_PXVAL(doc, t);
                break;
            }
            case pxfCurrency:
            case pxfNumber:
                PX_put_data_double(doc, p, len, x.toDouble());
                break;
            case pxfLogical:
                PX_put_data_byte(doc, p, len, x.toBool() ? 1 : 0);
                break;
            case pxfShort:
                PX_put_data_short(doc, p, len, short(x.toInt()));
                break;
            default:
                PX_put_data_long(doc, p, len, int(x.toLongLong()));
                break;
            }
        }
        p += len;
    }
    if (m_impl->bulk) {
        std::memcpy(m_impl->block.data() + 6 + m_impl->inBlock * m_impl->recordSize, record.constData(),
                    size_t(record.size()));
        if (++m_impl->inBlock == m_impl->perBlock())
            m_impl->flushBlock();
        ++m_impl->written;
        return true;
    }
    if (PX_put_recordn(doc, record.data(), m_impl->written) < 0) {
        m_error = QStringLiteral("pxlib cannot write record %1").arg(m_impl->written + 1);
        return false;
    }
    ++m_impl->written;
    return true;
}

void TableWriter::close() {
    if (m_impl->bulk && m_impl->file.isOpen()) {
        m_impl->flushBlock();
        // The header learns the records and blocks and the block size.
        auto put = [&](int at, qint64 v, int bytes) {
            QByteArray b(bytes, '\0');
            for (int i = 0; i < bytes; ++i)
                b[i] = char((v >> (8 * i)) & 0xff);
            m_impl->file.seek(at);
            m_impl->file.write(b);
        };
        put(0x05, Impl::kBlockSize / 1024, 1);
        put(0x06, m_impl->written, 4);
        put(0x0A, m_impl->blocks, 2);
        put(0x0C, m_impl->blocks, 2);
        put(0x0E, m_impl->blocks ? 1 : 0, 2);
        put(0x10, m_impl->blocks, 2);
        m_impl->file.close();
        m_impl->bulk = false;
    }
    if (m_impl->doc) {
        PX_close(m_impl->doc);
        PX_delete(m_impl->doc);
        m_impl->doc = nullptr;
    }
    if (m_impl->cd != reinterpret_cast<iconv_t>(-1)) {
        iconv_close(m_impl->cd);
        m_impl->cd = reinterpret_cast<iconv_t>(-1);
    }
}

bool writeTable(const QString& path, const QList<Field>& fields, const QList<QVariantList>& rows, QString* error,
                int codePage) {
    TableWriter w;
    bool ok = w.open(path, fields, codePage);
    for (int i = 0; ok && i < rows.size(); ++i)
        ok = w.add(rows.at(i));
    w.close();
    if (!ok && error)
        *error = w.error();
    return ok;
}

} // namespace paradoxfixture
