#include "report/renderer.h"

#include "report/oserror.h"
#include "report/reporterror.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <cmath>
#include <memory>
#include <vector>

namespace report {

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
    bool cutShort = false; // lines were left unlaid because they lie below the box
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
    const QStringList paragraphs = paragraphsOf(object.text());
    for (qsizetype p = 0; p < paragraphs.size(); ++p) {
        const QString &paragraph = paragraphs[p];
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
            if (y - line.height() > maxUsefulHeight) {
                result.cutShort = true;
                break; // the rest would lie below the box anyway
            }
        }
        layout->endLayout();
        result.paragraphs.push_back(std::move(layout));
        if (y > maxUsefulHeight && object.verticalAlignment() == ReportText::VerticalAlignment::Top) {
            result.cutShort = p + 1 < paragraphs.size();
            break;
        }
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

// Where the first line of the laid-out text starts, in page units.
QPointF textOrigin(const ReportText &object, const LaidOutText &laidOut)
{
    const QRect box = object.geometry();
    double top = box.top() + ReportText::MarginTop;
    if (object.verticalAlignment() == ReportText::VerticalAlignment::Bottom)
        top = box.top() + box.height() - ReportText::MarginBottom - laidOut.height;
    return QPointF(box.left() + ReportText::MarginLeft, top);
}

LaidOutText layOutForDevice(const ReportText &object, const QPaintDevice *device)
{
    const QFont font = fontForDevice(object.font(), device);
    // Unbounded for bottom alignment: every line is needed to know where the
    // first one starts.
    const double useful = object.verticalAlignment() == ReportText::VerticalAlignment::Top
        ? object.height() : 1e12;
    return layOutText(object, font, device, useful);
}

// A line is lost to the clip when its baseline falls below the box or the
// upper half of its letters lies above it; a line wider than the box (one
// letter wider than the whole box) loses its right end.
bool lineIsCut(const QTextLine &line, const QPointF &origin, const QRect &box, double innerWidth)
{
    const double baseline = origin.y() + line.y() + line.ascent();
    const double tolerance = 0.01;
    return baseline > box.top() + box.height() + tolerance
        || baseline - line.ascent() / 2 < box.top() - tolerance
        || line.naturalTextWidth() > innerWidth + tolerance;
}

bool isClipped(const ReportText &object, const LaidOutText &laidOut)
{
    if (object.text().isEmpty())
        return false;
    if (object.width() <= 0 || object.height() <= 0 || laidOut.cutShort)
        return true;
    const QRect box = object.geometry();
    const QPointF origin = textOrigin(object, laidOut);
    const double innerWidth = std::max(0.0, double(box.width() - ReportText::MarginLeft
                                                   - ReportText::MarginRight));
    for (const auto &layout : laidOut.paragraphs) {
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            if (line.textLength() > 0 && lineIsCut(line, origin, box, innerWidth))
                return true;
        }
    }
    return false;
}

// Paints the text and says whether part of it was clipped away.
bool paintText(const ReportText &object, QPainter &painter)
{
    const QRect box = object.geometry();
    painter.save();
    if (object.fillStyle() == ReportText::FillStyle::Solid && object.fillColor().isValid())
        painter.fillRect(box, object.fillColor());
    painter.setClipRect(box, Qt::IntersectClip);

    const LaidOutText laidOut = layOutForDevice(object, painter.device());
    const QPointF origin = textOrigin(object, laidOut);

    painter.setPen(object.textColor());
    for (const auto &layout : laidOut.paragraphs)
        layout->draw(&painter, origin);
    painter.restore();

    if (object.fillStyle() == ReportText::FillStyle::Clear) {
        painter.save();
        paintOutline(box, painter);
        painter.restore();
    }
    return isClipped(object, laidOut);
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

QStringList paintReportPage(const ReportPage &page, QPainter &painter)
{
    QStringList clipped;
    const QPaintDevice *device = painter.device();
    painter.save();
    painter.scale(device->logicalDpiX() / UnitsPerInch, device->logicalDpiY() / UnitsPerInch);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const auto &object : page.objects()) {
        if (!object->isVisible())
            continue;
        if (object->kind() == ReportObject::Kind::Text) {
            if (paintText(static_cast<const ReportText &>(*object), painter))
                clipped.append(object->name());
        } else {
            paintPicture(static_cast<const ReportPicture &>(*object), painter);
        }
    }
    painter.restore();
    return clipped;
}

bool textIsClipped(const ReportText &object, const QPaintDevice &device)
{
    return isClipped(object, layOutForDevice(object, &device));
}

QStringList clippedTexts(const ReportPage &page, const QPaintDevice &device)
{
    QStringList clipped;
    for (const auto &object : page.objects()) {
        if (object->isVisible() && object->kind() == ReportObject::Kind::Text
            && textIsClipped(static_cast<const ReportText &>(*object), device))
            clipped.append(object->name());
    }
    return clipped;
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
                              .arg(fileName, fileErrorCause(file.errorString())));
    writeReportPagePdf(page, &file);
}

void writeReportPagePdf(const ReportPage &page, QIODevice *device)
{
    requireUsablePaper(page);
    QPdfWriter writer(device);
    writePdf(page, writer);
}

} // namespace report
