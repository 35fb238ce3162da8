#pragma once
// Pixel helpers for checking rendered and printed pages: "ink" is any pixel
// noticeably darker than white paper (grey below the threshold).

#include <QImage>
#include <QList>
#include <QPair>
#include <QRect>

namespace ink {

inline bool isInk(QRgb pixel, int threshold = 160)
{
    return qGray(pixel) < threshold;
}

// The bounding box of all ink inside area (the whole image by default);
// a null rectangle when there is none.
QRect bounds(const QImage &image, QRect area = QRect(), int threshold = 160);
// The number of ink pixels inside area (the whole image by default).
int count(const QImage &image, QRect area = QRect(), int threshold = 160);
// Rows that carry ink inside area, grouped into bands of consecutive rows.
QList<QPair<int, int>> rowBands(const QImage &image, const QRect &area);
// Pixels of a strong red inside a rectangle.
int red(const QImage &image, const QRect &area);

} // namespace ink
