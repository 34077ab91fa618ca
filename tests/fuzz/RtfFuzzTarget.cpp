// Feeds arbitrary bytes to the RTF reader. Built as a libFuzzer target with
// RESALE_LIBFUZZER, and linked into the replay test otherwise.
//
// Under libFuzzer the document is read and walked but not laid out: laying
// out is Qt's work, costs ten times the reading and grows the font cache
// with every invented font name. The replay test lays out every kept input,
// and fuzz_rtfreader_layout (RESALE_FUZZ_LAYOUT) lays out a whole corpus.
#include "documents/RtfReader.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QTextTableCell>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int qtArgc = 1;
        static char name[] = "fuzz_rtfreader";
        static char* qtArgv[] = {name, nullptr};
        static QGuiApplication* app = new QGuiApplication(qtArgc, qtArgv);
        Q_UNUSED(app);
    }
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return 0;
}

namespace {

// What the reader built must hold together: every fragment inside its block,
// every block inside the document, every distance within a page, every table
// within the reader's limits.
void checkStructure(const QTextDocument& doc) {
    const int length = doc.characterCount();
    int previousEnd = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.position() < previousEnd || b.position() + b.length() > length)
            std::abort();
        previousEnd = b.position() + b.length();
        const QTextBlockFormat bf = b.blockFormat();
        const qreal longest = RtfReader::kMaxTwips / 15.0;
        for (qreal d : {bf.leftMargin(), bf.rightMargin(), bf.topMargin(), bf.bottomMargin(), qAbs(bf.textIndent())})
            if (!(d >= 0 && d <= longest))
                std::abort();
        if (!(bf.lineHeight() >= 0 && bf.lineHeight() <= qMax(longest, 1000.0)))
            std::abort();
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() < b.position() || f.position() + f.length() > previousEnd)
                std::abort();
            const qreal size = f.charFormat().fontPointSize();
            if (size < 0 || size > 1638.0)
                std::abort();
        }
    }
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame)) {
            if (table->columns() < 1 || table->columns() > RtfReader::kMaxColumns || table->rows() < 1)
                std::abort();
            for (const QTextLength& width : table->format().columnWidthConstraints())
                if (!(width.rawValue() > 0 && width.rawValue() <= 2 * RtfReader::kMaxTwips / 15.0))
                    std::abort();
            // Every grid position belongs to a cell that lies within the table.
            for (int r = 0; r < table->rows(); ++r)
                for (int c = 0; c < table->columns(); ++c) {
                    const QTextTableCell cell = table->cellAt(r, c);
                    if (!cell.isValid() || cell.row() > r || cell.column() > c ||
                        cell.row() + cell.rowSpan() > table->rows() || cell.column() + cell.columnSpan() > table->columns())
                        std::abort();
                }
        }
    }
    // Pictures within a page, character spacing and raising within reason.
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.isImageFormat()) {
                const QTextImageFormat image = f.toImageFormat();
                const qreal longest = RtfReader::kMaxTwips / 15.0;
                if (!(image.width() >= 1 && image.width() <= longest && image.height() >= 1 && image.height() <= longest))
                    std::abort();
            }
            if (qAbs(f.baselineOffset()) > 100 || qAbs(f.fontLetterSpacing()) > 96)
                std::abort();
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument doc;
    QString error;
    QString damage;
    const bool ok = RtfReader::read(bytes, &doc, &error, &damage);
    // Either text was read or a message says why not.
    if (!ok && error.isEmpty())
        std::abort();
    // No control character is left in the text.
    for (QChar c : doc.toPlainText())
        if ((c.unicode() < 0x20 && c != u'\t' && c != u'\n') || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
            std::abort();
    checkStructure(doc);
    const auto bands = RtfReader::pageBands(&doc);
    if (bands.size() > 4)
        std::abort();
    for (QTextDocument* band : bands)
        checkStructure(*band);
#if !defined(RESALE_LIBFUZZER) || defined(RESALE_FUZZ_LAYOUT)
    (void)doc.pageCount();
    for (QTextDocument* band : bands)
        (void)band->size();
#endif
    return 0;
}
