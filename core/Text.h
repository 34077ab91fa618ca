#pragma once

#include <QString>

// Lengths of text in characters, as the columns count them: a character
// outside the Basic Multilingual Plane (two UTF-16 units) is one character,
// and a cut never splits it.
namespace text {

// Number of characters in s.
inline qsizetype length(const QString& s) {
    qsizetype n = 0;
    for (qsizetype i = 0; i < s.size(); ++i, ++n)
        if (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
            ++i;
    return n;
}

// The first n characters of s (all of s when it is not longer).
inline QString left(const QString& s, qsizetype n) {
    if (n < 0 || s.size() <= n)
        return s;
    qsizetype i = 0;
    for (qsizetype count = 0; count < n && i < s.size(); ++count, ++i)
        if (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
            ++i;
    return s.left(i);
}

} // namespace text
