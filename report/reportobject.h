#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

namespace report {

// The objects a report page is made of. Every position and size is in page
// units of 1/96 inch, counted from the top left corner of the paper, at whole
// units (negative positions are allowed and simply lie off the paper).

class ReportObject
{
public:
    enum class Kind { Text, Picture };

    virtual ~ReportObject() = default;

    Kind kind() const { return m_kind; }
    const QString &name() const { return m_name; }

    QRect geometry() const { return m_geometry; }
    // A negative width or height (from a broken format) becomes 0: no box.
    void setGeometry(const QRect &box) { setGeometry(box.left(), box.top(), box.width(), box.height()); }
    void setGeometry(int left, int top, int width, int height);
    void moveTo(int left, int top) { m_geometry.moveTo(left, top); }
    void resize(int width, int height);
    int left() const { return m_geometry.left(); }
    int top() const { return m_geometry.top(); }
    int width() const { return m_geometry.width(); }
    int height() const { return m_geometry.height(); }
    void setLeft(int left) { m_geometry.moveLeft(left); }
    void setTop(int top) { m_geometry.moveTop(top); }
    void setWidth(int width) { resize(width, height()); }
    void setHeight(int height) { resize(width(), height); }

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }
    void show() { m_visible = true; }
    void hide() { m_visible = false; }

protected:
    ReportObject(Kind kind, const QString &name, const QRect &box)
        : m_kind(kind), m_name(name)
    {
        setGeometry(box);
    }

private:
    Kind m_kind;
    QString m_name;
    QRect m_geometry;
    bool m_visible = true;
};

// A box of text: black, left aligned, wrapped at word boundaries to the box
// width less the inner margins, clipped to the box.
class ReportText : public ReportObject
{
public:
    enum class VerticalAlignment { Top, Bottom };
    // Solid: the box is filled with fillColor() when that colour is valid (by
    // default it is not, so nothing is drawn). Clear: no fill, and the box is
    // outlined with a thin (one unit) black rectangle.
    enum class FillStyle { Solid, Clear };

    static constexpr int MarginLeft = 2;
    static constexpr int MarginRight = 2;
    static constexpr int MarginTop = 1;
    static constexpr int MarginBottom = 1;
    static constexpr double DefaultLineGap = 2.0;

    ReportText(const QString &name, const QRect &box) : ReportObject(Kind::Text, name, box) {}

    // The text is printed literally. CR LF, a lone LF and a lone CR each break
    // the line; everything else wraps to the box width.
    const QString &text() const { return m_text; }
    void setText(const QString &text) { m_text = text; }

    // A font with a pixel size: the pixel size is in page units. A font given
    // in points (QFont::setPointSizeF) is printed at points * 96 / 72 units,
    // fractions kept.
    const QFont &font() const { return m_font; }
    void setFont(const QFont &font) { m_font = font; }

    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor &color) { m_textColor = color; }

    // Extra gap between two consecutive lines, in page units; may be negative
    // (lines then overlap).
    double lineGap() const { return m_lineGap; }
    void setLineGap(double gap) { m_lineGap = gap; }

    VerticalAlignment verticalAlignment() const { return m_alignment; }
    void setVerticalAlignment(VerticalAlignment alignment) { m_alignment = alignment; }

    FillStyle fillStyle() const { return m_fillStyle; }
    void setFillStyle(FillStyle style) { m_fillStyle = style; }
    QColor fillColor() const { return m_fillColor; }
    void setFillColor(const QColor &color) { m_fillColor = color; }

private:
    QString m_text;
    QFont m_font;
    QColor m_textColor = Qt::black;
    double m_lineGap = DefaultLineGap;
    VerticalAlignment m_alignment = VerticalAlignment::Top;
    FillStyle m_fillStyle = FillStyle::Solid;
    QColor m_fillColor;
};

// A picture centred in its box and scaled to fit it, keeping its aspect
// ratio; drawn opaque (transparent parts come out white).
class ReportPicture : public ReportObject
{
public:
    // Pictures larger than this on either side are scaled down when set, so
    // that a huge picture costs neither memory on every page nor PDF size.
    static constexpr int MaxStoredSide = 2048;

    ReportPicture(const QString &name, const QRect &box) : ReportObject(Kind::Picture, name, box) {}

    const QImage &picture() const { return m_picture; }
    void setPicture(const QImage &picture);
    void clearPicture() { m_picture = QImage(); }
    bool hasPicture() const { return !m_picture.isNull(); }

private:
    QImage m_picture;
};

} // namespace report
