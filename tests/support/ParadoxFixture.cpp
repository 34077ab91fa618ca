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

bool TableWriter::open(const QString& path, const QList<Field>& fields, int codePage) {
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
    return true;
}

bool TableWriter::add(const QVariantList& row) {
    pxdoc_t* doc = m_impl->doc;
    const int n = m_impl->fields.size();
    QList<pxval_t*> values(n, nullptr);
    QList<QByteArray> texts(n);
    for (int i = 0; i < n; ++i) {
        const Field& f = m_impl->fields.at(i);
        MAKE_PXVAL(doc, values[i]);
        pxval_t* v = values[i];
        v->type = f.kind;
        const QVariant x = i < row.size() ? row.at(i) : QVariant();
        if (x.isNull()) {
            v->isnull = 1;
            continue;
        }
        switch (f.kind) {
        case pxfAlpha:
            texts[i] = m_impl->encode(x.toString(), sizeOf(f));
            v->value.str.val = texts[i].data();
            v->value.str.len = texts[i].size();
            break;
        case pxfDate: {
            const QDate d = x.toDate();
            pxval_t* t = PX_make_date(doc, d.year(), d.month(), d.day());
            v->value.lval = t->value.lval;
            FREE_PXVAL(doc, t);
            break;
        }
        case pxfTime: {
            const QTime t0 = x.toTime();
            pxval_t* t = PX_make_time(doc, t0.hour(), t0.minute(), t0.second());
            v->value.lval = t->value.lval;
            FREE_PXVAL(doc, t);
            break;
        }
        case pxfCurrency:
        case pxfNumber:
            v->value.dval = x.toDouble();
            break;
        case pxfLogical:
            v->value.lval = x.toBool() ? 1 : 0;
            break;
        default:
            v->value.lval = long(x.toLongLong());
            break;
        }
    }
    const int r = PX_insert_record(doc, values.data());
    for (pxval_t* v : values)
        FREE_PXVAL(doc, v);
    if (r < 0) {
        m_error = QStringLiteral("pxlib cannot insert a record");
        return false;
    }
    return true;
}

void TableWriter::close() {
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
