#include "documents/RtfReader.h"

#include "documents/RtfCodePages.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QUrl>
#include <QList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QStringList>
#include <QTextTableFormat>
#include <cstring>
#include <string_view>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

enum class Dest { Text, FontTable, ColorTable, Picture, FieldInstruction, Shape, ShapeName, ShapePicture, Skip };

enum class Underline { None, Single, Dotted, Dashed, Double, Wave };

struct CharState {
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    Underline underline = Underline::None;
    int font = -1;
    int halfPoints = 24;
    int fg = 0;
    int bg = 0;
    int vertical = 0; // -1 sub, 1 super
    int leader = 0;   // a tab character: the leader of its tab stop
    int caps = 0;     // 1 all capitals, 2 small capitals
    int raise = 0;    // \up (positive) or \dn (negative), half-points
    int expand = 0;   // character spacing, twips
    bool deleted = false;
    int pageField = 0; // 1 page number, 2 number of pages
    bool operator==(const CharState&) const = default;
};

// One border as RTF gives it: \brdrs and its kin, \brdrw, \brdrcf.
struct Border {
    int style = 0; // 0 none, 1 single, 2 double, 3 dotted, 4 dashed
    int width = 0; // twips
    int color = 0;
    bool set = false;
    bool operator==(const Border&) const = default;
};

enum Side { Top, Left, Bottom, Right, InnerH, InnerV, Sides };

// A tab stop: \tx with the kind and leader words before it.
struct TabStop {
    int position = 0; // twips from the left margin
    int kind = 0;     // 0 left, 1 centre, 2 right, 3 decimal
    int leader = 0;   // 0 none, 1 dots, 2 hyphens, 3 line, 4 thick line, 5 double line, 6 middle dots
    bool operator==(const TabStop&) const = default;
};

struct ParaState {
    int align = 0; // 0 left, 1 centre, 2 right, 3 justify
    int li = 0;
    int ri = 0;
    int fi = 0;
    int sb = 0;
    int sa = 0;
    int sl = 0;
    bool slMult = false;
    bool inTable = false;
    Border borders[4];
    QList<TabStop> tabs;
    TabStop pendingTab;
    bool operator==(const ParaState&) const = default;
};


// One cell of a row definition, closed by \cellx.
struct CellDef {
    int edge = 0; // right edge in twips
    Border borders[4];
    int background = -1; // colour index of \clcbpat
    int pattern = -1;    // colour index of \clcfpat
    int shading = -1;    // \clshdng in hundredths of a percent
    bool mergeFirst = false, merge = false, vMergeFirst = false, vMerge = false;
    int vAlign = 0; // 0 top, 1 centre, 2 bottom
    int padding[4] = {-1, -1, -1, -1}; // by Side, twips; -1 not given
};

// A row definition: \trowd up to the row's content.
struct RowDef {
    int left = 0; // \trleft
    int gap = 0;  // \trgaph
    int align = 0; // 0 left, 1 centre, 2 right
    Border borders[Sides];
    int padding[4] = {-1, -1, -1, -1};
    QList<CellDef> cells;
};

struct Group {
    CharState chr;
    ParaState para;
    Dest dest = Dest::Text;
    int uc = 1;
    int field = 0; // inside a PAGE (1) or NUMPAGES (2) field
};

struct Font {
    QString name;
    int codePage = 0; // 0: the document's
};

// Twips (1/1440 inch) to the document's pixels (1/96 inch); printing scales
// these to the printer's resolution.
qreal twipsToPixels(qint64 twips) {
    return twips / 15.0;
}

