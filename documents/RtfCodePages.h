#pragma once

#include <QByteArray>
#include <QString>

// Code pages of RTF files: which one a font's character set stands for, and
// decoding of the bytes written as \'hh escapes.
namespace rtf {

// Windows code page for an RTF \fcharset value; defaultCodePage (from
// \ansicpg) for the "default" character set and for unknown ones.
int codePageForCharset(int charset, int defaultCodePage);

// Decodes bytes in the given Windows code page. 1250, 1251 and 1252 are
// built in; others use the platform's converters and fall back to 1252.
QString decodeBytes(const QByteArray& bytes, int codePage);

} // namespace rtf
