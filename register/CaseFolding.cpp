#include "register/CaseFolding.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <sqlite3.h>

namespace {

void foldFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int size = sqlite3_value_bytes(argv[0]);
    // Plain ASCII, the common case for serial numbers, is folded in place.
    bool ascii = true;
    for (int i = 0; i < size && ascii; ++i)
        ascii = static_cast<unsigned char>(text[i]) < 0x80;
    if (ascii) {
        char* out = static_cast<char*>(sqlite3_malloc(size + 1));
        if (!out) {
            sqlite3_result_error_nomem(ctx);
            return;
        }
        for (int i = 0; i < size; ++i) {
            const char c = text[i];
            out[i] = (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
        }
        out[size] = 0;
        sqlite3_result_text(ctx, out, size, sqlite3_free);
        return;
    }
    const QByteArray folded = CaseFolding::fold(QString::fromUtf8(text, size)).toUtf8();
    sqlite3_result_text(ctx, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
}

} // namespace

bool CaseFolding::install(const QSqlDatabase& db) {
    if (!db.isOpen() || !db.driver())
        return false;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    return installOnHandle(*static_cast<sqlite3* const*>(handle.constData()));
}

bool CaseFolding::installOnHandle(void* sqliteHandle) {
    auto* h = static_cast<sqlite3*>(sqliteHandle);
    if (!h)
        return false;
    return sqlite3_create_function_v2(h, "resale_fold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, foldFunction,
                                      nullptr, nullptr, nullptr) == SQLITE_OK;
}
