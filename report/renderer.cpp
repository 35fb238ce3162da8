#include "report/renderer.h"

#include "report/reporterror.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr double UnitsPerInch = 96.0;
constexpr double PointsPerInch = 72.0;

void requireUsablePaper(const ReportPage &page)
{
    const QString problem = page.paperProblem();
    if (!problem.isEmpty())
        throw ReportError(ReportError::Kind::BadPaperSize, problem);
}

// The size of a font in page units: its pixel size, or its point size at
// 96 units per inch.
double fontSizeInUnits(const QFont &font)
{
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return font.pointSizeF() * UnitsPerInch / PointsPerInch;
}

// A font that comes out fontSizeInUnits() page units tall on a painter scaled
// by dpi / 96. Point sizes are resolved against the device's dpi before the
// painter's scale applies, so the size is given as the point size that gives
// exactly that many unscaled pixels.
QFont fontForDevice(const QFont &font, const QPaintDevice *device)
{
    QFont resolved(font);
    resolved.setPointSizeF(fontSizeInUnits(font) * PointsPerInch / device->logicalDpiY());
    // Printers and PDF files get the outlines as designed: hinting only
    // serves screen pixels, and running the hinting programs of every glyph
    // is most of the cost of a PDF page.
    if (device->devType() != QInternal::Image)
        resolved.setHintingPreference(QFont::PreferNoHinting);
    return resolved;
}

// Splits on CR LF, lone LF and lone CR.
QStringList paragraphsOf(const QString &text)
{
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normalized.split(QLatin1Char('\n'));
}

// The text of one box laid out in lines, positioned relative to the top left
// corner of the text area (inside the margins).
struct LaidOutText
{
    std::vector<std::unique_ptr<QTextLayout>> paragraphs;
    double height = 0;
};

LaidOutText layOutText(const ReportText &object, const QFont &font, const QPaintDevice *device,
                       double maxUsefulHeight)
{
    const double width = std::max(0.0, double(object.width() - ReportText::MarginLeft
                                              - ReportText::MarginRight));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setUseDesignMetrics(true);

    LaidOutText result;
    double y = 0;
    bool firstLine = true;
    for (const QString &paragraph : paragraphsOf(object.text())) {
        auto layout = std::make_unique<QTextLayout>(paragraph, font, device);
        layout->setTextOption(option);
        layout->setCacheEnabled(true);
        layout->beginLayout();
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(width);
            if (!firstLine)
                y += object.lineGap();
            firstLine = false;
            line.setPosition(QPointF(0, y));
            y += line.height();
            if (y - line.height() > maxUsefulHeight)
                break; // the rest would lie below the box anyway
        }
        layout->endLayout();
        result.paragraphs.push_back(std::move(layout));
        if (y > maxUsefulHeight && object.verticalAlignment() == ReportText::VerticalAlignment::Top)
            break;
    }
    result.height = y;
    return result;
}

void paintOutline(const QRect &box, QPainter &painter)
{
    if (box.width() < 1 || box.height() < 1)
        return;
    QPen pen(Qt::black, 1.0);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // A one-unit line centred half a unit inside the box edge covers exactly
    // the box's outermost units.
    painter.drawRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5));
}

void paintText(const ReportText &object, QPainter &painter)
{
    const QRect box = object.geometry();
    painter.save();
    if (object.fillStyle() == ReportText::FillStyle::Solid && object.fillColor().isValid())
        painter.fillRect(box, object.fillColor());
    painter.setClipRect(box, Qt::IntersectClip);

    const QFont font = fontForDevice(object.font(), painter.device());
    // Unbounded for bottom alignment: every line is needed to know where the
    // first one starts.
    const double useful = object.verticalAlignment() == ReportText::VerticalAlignment::Top
        ? box.height() : 1e12;
    const LaidOutText laidOut = layOutText(object, font, painter.device(), useful);

    double top = box.top() + ReportText::MarginTop;
    if (object.verticalAlignment() == ReportText::VerticalAlignment::Bottom)
        top = box.top() + box.height() - ReportText::MarginBottom - laidOut.height;
    const QPointF origin(box.left() + ReportText::MarginLeft, top);

    painter.setPen(object.textColor());
    for (const auto &layout : laidOut.paragraphs)
        layout->draw(&painter, origin);
    painter.restore();

    if (object.fillStyle() == ReportText::FillStyle::Clear) {
        painter.save();
        paintOutline(box, painter);
        painter.restore();
    }
}

QRectF fittedCentred(const QSize &picture, const QRect &box)
{
    QSizeF size(picture);
    size.scale(QSizeF(box.size()), Qt::KeepAspectRatio);
    return QRectF(box.left() + (box.width() - size.width()) / 2.0,
                  box.top() + (box.height() - size.height()) / 2.0, size.width(), size.height());
}

void paintPicture(const ReportPicture &object, QPainter &painter)
{
    const QRect box = object.geometry();
    if (!object.hasPicture() || box.isEmpty())
        return;
    const QRectF target = fittedCentred(object.picture().size(), box);
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    if (object.picture().hasAlphaChannel())
        painter.fillRect(target, Qt::white);
    painter.drawImage(target, object.picture());
    painter.restore();
}

void writePdf(const ReportPage &page, QPdfWriter &writer)
{
    writer.setCreator(QStringLiteral("Kuvertix"));
    writer.setPageLayout(reportPageLayout(page));
    QPainter painter;
    if (!painter.begin(&writer))
        throw ReportError(ReportError::Kind::OutputFailed,
                          QStringLiteral("Не удалось создать файл PDF для печати конверта."));
    paintReportPage(page, painter);
    painter.end();
}

} // namespace

void paintReportPage(const ReportPage &page, QPainter &painter)
{
    const QPaintDevice *device = painter.device();
    painter.save();
    painter.scale(device->logicalDpiX() / UnitsPerInch, device->logicalDpiY() / UnitsPerInch);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const auto &object : page.objects()) {
        if (!object->isVisible())
            continue;
        if (object->kind() == ReportObject::Kind::Text)
            paintText(static_cast<const ReportText &>(*object), painter);
        else
            paintPicture(static_cast<const ReportPicture &>(*object), painter);
    }
    painter.restore();
}

QImage renderReportPageToImage(const ReportPage &page, double dpi)
{
    requireUsablePaper(page);
    const QSize size(qRound(page.widthMm() * dpi / 25.4), qRound(page.heightMm() * dpi / 25.4));
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        throw ReportError(ReportError::Kind::OutputFailed,
                          QStringLiteral("Недостаточно памяти для изображения конверта."));
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintReportPage(page, painter);
    return image;
}

QPageLayout reportPageLayout(const ReportPage &page)
{
    const QPageSize size(page.sizeMm(), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

void writeReportPagePdf(const ReportPage &page, const QString &fileName)
{
    requireUsablePaper(page);
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ReportError(ReportError::Kind::OutputFailed,
                          QStringLiteral("Не удалось записать файл «%1»: %2.")
                              .arg(fileName, file.errorString()));
    writeReportPagePdf(page, &file);
}

void writeReportPagePdf(const ReportPage &page, QIODevice *device)
{
    requireUsablePaper(page);
    QPdfWriter writer(device);
    writePdf(page, writer);
}
