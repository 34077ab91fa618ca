#include "register/FindStatement.h"

#include "register/CaseFolding.h"
#include "register/RegisterView.h"

QStringList FindStatement::fieldTexts() {
    return {QStringLiteral("Уред"),           QStringLiteral("Сериен номер на уред"), QStringLiteral("Име на продавач"),
            QStringLiteral("ЕГН на продавач"), QStringLiteral("Име на купувач"),       QStringLiteral("Доп. инфо на купувач")};
}

QStringList FindStatement::columns() {
    return {QStringLiteral("art"),    QStringLiteral("serial"),      QStringLiteral("DlvNames"),
            QStringLiteral("DlvEGN"), QStringLiteral("ClientNames"), QStringLiteral("ClientInfo")};
}

QStringList FindStatement::wayTexts() { return {QStringLiteral("Започва с"), QStringLiteral("Съдържа")}; }

QString FindStatement::pattern(int way, const QString& text) {
    return (way == Contains ? QStringLiteral("%") : QString()) + text + QStringLiteral("%");
}

RegisterStatement FindStatement::build(int field, int way, const QString& text, const Dialect& dialect) {
    const QString column = columns().value(field, columns().first());
    const QString pat = pattern(way, text);
    RegisterStatement s;
    if (dialect.engine == Engine::PostgreSQL) {
        // The ICU collation folds every script whatever the database's locale;
        // an empty escape keeps "\" an ordinary letter, as on SQLite.
        const QString collate = dialect.icu ? QStringLiteral(" collate \"und-x-icu\"") : QString();
        s.sql = RegisterView::selectPrefix() + QStringLiteral("lower(%1%2) like lower(?%2) escape ''").arg(column, collate);
        s.params = {pat};
    } else if (dialect.foldFunction) {
        s.sql = RegisterView::selectPrefix() + QStringLiteral("%1(%2) like ?").arg(CaseFolding::functionName(), column);
        s.params = {CaseFolding::fold(pat)};
    } else {
        s.sql = RegisterView::selectPrefix() + column + QStringLiteral(" like ?");
        s.params = {pat};
    }
    return s;
}
