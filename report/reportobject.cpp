#include "report/reportobject.h"

#include <algorithm>

namespace report {

void ReportObject::setGeometry(int left, int top, int width, int height)
{
    m_geometry = QRect(left, top, std::max(0, width), std::max(0, height));
}

void ReportObject::resize(int width, int height)
{
    m_geometry.setSize(QSize(std::max(0, width), std::max(0, height)));
}

void ReportPicture::setPicture(const QImage &picture)
{
    if (picture.width() > MaxStoredSide || picture.height() > MaxStoredSide)
        m_picture = picture.scaled(MaxStoredSide, MaxStoredSide, Qt::KeepAspectRatio,
                                   Qt::SmoothTransformation);
    else
        m_picture = picture;
}

} // namespace report
