#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTextFormat>

class QTextDocument;

// Reads rich text (RTF) as Word, WordPad and LibreOffice write it into a
// QTextDocument: code pages and Unicode escapes, the font and colour tables,
// character and paragraph formatting, tabs, line and page breaks, and tables.
// PNG and JPEG pictures are read; other pictures and the destinations that
// are not shown (style sheet, document info, anything marked \* that the
// reader does not know) are skipped whole; fields keep their result text.
// Headers and footers are read into page band documents owned by the
// document (pageBand()); page number fields in them are marked with
// kPageFieldProperty for the printing to fill in.
//
// Malformed input never crashes or hangs the reader: what can be read is
// loaded, and input that is not RTF at all is refused with a message.
class RtfReader {
public:
    // Largest file the reader accepts.
    static constexpr qint64 kMaxBytes = 128LL * 1024 * 1024;
    // Groups nested deeper than this are skipped with their content.
    static constexpr int kMaxDepth = 1024;
    // Table rows wider than this keep their extra cells in the last column.
    static constexpr int kMaxColumns = 63;
    // Distances (indents, spacing, line heights, cell edges) are cut to this
    // many twips either way: 22 inches, the largest page Word makes.
    static constexpr int kMaxTwips = 22 * 1440;

    // The headers and footers of a document read by the reader.
    enum class PageBand { Header, Footer, FirstHeader, FirstFooter };
    // Characters standing for the page number (1) or the number of pages
    // (2) carry this property; they read "1" until printed.
    static constexpr int kPageFieldProperty = QTextFormat::UserProperty + 0x19;

    static QString pageBandName(PageBand band);
    // The band, or nullptr when the document has none.
    static QTextDocument* pageBand(const QTextDocument* doc, PageBand band);
    // The header or footer (band Header or Footer) printed on page (from 1):
    // the first page's own one where the template has one.
    static QTextDocument* pageBandFor(const QTextDocument* doc, PageBand band, int page);
    // All bands of doc, for filling in placeholders.
    static QList<QTextDocument*> pageBands(const QTextDocument* doc);

    // Replaces doc's content with the RTF in data. Returns false with a
    // message for the clerk in *error when data is not readable as RTF.
    // A damaged file (cut short, control characters in the text) is read as
    // far as it goes, without the control characters, and *damage tells the
    // clerk what was skipped; it is empty for a sound file.
    static bool read(const QByteArray& data, QTextDocument* doc, QString* error = nullptr, QString* damage = nullptr);
    static bool readFile(const QString& path, QTextDocument* doc, QString* error = nullptr,
                         QString* damage = nullptr);
};
