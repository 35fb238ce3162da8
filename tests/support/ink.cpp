#include "tests/support/ink.h"

#include <QColor>

#include <algorithm>
#include <climits>

namespace ink {

namespace {

QRect within(const QImage &image, const QRect &area)
{
    return (area.isNull() ? image.rect() : area).intersected(image.rect());
}

} // namespace

QRect bounds(const QImage &image, QRect area, int threshold)
{
    area = within(image, area);
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!isInk(image.pixel(x, y), threshold))
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (left == INT_MAX)
        return QRect();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

int count(const QImage &image, QRect area, int threshold)
{
    area = within(image, area);
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += isInk(image.pixel(x, y), threshold) ? 1 : 0;
    return n;
}

QList<QPair<int, int>> rowBands(const QImage &image, const QRect &area)
{
    QList<QPair<int, int>> bands;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const bool inked = count(image, QRect(area.left(), y, area.width(), 1)) > 0;
        if (!inked)
            continue;
        if (!bands.isEmpty() && bands.last().second == y - 1)
            bands.last().second = y;
        else
            bands.append({y, y});
    }
    return bands;
}

int red(const QImage &image, const QRect &area)
{
    int n = 0;
    const QRect r = within(image, area);
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 80 && c.blue() < 80)
                ++n;
        }
    return n;
}

} // namespace ink
