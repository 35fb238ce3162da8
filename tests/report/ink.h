#pragma once

#include <QImage>
#include <QRect>

// Pixel helpers for checking rendered pages: "ink" is any pixel noticeably
// darker than white paper.
namespace ink {

inline bool isInk(QRgb pixel, int threshold = 160)
{
    return qGray(pixel) < threshold;
}

// The bounding box of all ink inside area (the whole image by default);
// a null rectangle when there is none.
inline QRect bounds(const QImage &image, QRect area = QRect(), int threshold = 160)
{
    if (area.isNull())
        area = image.rect();
    area = area.intersected(image.rect());
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!isInk(line[x], threshold))
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

inline int count(const QImage &image, QRect area = QRect(), int threshold = 160)
{
    if (area.isNull())
        area = image.rect();
    area = area.intersected(image.rect());
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += isInk(image.pixel(x, y), threshold) ? 1 : 0;
    return n;
}

// Rows that carry ink inside area, grouped into bands of consecutive rows.
inline QList<QPair<int, int>> rowBands(const QImage &image, const QRect &area)
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

} // namespace ink
