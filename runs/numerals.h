#pragma once
// Russian nouns after a number: "1 конверт", "3 конверта", "11 конвертов".

#include <QString>

namespace runs {

// The form of the noun that agrees with n: `one` after 1, 21, 31 ... (not
// 11), `few` after 2 to 4, 22 to 24 ... (not 12 to 14), `many` otherwise.
// After a preposition taking the genitive ("из 1 конверта", "из 3
// конвертов") pass the genitive forms.
QString byNumber(long long n, const QString &one, const QString &few, const QString &many);

} // namespace runs
