#pragma once

#include <QString>

// Bulgarian words for a money amount, as the printed contracts state prices
// ("словом"): the leva in words and the stotinki in digits, for example
// 2500.50 gives "Две хиляди петстотин лв. 50 ст.".
//
// Amounts from 0 to 999 999 999.99 and any negative amount are spelled out.
// Stotinki are cut after two digits, never rounded. An amount whose integer
// part has ten digits or more keeps that part in digits ("1234567890 лв. 00 ст."),
// and an amount that is not a number counts as zero.
QString AmountInWords(double amount);

// Words for one group of up to three digits (-999..999), always ending in a
// space: 121 gives "сто двадесет и един ". Values beyond three digits are
// spelled as whole numbers with thousands and millions.
QString TripletInWords(int value);
