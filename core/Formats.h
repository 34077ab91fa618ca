#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// The one place that turns dates and amounts into text and back.
// Dates are "dd.MM.yyyy" and amounts use "." as the decimal separator,
// whatever the system's regional settings are.
namespace formats {

inline constexpr const char* kDateFormat = "dd.MM.yyyy";

// Applies the program's number and date conventions to the process
// (C locale numbers with "." as decimal separator). Called at start and
// every 20 seconds while the program runs.
void applyProcessFormats();

QString date(const QDate& d);      // "09.12.2026"; empty for an invalid date
QDate parseDate(const QString& s); // strict "dd.MM.yyyy"; invalid on any other form
QString time(const QTime& t);      // "14:05:09"

QString money(double leva);        // "1234.50" (form editors, "###0.00")
QString moneyGrouped(double leva); // "1 234.50" (register, "# ##0.00")
QString moneyCents(qint64 cents);  // "1234.50"

// Parses an amount typed by a clerk: "." or "," as decimal separator, blanks
// between digit groups allowed, at most two decimals. Returns false for text
// that is not an amount or lies outside +/- 999 999 999.99.
bool parseMoney(const QString& text, qint64* cents);

} // namespace formats
