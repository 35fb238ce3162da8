#pragma once
// A sum of money in Russian words, as money forms and invoices print it:
// the roubles spelled out, the kopecks as two digits and the kopeck word,
// e.g. 1234.5 -> "Одна тысяча двести тридцать четыре рубля 50 копеек".

#include <QString>

namespace letters {

// The amount is rounded to kopecks first (half up, on the amount's
// 18-significant-digit decimal form). Amounts the words cannot express are
// still given a readable text:
//  - a negative amount is said as "Минус " followed by the words of its
//    magnitude; an amount that rounds to zero kopecks carries no sign;
//  - from one quadrillion up to below 10^21 the words go on with
//    "квадриллион" and "квинтиллион";
//  - from 10^21 up, the roubles are given in figures ("... рублей 00 копеек");
//  - a value that is not a number or is infinite gives an empty text.
QString AmountInWords(double amount);

// The fixed-point text with two decimals and "." that the words are made
// from, rounded as described above ("1234.50", "0.13"). Exposed for tests.
QString amountFigures(double magnitude);

} // namespace letters
