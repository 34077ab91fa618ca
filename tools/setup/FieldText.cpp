#include "tools/setup/FieldText.h"
#include "core/Text.h"

#include "db/Schema.h"

namespace fieldtext {

namespace {
bool isControl(QChar c) {
    return c.unicode() < 0x20 || c.category() == QChar::Other_Control;
}
} // namespace

QString clean(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (QChar c : s)
        out.append(isControl(c) ? QChar(QLatin1Char(' ')) : c);
    return out.trimmed();
}

QString fit(const QString& s, int length) {
    return length <= 0 ? s : text::left(s, length);
}

int columnLength(const QString& table, const QString& column) {
    const schema::Table* t = schema::find(table);
    const schema::Column* c = t ? t->column(column) : nullptr;
    return c && c->type == schema::Type::String ? c->length : 0;
}

QString forColumn(const QString& table, const QString& column, const QString& s) {
    return fit(clean(s), columnLength(table, column));
}

bool hasControl(const QString& s) {
    for (QChar c : s)
        if (isControl(c))
            return true;
    return false;
}

} // namespace fieldtext
