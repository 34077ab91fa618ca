#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// Reads rich text (RTF) as Word, WordPad and LibreOffice write it into a
// QTextDocument: code pages and Unicode escapes, the font and colour tables,
// character and paragraph formatting, tabs, line and page breaks, and tables.
// Destinations that are not shown (style sheet, document info, pictures,
// headers and footers, field instructions, anything marked \*) are skipped
// whole; fields keep their result text.
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

    // Replaces doc's content with the RTF in data. Returns false with a
    // message for the clerk in *error when data is not readable as RTF.
    // A damaged file (cut short, control characters in the text) is read as
    // far as it goes, without the control characters, and *damage tells the
    // clerk what was skipped; it is empty for a sound file.
    static bool read(const QByteArray& data, QTextDocument* doc, QString* error = nullptr, QString* damage = nullptr);
    static bool readFile(const QString& path, QTextDocument* doc, QString* error = nullptr,
                         QString* damage = nullptr);
};
