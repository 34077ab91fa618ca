#include "tools/import/SourceFigures.h"

#include <QFile>
#include "tools/import/Pxlib.h"

#include <cmath>

namespace {
void quiet(pxdoc_t*, int, const char*, void*) {}
} // namespace

SourceFigures sourceFigures(const QString& path, QString* error) {
    SourceFigures out;
    pxdoc_t* doc = PX_new3(quiet, nullptr, nullptr, nullptr, nullptr);
    if (!doc || PX_open_file(doc, QFile::encodeName(path).constData()) < 0) {
        if (error)
            *error = QStringLiteral("файлът не се отваря");
        if (doc)
            PX_delete(doc);
        return out;
    }
    const int fields = PX_get_num_fields(doc);
    const int records = PX_get_num_records(doc);
    QList<int> money;
    for (int i = 0; i < fields; ++i) {
        const char kind = PX_get_field(doc, i)->px_ftype;
        if (kind == pxfCurrency || kind == pxfNumber) {
            money << i;
            out.stotinki.insert(i, 0);
        }
    }
    out.ok = true;
    for (int n = 0; n < records; ++n) {
        pxval_t** values = PX_retrieve_record(doc, n);
        if (!values) {
            out.ok = false;
            if (error)
                *error = QStringLiteral("ред %1 не се чете").arg(n + 1);
            break;
        }
        ++out.rows;
        // A blank amount comes back from this reader as 0.0, which adds nothing.
        for (int i : money)
            if (!values[i]->isnull)
                out.stotinki[i] += std::llround(values[i]->value.dval * 100.0);
        for (int i = 0; i < fields; ++i) {
            if ((values[i]->type == pxfAlpha || values[i]->type == pxfMemoBLOb || values[i]->type == pxfFmtMemoBLOb ||
                 values[i]->type == pxfBLOb || values[i]->type == pxfGraphic || values[i]->type == pxfOLE ||
                 values[i]->type == pxfBytes || values[i]->type == pxfBCD) &&
                values[i]->value.str.val)
                doc->free(doc, values[i]->value.str.val);
            doc->free(doc, values[i]);
        }
        doc->free(doc, values);
    }
    PX_close(doc);
    PX_delete(doc);
    return out;
}
