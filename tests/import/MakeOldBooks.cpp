// make-old-books FOLDER: writes the tests' old books (the suite's Paradox
// tables of a small chain, with the cases an import must keep and one known
// breach) into FOLDER, to try the import by hand.
#include "tests/support/OldBooks.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-old-books FOLDER\n");
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    oldbooks::Books books;
    QString error;
    if (!oldbooks::write(folder, &books, &error)) {
        std::fprintf(stderr, "make-old-books: %s\n", qPrintable(error));
        return 1;
    }
    for (const oldbooks::Table& t : books.tables)
        std::printf("%-16s %5lld rows\n", qPrintable(t.file), static_cast<long long>(t.rows.size()));
    std::printf("old books written in %s\n", qPrintable(folder));
    return 0;
}
