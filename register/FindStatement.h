#pragma once

#include "db/Engine.h"
#include "register/RegisterStatement.h"

#include <QStringList>

// The find window's statement: the chosen column compared with "like" to the
// clerk's text, which is bound as a value (an apostrophe is just a letter),
// while the "%" and "_" the clerk types still match any text and any one
// letter. Letter case is ignored for Cyrillic and Latin alike.
class FindStatement {
public:
    enum Way { BeginsWith = 0, Contains = 1 };

    // What the connection offers for folding letter case.
    struct Dialect {
        Engine engine = Engine::SQLite;
        bool foldFunction = true; // SQLite: resale_fold() is installed on the connection
        bool icu = false;         // PostgreSQL: the "und-x-icu" collation exists
    };

    static QStringList fieldTexts();
    static QStringList columns(); // item columns, in the order of fieldTexts()
    static QStringList wayTexts();

    static RegisterStatement build(int field, int way, const QString& text, const Dialect& dialect);
    // The pattern as bound: "%" before the text for Contains, "%" after it.
    static QString pattern(int way, const QString& text);
};
