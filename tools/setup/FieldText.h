#pragma once

#include <QString>

// Texts typed into the chain's set-up, made fit for the suite's columns.
namespace fieldtext {

// Blanks and control characters trimmed at both ends; a control character
// inside (a tab, a line break pasted in) becomes one blank.
QString clean(const QString& s);

// s cut to at most length characters (0: no limit), never inside a
// character that needs two UTF-16 units.
QString fit(const QString& s, int length);

// clean() then fit() to the column's length in the suite's schema.
QString forColumn(const QString& table, const QString& column, const QString& s);

// Length of the column in characters (0 when it is not a text column).
int columnLength(const QString& table, const QString& column);

// Whether s holds a control character anywhere.
bool hasControl(const QString& s);

} // namespace fieldtext
