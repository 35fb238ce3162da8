#include "envelope/envelopelayout.h"

#include "envelope/envelopepage.h"
#include "envelope/units.h"
#include "report/page.h"

#include <QHash>

namespace envelope {
namespace {

// The placement of an object from a box of the format.
void place(report::ReportObject &object, const MmBox &box, const PrintOffset &offset)
{
    object.setGeometry(placeUnits(box.l, offset.dx), placeUnits(box.t, offset.dy),
                       roundUnits(box.w * UnitsPerMm), roundUnits(box.h * UnitsPerMm));
}

void layOutLogo(report::ReportPage &page, const MmBox &box, const PrintOffset &offset,
                const EnvelopeOptions &options)
{
    report::ReportPicture &logo = page.picture(obj::Logo);
    if (!options.printLogo) {
        logo.clearPicture();
        return;
    }
    logo.setPicture(options.logo);
    place(logo, box, offset);
}

void layOutAddress(report::ReportPage &page, const QString &name, const QString &text, const MmBox &box,
                   const PrintOffset &offset, const EnvelopeFormat &format,
                   const EnvelopeOptions &options)
{
    report::ReportText &object = page.text(name);
    object.setFont(options.font.toQFont());
    object.setTextColor(options.font.textColor());
    object.setText(text);
    place(object, box, offset);
    object.setLineGap(addressLineGap(format.linesH, options.font.pointSize()));
}

void layOutPostalCode(report::ReportPage &page, const QString &name, const QString &text,
                      const MmBox &box, const PrintOffset &offset, int typKonv)
{
    report::ReportText &object = page.text(name);
    object.setText(text);
    place(object, box, offset);
    // On a blank envelope the engine frames the code (clear fill outlines).
    object.setFillStyle(typKonv == 1 ? report::ReportText::FillStyle::Solid
                                     : report::ReportText::FillStyle::Clear);
}

void layOutZipCode(report::ReportPage &page, const EnvelopeFormat &format, const PrintOffset &offset,
                   const EnvelopeTexts &texts, const EnvelopeOptions &options)
{
    report::ReportText &zip = page.text(obj::ZIPcode);
    QFont font = zip.font();
    font.setFamily(ZipCodeFontFamily);
    zip.setFont(font);
    zip.setVisible(options.printZipCode);
    zip.setText(QStringLiteral("-") + texts.index);
    // 0.4 mm up and to the left of the stored corner.
    zip.moveTo(roundUnits(format.zipL * UnitsPerMm + offset.dx - 1.512),
               roundUnits(format.zipT * UnitsPerMm + offset.dy - 1.512));
}

void layOutComment(report::ReportPage &page, const EnvelopeFormat &format, const PrintOffset &offset,
                   const EnvelopeOptions &options)
{
    report::ReportText &comment = page.text(obj::KonvertComment);
    comment.setVisible(options.printComment);
    comment.setText(options.comment);
    place(comment, format.comment, offset);
}

// A caption left of its address box, its right edge on the box's left edge.
void captionBeside(report::ReportPage &page, const QString &name, const MmBox &box,
                   const PrintOffset &offset, bool visible)
{
    report::ReportText &caption = page.text(name);
    caption.setVisible(visible);
    caption.moveTo(placeUnits(box.l, offset.dx) - caption.width(), placeUnits(box.t, offset.dy));
}

// A caption just above its postal-code box.
void captionAbove(report::ReportPage &page, const QString &name, const MmBox &box,
                  const PrintOffset &offset, bool visible)
{
    report::ReportText &caption = page.text(name);
    caption.setVisible(visible);
    caption.moveTo(placeUnits(box.l, offset.dx), placeUnits(box.t, offset.dy) - caption.height());
}

} // namespace

QString boxCaption(const QString &name)
{
    static const QHash<QString, QString> captions{
        {obj::OtKogo, QStringLiteral("От кого")},
        {obj::OtKuda, QStringLiteral("Откуда")},
        {obj::OtIndex, QStringLiteral("Индекс отправителя")},
        {obj::Komu, QStringLiteral("Кому")},
        {obj::Kuda, QStringLiteral("Куда")},
        {obj::Index, QStringLiteral("Индекс получателя")},
        {obj::ZIPcode, QStringLiteral("Индекс получателя(большой, слева внизу)")},
        {obj::Logo, QStringLiteral("Логотип")},
        {obj::KonvertComment, QStringLiteral("Комментарий")},
    };
    return captions.value(name);
}

QStringList boxesOffTheEnvelope(const report::ReportPage &page, const EnvelopeFormat &format)
{
    const double right = format.w * UnitsPerMm + 0.5;
    const double bottom = format.h * UnitsPerMm + 0.5;
    QStringList off;
    for (const auto &object : page.objects()) {
        const bool printed = object->isVisible()
            && (object->kind() == report::ReportObject::Kind::Text
                || static_cast<const report::ReportPicture &>(*object).hasPicture());
        const QRect box = object->geometry();
        if (!printed || box.isEmpty() || boxCaption(object->name()).isEmpty())
            continue;
        if (box.left() < -0.5 || box.top() < -0.5 || box.left() + box.width() > right
            || box.top() + box.height() > bottom)
            off << object->name();
    }
    return off;
}

void layOutEnvelope(report::ReportPage &page, const EnvelopeFormat &format, const PrintOffset &offset,
                    const EnvelopeTexts &texts, const EnvelopeOptions &options)
{
    page.setCustomPaperSize(format.w, format.h);
    layOutLogo(page, format.logo, offset, options);

    layOutAddress(page, obj::OtKogo, texts.otKogo, format.otkogo, offset, format, options);
    layOutAddress(page, obj::OtKuda, texts.otKuda, format.otkuda, offset, format, options);
    layOutAddress(page, obj::Komu, texts.komu, format.komu, offset, format, options);
    layOutAddress(page, obj::Kuda, texts.kuda, format.kuda, offset, format, options);
    layOutPostalCode(page, obj::OtIndex, texts.otIndex, format.otindex, offset, options.typKonv);
    layOutPostalCode(page, obj::Index, texts.index, format.index, offset, options.typKonv);

    layOutZipCode(page, format, offset, texts, options);
    layOutComment(page, format, offset, options);

    const bool captions = options.typKonv != 1;
    captionBeside(page, obj::OtKogoCaption, format.otkogo, offset, captions);
    captionBeside(page, obj::OtKudaCaption, format.otkuda, offset, captions);
    captionBeside(page, obj::KomuCaption, format.komu, offset, captions);
    captionBeside(page, obj::KudaCaption, format.kuda, offset, captions);
    captionAbove(page, obj::OtIndexCaption, format.otindex, offset, captions);
    captionAbove(page, obj::IndexCaption, format.index, offset, captions);
}

} // namespace envelope