// Indents, spacing, line heights and cell edges are kept within the largest
// page Word allows (22 inches): a line millions of pages tall would keep the
// layout paginating for minutes.
int distance(int twips) {
    return qBound(-RtfReader::kMaxTwips, twips, RtfReader::kMaxTwips);
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A control word, compared with literals by length first: the reader tries
// each word against a few hundred names, and measuring every literal with
// strlen took most of the reading time.
class Word {
public:
    explicit Word(const QByteArray& w) : m_data(w.constData()), m_size(size_t(w.size())) {}
    template <size_t N> bool operator==(const char (&s)[N]) const {
        return m_size == N - 1 && std::memcmp(m_data, s, N - 1) == 0;
    }
    bool operator==(std::string_view s) const { return m_size == s.size() && std::memcmp(m_data, s.data(), m_size) == 0; }
    bool startsWith(std::string_view s) const { return m_size >= s.size() && std::memcmp(m_data, s.data(), s.size()) == 0; }

private:
    const char* m_data;
    size_t m_size;
};

// Control words that stand for one character; 0 for any other word.
char16_t symbol(const Word& w) {
    static const struct {
        std::string_view word;
        char16_t ch;
    } kSymbols[] = {{"emdash", 0x2014},    {"endash", 0x2013},    {"bullet", 0x2022},  {"lquote", 0x2018},
                    {"rquote", 0x2019},    {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
                    {"enspace", 0x2002},   {"qmspace", 0x2005}};
    for (const auto& s : kSymbols)
        if (w == s.word)
            return s.ch;
    return 0;
}

// Control words that put text, breaks or cells into the document.
bool makesText(const Word& w) {
    static constexpr std::string_view words[] = {"par", "sect", "line", "page", "tab", "cell", "row", "u", "uc", "column", "nestcell", "nestrow"};
    for (std::string_view word : words)
        if (w == word)
            return true;
    return symbol(w) != 0;
}

// Destinations whose content is never shown.
bool isSkippedDestination(const Word& w) {
    static constexpr std::string_view names[] = {"stylesheet",
                                        "info",
                                        "headerl",
                                        "footerl",
                                        "footnote",
                                        "themedata",
                                        "colorschememapping",
                                        "latentstyles",
                                        "datastore",
                                        "xmlnsdecl",
                                        "listtable",
                                        "listoverridetable",
                                        "revtbl",
                                        "rsidtbl",
                                        "generator",
                                        "filetbl",
                                        "pnseclvl",
                                        "nonshppict",
                                        "shprslt",
                                        "shptxt",
                                        "docvar",
                                        "template",
                                        "userprops",
                                        "objdata",
                                        "objclass",
                                        "objname",
                                        "fldtype",
                                        "annotation",
                                        "atnid",
                                        "atnauthor",
                                        "atnref",
                                        "atndate",
                                        "do",
                                        "pgdsctbl",
                                        "bkmkstart",
                                        "bkmkend",
                                        "mmathPr",
                                        "xe",
                                        "tc",
                                        "txe",
                                        "ftnsep",
                                        "ftnsepc",
                                        "ftncn",
                                        "aftnsep",
                                        "aftnsepc",
                                        "aftncn",
                                        "private",
                                        "wgrffmtfilter",
                                        "panose",
                                        "falt",
                                        "fontemb",
                                        "fontfile",
                                        "passwordhash",
                                        "protusertbl",
                                        "listpicture",
                                        "pn",
                                        "oldcprops",
                                        "oldpprops",
                                        "oldtprops",
                                        "oldsprops",
                                        "blipuid",
                                        "background"};
    for (std::string_view n : names)
        if (w == n)
            return true;
    return false;
}

class Parser {
public:
    Parser(const QByteArray& data, QTextDocument* doc) : m_data(data), m_cursor(doc) {}

    void run() {
        m_stack.reserve(64);
        m_stack.append(Group{});
        const char* p = m_data.constData();
        const qsizetype n = m_data.size();
        qsizetype i = 0;
        while (i < n) {
            const char c = p[i];
            switch (c) {
            case '{':
                openGroup();
                ++i;
                break;
            case '}':
                closeGroup();
                ++i;
                break;
            case '\\':
                i = control(p, n, i + 1);
                break;
            case '\r':
            case '\n':
                ++i;
                break;
            default: {
                // A run of plain text up to the next special character.
                qsizetype j = i;
                while (j < n && p[j] != '{' && p[j] != '}' && p[j] != '\\' && p[j] != '\r' && p[j] != '\n')
                    ++j;
                plainBytes(p + i, j - i);
                i = j;
                break;
            }
            }
        }
        // A file cut short leaves groups open, or a control word, escape or
        // binary run unfinished at its end.
        if (m_stack.size() > 1 || m_overflow > 0)
            m_cutShort = true;
        if (m_band)
            endBand();
        flush();
        applyBlockFormat();
        finishTable();
        leaveBox();
        // Tab stops every half inch unless \deftab says otherwise.
        QTextOption option = m_cursor.document()->defaultTextOption();
        option.setTabStopDistance(twipsToPixels(m_defaultTab > 0 ? m_defaultTab : 720));
        m_cursor.document()->setDefaultTextOption(option);
    }

    bool cutShort() const { return m_cutShort; }
    bool titlePage() const { return m_titlePage; }
    int controlCharacters() const { return m_controlCharacters; }

private:
    Group& top() { return m_stack.last(); }

    void openGroup() {
        m_skipFallback = 0;
        if (m_stack.size() >= RtfReader::kMaxDepth) {
            // Deeper groups are not kept apart: their text is read with the
            // formatting of the deepest group kept.
            ++m_overflow;
            return;
        }
        m_stack.append(m_stack.last());
        m_newGroup = true;
    }

    void closeGroup() {
        m_skipFallback = 0;
        m_newGroup = false;
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        const Dest dest = top().dest;
        if (dest == Dest::FontTable)
            commitFont();
        if (m_stack.size() > 1)
            m_stack.removeLast();
        if (dest == Dest::Picture && (top().dest == Dest::Text || top().dest == Dest::ShapePicture))
            insertPicture();
        if (dest == Dest::FieldInstruction && top().dest != Dest::FieldInstruction) {
            const QByteArray name = m_fieldInstruction.trimmed().split(' ').value(0).toUpper();
            top().field = name == "PAGE" ? 1 : (name == "NUMPAGES" || name == "SECTIONPAGES") ? 2 : 0;
        }
        if (m_band && int(m_stack.size()) < m_band->depth)
            endBand();
        if (dest == Dest::FontTable && top().dest != Dest::FontTable)
            m_fontPending = false;
    }

    // Handles the control word or symbol starting at p[i] (after the
    // backslash); returns the index after it.
    qsizetype control(const char* p, qsizetype n, qsizetype i) {
        if (i >= n)
            return i;
        const char c = p[i];
        if (!isLetter(c)) {
            const bool wasNew = m_newGroup;
            m_newGroup = false;
            switch (c) {
            case '\'': {
                const int hi = i + 1 < n ? hexValue(p[i + 1]) : -1;
                const int lo = i + 2 < n ? hexValue(p[i + 2]) : -1;
                if (hi < 0)
                    return i + 1; // not an escape: the characters read as text
                if (lo < 0)
                    return qMin(n, i + 2);
                const char byte = char(hi * 16 + lo);
                if (m_skipFallback > 0)
                    --m_skipFallback;
                else
                    escapedByte(byte);
                return i + 3;
            }
            case '\\':
            case '{':
            case '}':
                plainBytes(p + i, 1);
                return i + 1;
            case '~':
                text(QString(QChar(0x00A0)));
                return i + 1;
            case '_':
                text(QString(QChar(0x2011)));
                return i + 1;
            case '-':
                return i + 1; // optional hyphen
            case '*':
                if (wasNew && m_overflow == 0) {
                    top().dest = Dest::Skip;
                    m_starred = true;
                }
                return i + 1;
            case '\r':
            case '\n':
                if (top().dest == Dest::Text)
                    paragraph();
                return i + 1;
            case '\t':
                tab();
                return i + 1;
            default:
                return i + 1;
            }
        }
        qsizetype j = i;
        while (j < n && isLetter(p[j]))
            ++j;
        const QByteArray word = QByteArray::fromRawData(p + i, qMin<qsizetype>(j - i, 32));
        bool hasParam = false;
        bool negative = false;
        qint64 value = 0;
        if (j < n && p[j] == '-' && j + 1 < n && isDigit(p[j + 1])) {
            negative = true;
            ++j;
        }
        int digits = 0;
        while (j < n && isDigit(p[j])) {
            if (digits < 10)
                value = value * 10 + (p[j] - '0');
            ++digits;
            hasParam = true;
            ++j;
        }
        if (j < n && p[j] == ' ')
            ++j;
        value = qBound<qint64>(-2147483647LL, negative ? -value : value, 2147483647LL);
        const int param = int(value);

        if (word == "bin") {
            // Binary data of the given length follows: a picture's data, or
            // skipped whole.
            const qint64 len = hasParam && param > 0 ? param : 0;
            if (len > n - j)
                m_cutShort = true;
            if (top().dest == Dest::Picture && m_overflow == 0)
                m_pictBinary.append(p + j, qsizetype(qMin<qint64>(len, n - j)));
            return j + qMin<qint64>(len, n - j);
        }
        const bool wasNew = m_newGroup;
        m_newGroup = false;
        controlWord(Word(word), hasParam, param, wasNew);
        return j;
    }

    void controlWord(const Word& w, bool hasParam, int param, bool groupStart) {
        Group& g = top();
        if (m_starred) {
            // An optional destination: read those we know, skip the rest.
            m_starred = false;
            if (w == "shppict" && m_stack.size() > 1) {
                g.dest = m_stack.at(m_stack.size() - 2).dest;
                return;
            }
            if (w == "shpinst" && m_stack.size() > 1 && m_stack.at(m_stack.size() - 2).dest == Dest::Shape) {
                g.dest = Dest::Shape;
                return;
            }
            if (w == "fldinst" && m_stack.size() > 1 && m_stack.at(m_stack.size() - 2).dest == Dest::Text) {
                g.dest = Dest::FieldInstruction;
                m_fieldInstruction.clear();
                return;
            }
        }
        if (g.dest == Dest::Skip)
            return;
        if (g.dest == Dest::Text && m_skipFallback > 0 && w != "u") {
            --m_skipFallback;
            return;
        }
        const bool on = !hasParam || param != 0;
        // Beyond the nesting limit only what makes text counts.
        if (m_overflow > 0 && !makesText(w))
            return;

        // Destinations.
        if (w == "fonttbl") {
            g.dest = Dest::FontTable;
            return;
        }
        if (w == "colortbl") {
            g.dest = Dest::ColorTable;
            m_colorPending = false;
            return;
        }
        if (isSkippedDestination(w)) {
            g.dest = Dest::Skip;
            return;
        }
        if (w == "fldinst") {
            if (g.dest == Dest::Text) {
                g.dest = Dest::FieldInstruction;
                m_fieldInstruction.clear();
            }
            return;
        }
        if (g.dest == Dest::FieldInstruction)
            return;
        if (w == "fldrslt") {
            // A page number field: the number is set when printing.
            if (g.field != 0 && g.dest == Dest::Text) {
                pageField(g.field);
                g.dest = Dest::Skip;
            }
            return;
        }
        if (w == "field") {
            g.field = 0;
            return;
        }
        if (w == "chpgn") {
            pageField(1);
            return;
        }
        if (w == "header" || w == "headerr" || w == "headerf" || w == "footer" || w == "footerr" || w == "footerf") {
            startBand(w);
            return;
        }
        if (w == "titlepg") {
            m_titlePage = true;
            return;
        }
        // A shape: LibreOffice writes its pictures so, the picture in the
        // shape's "pib" property, its size the shape's.
        if (w == "shp") {
            if (g.dest == Dest::Text) {
                g.dest = Dest::Shape;
                m_shapeLeft = m_shapeTop = m_shapeRight = m_shapeBottom = 0;
            } else {
                g.dest = Dest::Skip;
            }
            return;
        }
        if (g.dest == Dest::Shape) {
            if (w == "shpinst") {
            } else if (w == "shpleft") {
                m_shapeLeft = distance(param);
            } else if (w == "shpright") {
                m_shapeRight = distance(param);
            } else if (w == "shptop") {
                m_shapeTop = distance(param);
            } else if (w == "shpbottom") {
                m_shapeBottom = distance(param);
            } else if (w == "sp") {
                m_shapeProperty.clear();
            } else if (w == "sn") {
                g.dest = Dest::ShapeName;
                m_shapeProperty.clear();
            } else if (w == "sv") {
                g.dest = m_shapeProperty.trimmed() == "pib" ? Dest::ShapePicture : Dest::Skip;
            } else {
                g.dest = groupStart ? Dest::Skip : g.dest;
            }
            return;
        }
        if (g.dest == Dest::ShapeName)
            return;
        if (w == "pict") {
            if (g.dest == Dest::Text || g.dest == Dest::ShapePicture) {
                g.dest = Dest::Picture;
                m_pict = Picture{};
                m_pictHex.clear();
                m_pictBinary.clear();
            }
            return;
        }
        if (g.dest == Dest::Picture) {
            if (w == "pngblip")
                m_pict.format = "png";
            else if (w == "jpegblip")
                m_pict.format = "jpeg";
            else if (w == "emfblip" || w == "wmetafile" || w == "macpict" || w == "dibitmap" || w == "wbitmap" ||
                     w == "pmmetafile")
                m_pict.format.clear();
            else if (w == "picw")
                m_pict.width = qBound(0, param, 100000);
            else if (w == "pich")
                m_pict.height = qBound(0, param, 100000);
            else if (w == "picwgoal")
                m_pict.goalWidth = distance(qMax(0, param));
            else if (w == "pichgoal")
                m_pict.goalHeight = distance(qMax(0, param));
            else if (w == "picscalex")
                m_pict.scaleX = qBound(1, param, 1000);
            else if (w == "picscaley")
                m_pict.scaleY = qBound(1, param, 1000);
            return;
        }

        if (g.dest == Dest::FontTable) {
            if (w == "f") {
                commitFont();
                m_fontId = param;
                m_fontPending = true;
                m_fontBytes.clear();
                m_fontName.clear();
                m_fontCodePage = 0;
            } else if (w == "fcharset") {
                m_fontCodePage = rtf::codePageForCharset(param, m_defaultCodePage);
            } else if (w == "cpg") {
                m_fontCodePage = param;
            } else if (w == "u") {
                m_fontName += rtf::decodeBytes(m_fontBytes, fontTableCodePage());
                m_fontBytes.clear();
                m_fontName += QChar(ushort(param < 0 ? param + 65536 : param));
            }
            return;
        }
        if (g.dest == Dest::ColorTable) {
            if (w == "red")
                m_red = qBound(0, param, 255), m_colorPending = true;
            else if (w == "green")
                m_green = qBound(0, param, 255), m_colorPending = true;
            else if (w == "blue")
                m_blue = qBound(0, param, 255), m_colorPending = true;
            return;
        }

        // Document.
        if (w == "ansi") {
            m_defaultCodePage = 1252;
        } else if (w == "mac") {
            m_defaultCodePage = 10000;
        } else if (w == "pc") {
            m_defaultCodePage = 437;
        } else if (w == "pca") {
            m_defaultCodePage = 850;
        } else if (w == "ansicpg") {
            if (param > 0)
                m_defaultCodePage = param;
        } else if (w == "deff") {
            m_defaultFont = param;
            if (m_stack.size() <= 2)
                for (Group& s : m_stack)
                    if (s.chr.font < 0)
                        s.chr.font = param;
        } else if (w == "uc") {
            g.uc = qBound(0, param, 10);
        } else if (w == "u") {
            const int code = param < 0 ? param + 65536 : param;
            text(QString(QChar(code >= 0 && code <= 0xFFFF ? char16_t(code) : char16_t(0xFFFD))));
            m_skipFallback = g.uc;
        }
        // Character formatting.
        else if (w == "plain") {
            g.chr = CharState{};
            g.chr.font = m_defaultFont;
        } else if (w == "b") {
            g.chr.bold = on;
        } else if (w == "i") {
            g.chr.italic = on;
        } else if (w == "strike" || w == "striked") {
            g.chr.strike = on;
        } else if (w == "v") {
            g.chr.hidden = on;
        } else if (w == "ul" || w == "ulw" || w == "ulth" || w == "ulhair") {
            g.chr.underline = on ? Underline::Single : Underline::None;
        } else if (w == "uld" || w == "ulthd") {
            g.chr.underline = on ? Underline::Dotted : Underline::None;
        } else if (w == "uldash" || w == "uldashd" || w == "uldashdd" || w == "ulldash" || w == "ulthdash" ||
                   w == "ulthdashd" || w == "ulthdashdd" || w == "ulthldash") {
            g.chr.underline = on ? Underline::Dashed : Underline::None;
        } else if (w == "uldb") {
            g.chr.underline = on ? Underline::Double : Underline::None;
        } else if (w == "ulwave" || w == "ulhwave" || w == "ululdbwave") {
            g.chr.underline = on ? Underline::Wave : Underline::None;
        } else if (w == "ulnone") {
            g.chr.underline = Underline::None;
        } else if (w == "f") {
            g.chr.font = param;
        } else if (w == "fs") {
            g.chr.halfPoints = hasParam ? qBound(2, param, 3276) : 24;
        } else if (w == "cf") {
            g.chr.fg = param;
        } else if (w == "cb" || w == "highlight" || w == "chcbpat") {
            g.chr.bg = param;
        } else if (w == "sub") {
            g.chr.vertical = on ? -1 : 0;
        } else if (w == "super") {
            g.chr.vertical = on ? 1 : 0;
        } else if (w == "nosupersub") {
            g.chr.vertical = 0;
        } else if (w == "caps") {
            g.chr.caps = on ? 1 : 0;
        } else if (w == "scaps") {
            g.chr.caps = on ? 2 : 0;
        } else if (w == "up") {
            g.chr.raise = qBound(0, hasParam ? param : 6, 3276);
        } else if (w == "dn") {
            g.chr.raise = -qBound(0, hasParam ? param : 6, 3276);
        } else if (w == "expndtw") {
            g.chr.expand = qBound(-1440, param, 1440);
        } else if (w == "expnd") {
            g.chr.expand = qBound(-288, param, 288) * 5; // quarter points, within an inch
        } else if (w == "deleted") {
            g.chr.deleted = on;
        }
        // Paragraph formatting.
        else if (w == "pard") {
            g.para = ParaState{};
        } else if (w == "ql") {
            g.para.align = 0;
        } else if (w == "qc") {
            g.para.align = 1;
        } else if (w == "qr") {
            g.para.align = 2;
        } else if (w == "qj" || w == "qd") {
            g.para.align = 3;
        } else if (w == "li") {
            g.para.li = distance(param);
        } else if (w == "ri") {
            g.para.ri = distance(param);
        } else if (w == "fi") {
            g.para.fi = distance(param);
        } else if (w == "sb") {
            g.para.sb = distance(param);
        } else if (w == "sa") {
            g.para.sa = distance(param);
        } else if (w == "sl") {
            g.para.sl = distance(param);
        } else if (w == "slmult") {
            g.para.slMult = on;
        } else if (w == "intbl") {
            g.para.inTable = true;
        }
        // Breaks and special characters.
        else if (w == "par" || w == "sect" || w == "column" || w == "nestrow") {
            paragraph();
        } else if (w == "line") {
            text(QString(QChar::LineSeparator));
        } else if (w == "page") {
            paragraph();
            m_blockBreaksPage = true;
        } else if (w == "tab" || w == "nestcell") {
            tab();
        }
        // Tab stops.
        else if (w == "tx" || w == "tb") {
            TabStop stop = g.para.pendingTab;
            stop.position = distance(param);
            if (w == "tb")
                stop.kind = 0, stop.leader = 0;
            if (stop.position > 0 && g.para.tabs.size() < 64)
                g.para.tabs.append(stop);
            g.para.pendingTab = TabStop{};
        } else if (w == "tqr") {
            g.para.pendingTab.kind = 2;
        } else if (w == "tqc") {
            g.para.pendingTab.kind = 1;
        } else if (w == "tqdec") {
            g.para.pendingTab.kind = 3;
        } else if (w == "tldot") {
            g.para.pendingTab.leader = 1;
        } else if (w == "tlhyph") {
            g.para.pendingTab.leader = 2;
        } else if (w == "tlul") {
            g.para.pendingTab.leader = 3;
        } else if (w == "tlth") {
            g.para.pendingTab.leader = 4;
        } else if (w == "tleq") {
            g.para.pendingTab.leader = 5;
        } else if (w == "tlmdot") {
            g.para.pendingTab.leader = 6;
        } else if (w == "deftab") {
            if (param > 0)
                m_defaultTab = qBound(20, param, RtfReader::kMaxTwips);
        } else if (const char16_t c = symbol(w)) {
            text(QString(QChar(c)));
        }
        // Tables.
        else if (w == "trowd") {
            m_rowDef = RowDef{};
            m_cellDef = CellDef{};
            m_borderOwner = BorderOwner::None;
        } else if (w == "trleft") {
            m_rowDef.left = distance(param);
        } else if (w == "trgaph") {
            m_rowDef.gap = qBound(0, param, 1440);
        } else if (w == "trqc") {
            m_rowDef.align = 1;
        } else if (w == "trqr") {
            m_rowDef.align = 2;
        } else if (w == "trql") {
            m_rowDef.align = 0;
        } else if (w == "cellx") {
            m_cellDef.edge = distance(param);
            if (m_rowDef.cells.size() < 4096)
                m_rowDef.cells.append(m_cellDef);
            m_cellDef = CellDef{};
            m_borderOwner = BorderOwner::None;
        } else if (borderWord(w, hasParam, param)) {
        } else if (w == "clpadl" || w == "clpadt" || w == "clpadr" || w == "clpadb") {
            // Word reads \clpadl as the top and \clpadt as the left padding,
            // and writers follow it.
            const int side = w == "clpadl" ? Top : w == "clpadt" ? Left : w == "clpadr" ? Right : Bottom;
            m_cellDef.padding[side] = qBound(0, param, 1440);
        } else if (w == "trpaddl" || w == "trpaddt" || w == "trpaddr" || w == "trpaddb") {
            const int side = w == "trpaddl" ? Left : w == "trpaddt" ? Top : w == "trpaddr" ? Right : Bottom;
            m_rowDef.padding[side] = qBound(0, param, 1440);
        } else if (w == "clcbpat") {
            m_cellDef.background = param;
        } else if (w == "clcfpat") {
            m_cellDef.pattern = param;
        } else if (w == "clshdng") {
            m_cellDef.shading = qBound(0, param, 10000);
        } else if (w == "clmgf") {
            m_cellDef.mergeFirst = true;
        } else if (w == "clmrg") {
            m_cellDef.merge = true;
        } else if (w == "clvmgf") {
            m_cellDef.vMergeFirst = true;
        } else if (w == "clvmrg") {
            m_cellDef.vMerge = true;
        } else if (w == "clvertalc") {
            m_cellDef.vAlign = 1;
        } else if (w == "clvertalb") {
            m_cellDef.vAlign = 2;
        } else if (w == "clvertalt") {
            m_cellDef.vAlign = 0;
        } else if (w == "cell") {
            endCell();
        } else if (w == "row") {
            endRow();
        }
    }

    // --- text ---

    int currentCodePage() const {
        const int font = m_stack.last().chr.font;
        const auto it = m_fonts.constFind(font);
        if (it != m_fonts.constEnd() && it->codePage != 0)
            return it->codePage;
        return m_defaultCodePage;
    }

    int fontTableCodePage() const { return m_fontCodePage != 0 ? m_fontCodePage : m_defaultCodePage; }

    void plainBytes(const char* s, qsizetype len) {
        Group& g = top();
        if (g.dest == Dest::Skip)
            return;
        if (g.dest == Dest::FontTable) {
            for (qsizetype k = 0; k < len; ++k) {
                if (s[k] == ';')
                    commitFont();
                else if (m_fontBytes.size() < 256)
                    m_fontBytes.append(s[k]);
            }
            return;
        }
        if (g.dest == Dest::ColorTable) {
            for (qsizetype k = 0; k < len; ++k)
                if (s[k] == ';')
                    commitColor();
            return;
        }
        if (g.dest == Dest::Picture) {
            if (!m_pict.format.isEmpty())
                m_pictHex.append(s, len);
            return;
        }
        if (g.dest == Dest::ShapeName) {
            if (m_shapeProperty.size() < 64)
                m_shapeProperty.append(s, qMin<qsizetype>(len, 64));
            return;
        }
        if (g.dest == Dest::Shape || g.dest == Dest::ShapePicture)
            return;
        if (g.dest == Dest::FieldInstruction) {
            if (m_fieldInstruction.size() < 256)
                m_fieldInstruction.append(s, qMin<qsizetype>(len, 256));
            return;
        }
        if (m_skipFallback > 0) {
            const qsizetype skipped = qMin<qsizetype>(len, m_skipFallback);
            m_skipFallback -= int(skipped);
            s += skipped;
            len -= skipped;
            if (len == 0)
                return;
        }
        if (g.chr.hidden || g.chr.deleted)
            return;
        prepareText();
        const int cp = currentCodePage();
        if (cp != m_bytesCodePage)
            decodeBytes();
        m_bytesCodePage = cp;
        m_bytes.append(s, len);
    }

    void escapedByte(char byte) {
        Group& g = top();
        if (g.dest == Dest::FontTable) {
            if (m_fontBytes.size() < 256)
                m_fontBytes.append(byte);
            return;
        }
        if (g.dest != Dest::Text || g.chr.hidden || g.chr.deleted)
            return;
        prepareText();
        const int cp = currentCodePage();
        if (cp != m_bytesCodePage)
            decodeBytes();
        m_bytesCodePage = cp;
        m_bytes.append(byte);
    }

    void text(const QString& s) {
        Group& g = top();
        if (g.dest == Dest::FontTable) {
            m_fontName += rtf::decodeBytes(m_fontBytes, fontTableCodePage());
            m_fontBytes.clear();
            m_fontName += s;
            return;
        }
        if (g.dest != Dest::Text || g.chr.hidden || g.chr.deleted)
            return;
        prepareText();
        decodeBytes();
        m_text += s;
    }

    void decodeBytes() {
        if (!m_bytes.isEmpty()) {
            m_text += rtf::decodeBytes(m_bytes, m_bytesCodePage);
            m_bytes.clear();
        }
    }

    // Called before text is added: the pending text is written out when the
    // format changes, and the cursor is placed into or out of a table.
    void prepareText() {
        const Group& g = top();
        const bool wantBox = !g.para.inTable && hasBorder(g.para);
        if (m_box && (!wantBox || !sameBox(g.para))) {
            flush();
            leaveBox();
        }
        if (g.para.inTable != m_inTableCell || (g.para.inTable && m_needCell)) {
            flush();
            placeCursor(g.para.inTable);
        }
        if (wantBox && !m_box) {
            flush();
            enterBox(g.para);
        }
        if (!m_text.isEmpty() || !m_bytes.isEmpty()) {
            if (!(g.chr == m_pendingChr))
                flush();
        }
        m_pendingChr = g.chr;
        m_para = g.para;
    }

    // Control characters are not text: a stray one would split a table (a
    // line feed starts a new block) or print as a box. They are dropped and
    // counted.
    void dropControlCharacters() {
        qsizetype out = 0;
        for (qsizetype k = 0; k < m_text.size(); ++k) {
            const char16_t c = m_text.at(k).unicode();
            const bool control = (c < 0x20 && c != u'\t') || (c >= 0x7F && c <= 0x9F) || c == 0x2029 || c == 0xFFFE ||
                                 c == 0xFFFF || c == QChar::ObjectReplacementCharacter;
            if (control)
                ++m_controlCharacters;
            else
                m_text[out++] = m_text.at(k);
        }
        m_text.truncate(out);
    }

    void flush() {
        decodeBytes();
        dropControlCharacters();
        if (m_text.isEmpty())
            return;
        applyBlockFormat();
        m_cursor.insertText(m_text, charFormat(m_pendingChr));
        m_text.clear();
    }

    QTextCharFormat charFormat(const CharState& c) const {
        QTextCharFormat f;
        const auto font = m_fonts.constFind(c.font);
        if (font != m_fonts.constEnd() && !font->name.isEmpty())
            f.setFontFamilies({font->name});
        f.setFontPointSize(c.halfPoints / 2.0);
        if (c.bold)
            f.setFontWeight(QFont::Bold);
        if (c.italic)
            f.setFontItalic(true);
        if (c.strike)
            f.setFontStrikeOut(true);
        switch (c.underline) {
        case Underline::None:
            break;
        case Underline::Single:
        case Underline::Double:
            f.setUnderlineStyle(QTextCharFormat::SingleUnderline);
            break;
        case Underline::Dotted:
            f.setUnderlineStyle(QTextCharFormat::DotLine);
            break;
        case Underline::Dashed:
            f.setUnderlineStyle(QTextCharFormat::DashUnderline);
            break;
        case Underline::Wave:
            f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
            break;
        }
        switch (c.leader) {
        case 0:
            break;
        case 1:
        case 6:
            f.setUnderlineStyle(QTextCharFormat::DotLine);
            break;
        case 2:
            f.setUnderlineStyle(QTextCharFormat::DashUnderline);
            break;
        default:
            f.setUnderlineStyle(QTextCharFormat::SingleUnderline);
            break;
        }
        if (c.fg > 0 && c.fg < m_colors.size() && m_colors.at(c.fg).isValid())
            f.setForeground(m_colors.at(c.fg));
        if (c.bg > 0 && c.bg < m_colors.size() && m_colors.at(c.bg).isValid())
            f.setBackground(m_colors.at(c.bg));
        if (c.pageField != 0)
            f.setProperty(RtfReader::kPageFieldProperty, c.pageField);
        if (c.caps == 1)
            f.setFontCapitalization(QFont::AllUppercase);
        else if (c.caps == 2)
            f.setFontCapitalization(QFont::SmallCaps);
        if (c.raise != 0)
            f.setBaselineOffset(qBound(-100.0, c.raise * 100.0 / c.halfPoints, 100.0));
        if (c.expand != 0) {
            f.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            f.setFontLetterSpacing(twipsToPixels(c.expand));
        }
        if (c.vertical < 0)
            f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        else if (c.vertical > 0)
            f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        return f;
    }

    QTextBlockFormat blockFormat() const {
        QTextBlockFormat f;
        static const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
        f.setAlignment(aligns[qBound(0, m_para.align, 3)]);
        // In a bordered box the box carries the side indents.
        if (!m_box) {
            f.setLeftMargin(twipsToPixels(qMax(0, m_para.li)));
            f.setRightMargin(twipsToPixels(qMax(0, m_para.ri)));
        }
        f.setTextIndent(twipsToPixels(m_para.fi));
        f.setTopMargin(twipsToPixels(qMax(0, m_para.sb)));
        f.setBottomMargin(twipsToPixels(qMax(0, m_para.sa)));
        if (!m_para.tabs.isEmpty()) {
            // RTF counts tab stops from the page margin, Qt from the
            // paragraph's left indent.
            QList<QTextOption::Tab> tabs;
            for (const TabStop& t : m_para.tabs) {
                static const QTextOption::TabType kinds[] = {QTextOption::LeftTab, QTextOption::CenterTab,
                                                             QTextOption::RightTab, QTextOption::DelimiterTab};
                const qreal position = twipsToPixels(qint64(t.position) - qMax(0, m_para.li));
                if (position > 0)
                    tabs.append(QTextOption::Tab(position, kinds[t.kind], t.kind == 3 ? QChar(u'.') : QChar()));
            }
            f.setTabPositions(tabs);
        }
        if (m_para.sl != 0) {
            if (m_para.slMult)
                f.setLineHeight(qreal(qBound(qint64(10), qAbs(qint64(m_para.sl)) * 100 / 240, qint64(1000))), QTextBlockFormat::ProportionalHeight);
            else if (m_para.sl > 0)
                f.setLineHeight(twipsToPixels(m_para.sl), QTextBlockFormat::MinimumHeight);
            else
                f.setLineHeight(twipsToPixels(-m_para.sl), QTextBlockFormat::FixedHeight);
        }
        if (m_blockBreaksPage)
            f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        return f;
    }

    void applyBlockFormat() {
        if (m_cursor.blockFormat() != blockFormat())
            m_cursor.setBlockFormat(blockFormat());
        // Qt's layout drops the space before the first block after a table;
        // the table keeps it below itself instead.
        if (m_frameBefore) {
            if (m_cursor.block().position() == m_frameBefore->lastPosition() + 1 && m_para.sb > 0) {
                QTextFrameFormat f = m_frameBefore->frameFormat();
                if (f.bottomMargin() < twipsToPixels(m_para.sb)) {
                    f.setBottomMargin(twipsToPixels(m_para.sb));
                    m_frameBefore->setFrameFormat(f);
                }
            }
            m_frameBefore = nullptr;
        }
    }

    // A tab character takes the leader of the tab stop it moves to: the
    // paragraph's n-th tab goes to its n-th stop, as templates are written.
    // Qt draws no leaders; a tab drawn underlined (dotted for dots) stands
    // in for one.
    void tab() {
        Group& g = top();
        if (g.dest != Dest::Text)
            return text(u"\t"_s);
        const int leader = g.para.tabs.value(m_tabsInParagraph).leader;
        ++m_tabsInParagraph;
        g.chr.leader = leader;
        text(u"\t"_s);
        g.chr.leader = 0;
    }

    void paragraph() {
        if (top().dest != Dest::Text)
            return;
        // A tracked deletion of the paragraph mark joins the paragraphs.
        if (top().chr.deleted && !top().para.inTable)
            return;
        m_tabsInParagraph = 0;
        m_skipFallback = 0;
        prepareText();
        flush();
        applyBlockFormat();
        m_cursor.insertBlock(QTextBlockFormat(), charFormat(top().chr));
        m_blockBreaksPage = false;
    }

    // The border the \brdr... words describe now.
    Border* border() {
        switch (m_borderOwner) {
        case BorderOwner::Cell:
            return &m_cellDef.borders[m_borderSide];
        case BorderOwner::Row:
            return &m_rowDef.borders[m_borderSide];
        case BorderOwner::Paragraph:
            return &top().para.borders[m_borderSide];
        case BorderOwner::None:
            break;
        }
        return nullptr;
    }

    // Border words: the side words choose which border the following
    // \brdr... words describe.
    bool borderWord(const Word& w, bool hasParam, int param) {
        static const struct {
            std::string_view word;
            int side;
        } kCellSides[] = {{"clbrdrt", Top}, {"clbrdrl", Left}, {"clbrdrb", Bottom}, {"clbrdrr", Right}};
        static const struct {
            std::string_view word;
            int side;
        } kRowSides[] = {{"trbrdrt", Top},    {"trbrdrl", Left},   {"trbrdrb", Bottom},
                         {"trbrdrr", Right},  {"trbrdrh", InnerH}, {"trbrdrv", InnerV}};
        for (const auto& c : kCellSides)
            if (w == c.word) {
                m_borderOwner = BorderOwner::Cell;
                m_borderSide = c.side;
                *border() = Border{};
                border()->set = true;
                return true;
            }
        for (const auto& r : kRowSides)
            if (w == r.word) {
                m_borderOwner = BorderOwner::Row;
                m_borderSide = r.side;
                *border() = Border{};
                border()->set = true;
                return true;
            }
        if (!w.startsWith("brdr"))
            return false;
        if (w == "brdrt" || w == "brdrl" || w == "brdrb" || w == "brdrr" || w == "brdrbtw" || w == "brdrbar") {
            // Paragraph borders.
            const int side = w == "brdrt" ? Top : w == "brdrl" ? Left : w == "brdrb" ? Bottom : w == "brdrr" ? Right : -1;
            if (side < 0) {
                m_borderOwner = BorderOwner::None;
                return true;
            }
            m_borderOwner = BorderOwner::Paragraph;
            m_borderSide = side;
            *border() = Border{};
            border()->set = true;
            return true;
        }
        if (w == "box") {
            // \box: one border on all four sides of the paragraph.
            return false;
        }
        Border* const m_border = border();
        if (!m_border)
            return true;
        if (w == "brdrw") {
            m_border->width = qBound(0, param, 255);
        } else if (w == "brdrcf") {
            m_border->color = param;
        } else if (w == "brdrnone" || w == "brdrnil" || w == "brdrtbl") {
            m_border->style = 0;
        } else if (w == "brdrdb" || w == "brdrtriple" || w == "brdrthtnsg" || w == "brdrtnthsg" ||
                   w == "brdrtnthtnsg" || w == "brdrthtnmg" || w == "brdrtnthmg" || w == "brdrtnthtnmg" ||
                   w == "brdrthtnlg" || w == "brdrtnthlg" || w == "brdrtnthtnlg") {
            m_border->style = 2;
        } else if (w == "brdrdot") {
            m_border->style = 3;
        } else if (w == "brdrdash" || w == "brdrdashsm" || w == "brdrdashd" || w == "brdrdashdd" ||
                   w == "brdrdashdotstr") {
            m_border->style = 4;
        } else {
            // \brdrs, \brdrth, \brdrsh, \brdrhair, \brdroutset, \brdrinset, \brdrwavy ... drawn single.
            m_border->style = 1;
        }
        Q_UNUSED(hasParam);
        return true;
    }

    // --- headers and footers ---

    void pageField(int kind) {
        Group& g = top();
        if (g.dest != Dest::Text)
            return;
        g.chr.pageField = kind;
        text(u"1"_s);
        g.chr.pageField = 0;
    }

    // What the body's reading leaves while a header or footer is read.
    struct Band {
        int depth = 0;
        QTextCursor cursor;
        QTextTable* table = nullptr;
        QTextTable* box = nullptr;
        ParaState boxPara;
        QList<int> colEdges, cellColumns;
        int row = 0, col = 0, tabs = 0;
        bool rowEnded = false, inTableCell = false, needCell = false, breaksPage = false;
        ParaState para;
        CharState chr;
    };

    void startBand(const Word& w) {
        Group& g = top();
        if (g.dest != Dest::Text || m_band) {
            g.dest = Dest::Skip;
            return;
        }
        flush();
        const RtfReader::PageBand kind = w.startsWith("header")
                                             ? (w == "headerf" ? RtfReader::PageBand::FirstHeader : RtfReader::PageBand::Header)
                                             : (w == "footerf" ? RtfReader::PageBand::FirstFooter : RtfReader::PageBand::Footer);
        QTextDocument* main = m_cursor.document();
        QTextDocument* doc = RtfReader::pageBand(main, kind);
        if (!doc) {
            doc = new QTextDocument(main);
            doc->setObjectName(RtfReader::pageBandName(kind));
            doc->setUndoRedoEnabled(false);
        } else {
            doc->clear();
        }
        m_band = std::make_unique<Band>(Band{int(m_stack.size()), m_cursor, m_table, m_box, m_boxPara, m_colEdges,
                                             m_cellColumns, m_row, m_col, m_tabsInParagraph, m_rowEnded,
                                             m_inTableCell, m_needCell, m_blockBreaksPage, m_para, m_pendingChr});
        m_cursor = QTextCursor(doc);
        m_table = nullptr;
        m_box = nullptr;
        m_frameBefore = nullptr;
        m_colEdges.clear();
        m_cellColumns.clear();
        m_row = m_col = m_tabsInParagraph = 0;
        m_rowEnded = m_inTableCell = m_needCell = m_blockBreaksPage = false;
        g.para = ParaState{};
    }

    void endBand() {
        flush();
        applyBlockFormat();
        finishTable();
        leaveBox();
        // The band's last paragraph mark leaves an empty block at its end.
        QTextDocument* doc = m_cursor.document();
        QTextCursor end(doc);
        end.movePosition(QTextCursor::End);
        const QTextBlock last = end.block();
        if (last.length() == 1 && last.previous().isValid() &&
            QTextCursor(last.previous()).currentFrame() == doc->rootFrame() && !end.currentTable()) {
            end.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
            end.removeSelectedText();
        }
        QTextOption option = doc->defaultTextOption();
        option.setTabStopDistance(twipsToPixels(m_defaultTab > 0 ? m_defaultTab : 720));
        doc->setDefaultTextOption(option);
        const Band b = *m_band;
        m_band.reset();
        m_cursor = b.cursor;
        m_table = b.table;
        m_box = b.box;
        m_boxPara = b.boxPara;
        m_frameBefore = nullptr;
        m_colEdges = b.colEdges;
        m_cellColumns = b.cellColumns;
        m_row = b.row;
        m_col = b.col;
        m_tabsInParagraph = b.tabs;
        m_rowEnded = b.rowEnded;
        m_inTableCell = b.inTableCell;
        m_needCell = b.needCell;
        m_blockBreaksPage = b.breaksPage;
        m_para = b.para;
        m_pendingChr = b.chr;
    }

    // --- pictures ---

    // PNG and JPEG pictures are shown at the size the template gives them;
    // other kinds (metafiles, bitmaps) Qt cannot draw and are skipped.
    void insertPicture() {
        if (m_pict.format.isEmpty())
            return;
        const QByteArray data = m_pictBinary.isEmpty() ? QByteArray::fromHex(m_pictHex) : m_pictBinary;
        m_pictHex.clear();
        m_pictBinary.clear();
        // A picture claiming more than 40 megapixels is not a logo.
        QBuffer buffer;
        buffer.setData(data);
        QImageReader reader(&buffer, m_pict.format);
        const QSize size = reader.size();
        if (!size.isValid() || qint64(size.width()) * size.height() > 40'000'000)
            return;
        QImage image;
        if (!reader.read(&image) || image.isNull())
            return;
        // The size the template gives: the picture's own goal, else the
        // shape's box, else its pixels.
        const bool inShape = top().dest == Dest::ShapePicture;
        const qint64 shapeWidth = qint64(m_shapeRight) - m_shapeLeft;
        const qint64 shapeHeight = qint64(m_shapeBottom) - m_shapeTop;
        const qreal width = m_pict.goalWidth > 0          ? twipsToPixels(m_pict.goalWidth)
                            : inShape && shapeWidth > 0   ? twipsToPixels(shapeWidth)
                                                          : qreal(image.width());
        const qreal height = m_pict.goalHeight > 0         ? twipsToPixels(m_pict.goalHeight)
                             : inShape && shapeHeight > 0 ? twipsToPixels(shapeHeight)
                                                          : qreal(image.height());
        const QString name = u"rtf-picture-%1"_s.arg(++m_pictures);
        m_cursor.document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
        prepareText();
        flush();
        applyBlockFormat();
        QTextImageFormat f;
        f.merge(charFormat(top().chr));
        f.setName(name);
        const qreal longest = twipsToPixels(RtfReader::kMaxTwips);
        f.setWidth(qBound<qreal>(1, width * m_pict.scaleX / 100.0, longest));
        f.setHeight(qBound<qreal>(1, height * m_pict.scaleY / 100.0, longest));
        m_cursor.insertImage(f);
    }

    // --- paragraph borders ---

    static bool hasBorder(const ParaState& p) {
        for (const Border& b : p.borders)
            if (b.style != 0)
                return true;
        return false;
    }

    bool sameBox(const ParaState& p) const {
        for (int k = 0; k < 4; ++k)
            if (!(p.borders[k] == m_boxPara.borders[k]))
                return false;
        return p.li == m_boxPara.li && p.ri == m_boxPara.ri;
    }

    // Bordered paragraphs (a signature line is an empty paragraph with a
    // bottom border) go into a one-cell table whose cell has the borders;
    // following paragraphs with the same borders share it, as in a word
    // processor. The box spans the paragraphs' indents.
    void enterBox(const ParaState& p) {
        QTextTableFormat tf;
        tf.setBorder(0);
        tf.setBorderStyle(QTextFrameFormat::BorderStyle_None);
        tf.setBorderCollapse(true);
        tf.setCellPadding(0);
        tf.setCellSpacing(0);
        tf.setLeftMargin(twipsToPixels(qMax(0, p.li)));
        tf.setRightMargin(twipsToPixels(qMax(0, p.ri)));
        tf.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        m_box = m_cursor.insertTable(1, 1, tf);
        QTextTableCell cell = m_box->cellAt(0, 0);
        QTextTableCellFormat f;
        for (int side = Top; side <= Right; ++side)
            applyBorder(f, side, p.borders[side]);
        f.setTopPadding(1);
        f.setBottomPadding(1);
        cell.setFormat(f);
        m_boxPara = p;
        m_cursor = cell.firstCursorPosition();
    }

    void leaveBox() {
        if (!m_box)
            return;
        // The last paragraph mark of the box leaves an empty block behind.
        const QTextTableCell cell = m_box->cellAt(0, 0);
        QTextCursor end = cell.lastCursorPosition();
        if (end.block().length() == 1 && end.block().position() > cell.firstPosition()) {
            end.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
            end.removeSelectedText();
        }
        m_cursor.setPosition(m_box->lastPosition() + 1);
        m_frameBefore = m_box;
        m_box = nullptr;
    }

    // --- tables ---

    QColor color(int index) const {
        return index > 0 && index < m_colors.size() ? m_colors.at(index) : QColor();
    }

    void applyBorder(QTextTableCellFormat& f, int side, const Border& b) const {
        const qreal width = b.style == 0 ? 0 : qMax<qreal>(0.5, twipsToPixels(b.width > 0 ? b.width : 10));
        const QTextFrameFormat::BorderStyle style = b.style == 2   ? QTextFrameFormat::BorderStyle_Double
                                                    : b.style == 3 ? QTextFrameFormat::BorderStyle_Dotted
                                                    : b.style == 4 ? QTextFrameFormat::BorderStyle_Dashed
                                                    : b.style == 1 ? QTextFrameFormat::BorderStyle_Solid
                                                                   : QTextFrameFormat::BorderStyle_None;
        const QColor c = color(b.color).isValid() ? color(b.color) : QColor(Qt::black);
        switch (side) {
        case Top:
            f.setTopBorder(width), f.setTopBorderStyle(style), f.setTopBorderBrush(c);
            break;
        case Left:
            f.setLeftBorder(width), f.setLeftBorderStyle(style), f.setLeftBorderBrush(c);
            break;
        case Bottom:
            f.setBottomBorder(width), f.setBottomBorderStyle(style), f.setBottomBorderBrush(c);
            break;
        default:
            f.setRightBorder(width), f.setRightBorderStyle(style), f.setRightBorderBrush(c);
            break;
        }
    }

    // The table's column edges grow by the edges of every row, so that each
    // row keeps its own widths: a cell spans the columns between its edges.
    int columnAt(int edge) const {
        for (int k = 0; k < m_colEdges.size(); ++k)
            if (m_colEdges.at(k) >= edge)
                return k;
        return int(m_colEdges.size()) - 1;
    }

    // Merges the cells of a rectangle of the table, but only when every cell
    // in it lies wholly inside: Qt's own merge does not check that, and a
    // template whose rows disagree about their merges would otherwise break
    // the table. The text stays in its cells either way.
    void mergeCells(int row, int column, int rows, int columns) {
        if (row < 0 || column < 0 || rows < 1 || columns < 1 || row + rows > m_table->rows() ||
            column + columns > m_table->columns())
            return;
        for (int r = row; r < row + rows; ++r)
            for (int c = column; c < column + columns; ++c) {
                const QTextTableCell cell = m_table->cellAt(r, c);
                if (!cell.isValid() || cell.row() < row || cell.column() < column ||
                    cell.row() + cell.rowSpan() > row + rows || cell.column() + cell.columnSpan() > column + columns)
                    return;
            }
        m_table->mergeCells(row, column, rows, columns);
    }

    void addEdge(int edge) {
        if (m_colEdges.contains(edge) || m_colEdges.size() > RtfReader::kMaxColumns)
            return;
        int k = 0;
        while (k < m_colEdges.size() && m_colEdges.at(k) < edge)
            ++k;
        if (k == 0 || k == m_colEdges.size()) {
            // Left of the first or right of the last edge: a new column at
            // that side, empty in the rows before.
            m_colEdges.insert(k, edge);
            if (m_table) {
                const int column = k == 0 ? 0 : int(m_colEdges.size()) - 2;
                m_table->insertColumns(column, 1);
            }
            return;
        }
        // Splits column k-1: the cells that covered it now cover both parts.
        m_colEdges.insert(k, edge);
        if (!m_table)
            return;
        m_table->insertColumns(k, 1);
        for (int r = 0; r < m_table->rows(); ++r) {
            const QTextTableCell before = m_table->cellAt(r, k - 1);
            const QTextTableCell added = m_table->cellAt(r, k);
            if (before.row() == r && added.column() == k && added.columnSpan() == 1 && before.column() + before.columnSpan() == k)
                mergeCells(r, before.column(), before.rowSpan(), before.columnSpan() + 1);
        }
    }

    // Starts a table row with the current row definition: columns for its
    // edges, its cells merged over the columns they span, their borders and
    // shading set.
    void startRow() {
        RowDef def = m_rowDef;
        if (def.cells.isEmpty()) {
            CellDef cell;
            cell.edge = def.left + 1440;
            def.cells.append(cell);
        }
        // The cells' boundaries, merged cells without one of their own.
        QList<int> bounds{def.left};
        QList<int> cellOfDef; // for each defined cell, the index of the cell it merges into
        for (int k = 0; k < def.cells.size(); ++k) {
            const CellDef& c = def.cells.at(k);
            const int edge = qMax(bounds.last() + 1, c.edge);
            if (c.merge && k > 0) {
                bounds.last() = qMax(bounds.last(), edge);
                cellOfDef.append(cellOfDef.last());
            } else {
                bounds.append(edge);
                cellOfDef.append(int(bounds.size()) - 2);
            }
        }
        const bool newTable = !m_table;
        if (newTable) {
            m_colEdges.clear();
            for (int b : bounds)
                if (m_colEdges.size() <= RtfReader::kMaxColumns)
                    m_colEdges.append(b);
            QTextTableFormat tf;
            tf.setCellPadding(0);
            tf.setCellSpacing(0);
            tf.setBorder(0);
            tf.setBorderStyle(QTextFrameFormat::BorderStyle_None);
            tf.setBorderCollapse(true);
            tf.setAlignment(def.align == 1 ? Qt::AlignHCenter : def.align == 2 ? Qt::AlignRight : Qt::AlignLeft);
            m_table = m_cursor.insertTable(1, qMax(1, int(m_colEdges.size()) - 1), tf);
            m_row = 0;
        } else {
            for (int b : bounds)
                addEdge(b);
            m_table->appendRows(1);
            ++m_row;
        }
        // Cells of this row over the grid's columns.
        const int columns = m_table->columns();
        m_cellColumns.clear();
        struct Span {
            int first, count, def;
        };
        QList<Span> spans;
        const int firstColumn = columnAt(bounds.first());
        if (firstColumn > 0)
            spans.append({0, firstColumn, -1});
        int column = firstColumn;
        for (int k = 1; k < bounds.size() && column < columns; ++k) {
            const int end = qBound(column + 1, columnAt(bounds.at(k)), columns);
            // The definition of the first cell that merges into this one.
            const int def0 = int(cellOfDef.indexOf(k - 1));
            spans.append({column, end - column, def0});
            column = end;
        }
        if (column < columns)
            spans.append({column, columns - column, -1});
        for (int k = 0; k < def.cells.size(); ++k) {
            const int cell = cellOfDef.at(k);
            int index = 0;
            for (int s = 0; s < spans.size(); ++s)
                if (spans.at(s).def >= 0 && cellOfDef.at(spans.at(s).def) == cell)
                    index = s;
            m_cellColumns.append(spans.value(index).first);
        }
        for (const Span& sp : spans) {
            if (sp.count > 1)
                mergeCells(m_row, sp.first, 1, sp.count);
        }
        for (int s = 0; s < spans.size(); ++s) {
            const Span& sp = spans.at(s);
            QTextTableCell cell = m_table->cellAt(m_row, sp.first);
            QTextTableCellFormat f;
            if (sp.def >= 0) {
                const CellDef& c = def.cells.at(sp.def);
                const bool first = s == 0 || spans.at(s - 1).def < 0;
                const bool last = s == spans.size() - 1 || spans.at(s + 1).def < 0;
                auto side = [&](int which, int rowSide, int inner, bool outer) {
                    const Border& own = c.borders[which];
                    return own.set ? own : def.borders[outer ? rowSide : inner];
                };
                applyBorder(f, Top, side(Top, Top, Top, true));
                applyBorder(f, Bottom, side(Bottom, Bottom, Bottom, true));
                applyBorder(f, Left, side(Left, Left, InnerV, first));
                applyBorder(f, Right, side(Right, Right, InnerV, last));
                // Padding: the cell's own, the row's, else half the gap
                // between cells at the sides.
                auto pad = [&](int side) {
                    if (c.padding[side] >= 0)
                        return c.padding[side];
                    if (def.padding[side] >= 0)
                        return def.padding[side];
                    if (side == Left && c.padding[Right] >= 0)
                        return c.padding[Right];
                    return side == Left || side == Right ? def.gap : 0;
                };
                f.setLeftPadding(twipsToPixels(pad(Left)));
                f.setRightPadding(twipsToPixels(pad(Right)));
                f.setTopPadding(twipsToPixels(pad(Top)));
                f.setBottomPadding(twipsToPixels(pad(Bottom)));
                QColor bg = color(c.background);
                if (c.shading >= 0) {
                    const QColor back = bg.isValid() ? bg : QColor(Qt::white);
                    const QColor fore = color(c.pattern).isValid() ? color(c.pattern) : QColor(Qt::black);
                    const qreal p = c.shading / 10000.0;
                    bg = QColor::fromRgbF(back.redF() * (1 - p) + fore.redF() * p, back.greenF() * (1 - p) + fore.greenF() * p,
                                          back.blueF() * (1 - p) + fore.blueF() * p);
                }
                if (bg.isValid())
                    f.setBackground(bg);
                f.setVerticalAlignment(c.vAlign == 1   ? QTextCharFormat::AlignMiddle
                                       : c.vAlign == 2 ? QTextCharFormat::AlignBottom
                                                       : QTextCharFormat::AlignTop);
            } else {
                for (int side = Top; side <= Right; ++side)
                    applyBorder(f, side, Border{});
            }
            cell.setFormat(f);
            // A cell merged with the one above.
            if (sp.def >= 0 && def.cells.at(sp.def).vMerge && m_row > 0) {
                const QTextTableCell above = m_table->cellAt(m_row - 1, sp.first);
                if (above.column() == sp.first && above.columnSpan() == sp.count &&
                    above.row() + above.rowSpan() == m_row)
                    mergeCells(above.row(), sp.first, above.rowSpan() + 1, sp.count);
            }
        }
        m_rowHasDef = !m_rowDef.cells.isEmpty();
    }

    // Column widths follow the table's edges; set once the table is done.
    void finishTable() {
        if (!m_table)
            return;
        QTextTableFormat tf = m_table->format();
        QList<QTextLength> widths;
        for (int k = 1; k < m_colEdges.size() && widths.size() < m_table->columns(); ++k)
            widths.append(QTextLength(QTextLength::FixedLength,
                                      twipsToPixels(qMax<qint64>(1, qint64(m_colEdges.at(k)) - m_colEdges.at(k - 1)))));
        while (widths.size() < m_table->columns())
            widths.append(QTextLength(QTextLength::FixedLength, twipsToPixels(1440)));
        tf.setColumnWidthConstraints(widths);
        tf.setLeftMargin(twipsToPixels(qMax(0, m_colEdges.value(0))));
        m_table->setFormat(tf);
    }

    void placeCursor(bool inTable) {
        if (!inTable) {
            if (m_table) {
                // Leave the table: continue in the block after it.
                finishTable();
                m_cursor.setPosition(m_table->lastPosition() + 1);
                m_frameBefore = m_table;
                m_table = nullptr;
            }
            m_inTableCell = false;
            return;
        }
        if (!m_table || m_rowEnded) {
            startRow();
            m_col = 0;
            m_rowEnded = false;
        }
        int column = m_col < m_cellColumns.size() ? m_cellColumns.at(m_col) : -1;
        if (column < 0) {
            // More cells than the row defines: the table grows by a column.
            if (m_table->columns() < RtfReader::kMaxColumns) {
                m_colEdges.append(m_colEdges.last() + 1440);
                m_table->appendColumns(1);
                column = m_table->columns() - 1;
                m_cellColumns.append(column);
            } else {
                column = m_table->columns() - 1;
            }
        }
        m_cursor = m_table->cellAt(m_row, column).lastCursorPosition();
        m_inTableCell = true;
        m_needCell = false;
    }

    void endCell() {
        Group& g = top();
        if (g.dest != Dest::Text)
            return;
        g.para.inTable = true;
        prepareText();
        flush();
        applyBlockFormat();
        if (m_table && m_col < 4096)
            ++m_col;
        m_tabsInParagraph = 0;
        m_needCell = true;
    }

    void endRow() {
        if (top().dest != Dest::Text)
            return;
        flush();
        if (m_table) {
            m_rowEnded = true;
            m_needCell = true;
        }
    }

    // --- font and colour tables ---

    void commitFont() {
        if (!m_fontPending)
            return;
        QString name = m_fontName + rtf::decodeBytes(m_fontBytes, fontTableCodePage());
        name = name.trimmed();
        if (m_fonts.size() < 4096)
            m_fonts.insert(m_fontId, Font{name, m_fontCodePage});
        m_fontPending = false;
        m_fontName.clear();
        m_fontBytes.clear();
    }

    void commitColor() {
        if (m_colors.size() < 4096)
            m_colors.append(m_colorPending ? QColor(m_red, m_green, m_blue) : QColor());
        m_red = m_green = m_blue = 0;
        m_colorPending = false;
    }

    struct Picture {
        QByteArray format; // "png", "jpeg"; empty for kinds not shown
        int width = 0, height = 0;
        int goalWidth = 0, goalHeight = 0;
        int scaleX = 100, scaleY = 100;
    };

    const QByteArray& m_data;
    bool m_starred = false;
    int m_shapeLeft = 0, m_shapeTop = 0, m_shapeRight = 0, m_shapeBottom = 0;
    QByteArray m_shapeProperty;
    QByteArray m_fieldInstruction;
    bool m_titlePage = false;
    std::unique_ptr<Band> m_band;
    Picture m_pict;
    QByteArray m_pictHex;
    QByteArray m_pictBinary;
    int m_pictures = 0;
    QTextCursor m_cursor;
    bool m_cutShort = false;
    int m_controlCharacters = 0;
    QList<Group> m_stack;
    int m_overflow = 0;
    bool m_newGroup = false;
    int m_skipFallback = 0;

    int m_defaultCodePage = 1252;
    int m_defaultFont = -1;
    QHash<int, Font> m_fonts;
    int m_fontId = 0;
    bool m_fontPending = false;
    QByteArray m_fontBytes;
    QString m_fontName;
    int m_fontCodePage = 0;

    QList<QColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorPending = false;

    QByteArray m_bytes;
    int m_bytesCodePage = 1252;
    QString m_text;
    CharState m_pendingChr;
    ParaState m_para;
    bool m_blockBreaksPage = false;
    int m_tabsInParagraph = 0;
    QTextTable* m_box = nullptr;
    QTextFrame* m_frameBefore = nullptr;
    ParaState m_boxPara;
    int m_defaultTab = 0;

    RowDef m_rowDef;
    CellDef m_cellDef;
    enum class BorderOwner { None, Cell, Row, Paragraph };
    BorderOwner m_borderOwner = BorderOwner::None;
    int m_borderSide = 0;
    QList<int> m_colEdges;
    QList<int> m_cellColumns;
    bool m_rowHasDef = false;
    QTextTable* m_table = nullptr;
    int m_row = 0;
    int m_col = 0;
    bool m_rowEnded = false;
    bool m_inTableCell = false;
    bool m_needCell = false;
};

} // namespace

QString RtfReader::pageBandName(PageBand band) {
    switch (band) {
    case PageBand::Header:
        return u"rtf-header"_s;
    case PageBand::Footer:
        return u"rtf-footer"_s;
    case PageBand::FirstHeader:
        return u"rtf-first-header"_s;
    case PageBand::FirstFooter:
        return u"rtf-first-footer"_s;
    }
    return {};
}

QTextDocument* RtfReader::pageBand(const QTextDocument* doc, PageBand band) {
    return doc->findChild<QTextDocument*>(pageBandName(band), Qt::FindDirectChildrenOnly);
}

QTextDocument* RtfReader::pageBandFor(const QTextDocument* doc, PageBand band, int page) {
    if (page == 1) {
        const PageBand first = band == PageBand::Header ? PageBand::FirstHeader : PageBand::FirstFooter;
        if (QTextDocument* d = pageBand(doc, first))
            return d;
    }
    return pageBand(doc, band == PageBand::FirstHeader ? PageBand::Header
                         : band == PageBand::FirstFooter ? PageBand::Footer
                                                         : band);
}

QList<QTextDocument*> RtfReader::pageBands(const QTextDocument* doc) {
    QList<QTextDocument*> bands;
    for (PageBand b : {PageBand::Header, PageBand::Footer, PageBand::FirstHeader, PageBand::FirstFooter})
        if (QTextDocument* d = pageBand(doc, b))
            bands << d;
    return bands;
}

bool RtfReader::read(const QByteArray& data, QTextDocument* doc, QString* error, QString* damage) {
    doc->clear();
    for (QTextDocument* band : pageBands(doc))
        delete band;
    if (damage)
        damage->clear();
    if (data.trimmed().isEmpty()) {
        if (error)
            *error = u"Файлът с договора е празен."_s;
        return false;
    }
    if (data.size() > kMaxBytes) {
        if (error)
            *error = u"Файлът с договора е твърде голям (над %1 MB)."_s.arg(kMaxBytes / (1024 * 1024));
        return false;
    }
    qsizetype start = 0;
    while (start < data.size() &&
           (data.at(start) == ' ' || data.at(start) == '\r' || data.at(start) == '\n' || data.at(start) == '\t'))
        ++start;
    // A UTF-8 byte order mark some editors put in front.
    if (data.mid(start, 3) == "\xEF\xBB\xBF")
        start += 3;
    if (data.mid(start, 5) != "{\\rtf") {
        if (error)
            *error = u"Файлът с договора не е във формат RTF."_s;
        return false;
    }
    // WordPad and the rich-edit control end their files with a NUL byte;
    // that is no damage.
    qsizetype end = data.size();
    while (end > start && (data.at(end - 1) == '\0' || data.at(end - 1) == ' ' || data.at(end - 1) == '\r' ||
                           data.at(end - 1) == '\n' || data.at(end - 1) == '\t'))
        --end;
    const QByteArray body = start == 0 && end == data.size() ? data : data.mid(start, end - start);
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    Parser parser(body, doc);
    parser.run();
    // A first page of its own only under \titlepg.
    if (!parser.titlePage()) {
        delete pageBand(doc, PageBand::FirstHeader);
        delete pageBand(doc, PageBand::FirstFooter);
    }
    doc->setUndoRedoEnabled(undo);
    if (damage) {
        QStringList what;
        if (parser.cutShort())
            what << u"файлът свършва, преди договорът да е завършен, и текстът след прекъсването липсва"_s;
        if (parser.controlCharacters() > 0)
            what << u"%1 управляващи знака в текста са пропуснати"_s.arg(parser.controlCharacters());
        if (!what.isEmpty())
            *damage = u"Шаблонът на договора е повреден: %1. Прегледайте договора, преди да го дадете за подпис."_s.arg(
                what.join(u"; "_s));
    }
    if (error)
        error->clear();
    return true;
}

bool RtfReader::readFile(const QString& path, QTextDocument* doc, QString* error, QString* damage) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        doc->clear();
        if (error)
            *error = u"Файлът \"%1\" не може да бъде отворен: %2"_s.arg(QFileInfo(path).fileName(), file.errorString());
        return false;
    }
    if (file.size() > kMaxBytes) {
        doc->clear();
        if (error)
            *error = u"Файлът с договора е твърде голям (над %1 MB)."_s.arg(kMaxBytes / (1024 * 1024));
        return false;
    }
    return read(file.readAll(), doc, error, damage);
}
