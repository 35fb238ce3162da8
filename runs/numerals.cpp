#include "runs/numerals.h"

namespace runs {

QString byNumber(long long n, const QString &one, const QString &few, const QString &many)
{
    const long long lastTwo = (n < 0 ? -n : n) % 100;
    const long long last = lastTwo % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return many;
    if (last == 1)
        return one;
    if (last >= 2 && last <= 4)
        return few;
    return many;
}

} // namespace runs
