#include "envelope/envelopepage.h"

#include "envelope/units.h"

#include <QFont>

namespace envelope {
namespace {

// Template boxes are drawn in fractional units; the page holds whole units.
QRect unitBox(double left, double top, double width, double height)
{
    return QRect(roundUnits(left), roundUnits(top), roundUnits(width), roundUnits(height));
}

QFont arial(int pixels, bool italic = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setItalic(italic);
    return font;
}

report::ReportText &addText(report::ReportPage &page, const QString &name, const QRect &box, const QFont &font,
                    const QString &text, bool bottom = false)
{
    report::ReportText &t = page.addText(name, box);
    t.setFont(font);
    t.setText(text);
    t.setTextColor(Qt::black);
    t.setLineGap(report::ReportText::DefaultLineGap);
    t.setVerticalAlignment(bottom ? report::ReportText::VerticalAlignment::Bottom
                                  : report::ReportText::VerticalAlignment::Top);
    t.setFillStyle(report::ReportText::FillStyle::Solid);
    t.setFillColor(QColor());
    return t;
}

void addCaptions(report::ReportPage &page)
{
    const QFont caption = arial(12, true);
    const QFont small = arial(9, true);
    addText(page, obj::OtKogoCaption, unitBox(26.45671, 15.11812, 56.69295, 18.89765), caption,
            QStringLiteral("От кого"), true);
    addText(page, obj::OtKudaCaption, unitBox(26.45671, 37.7953, 56.69295, 18.89765), caption,
            QStringLiteral("Откуда"), true);
    addText(page, obj::OtIndexCaption, unitBox(26.45671, 60.47248, 166.29932, 15.11812), small,
            QStringLiteral("Индекс места отправления"));
    addText(page, obj::KomuCaption, unitBox(26.45671, 83.14966, 37.7953, 18.89765), caption,
            QStringLiteral("Кому"), true);
    addText(page, obj::KudaCaption, unitBox(26.45671, 109.60637, 37.7953, 18.89765), caption,
            QStringLiteral("Куда"), true);
    addText(page, obj::IndexCaption, unitBox(26.45671, 132.28355, 154.96073, 15.11812), small,
            QStringLiteral("Индекс места назначения"));
}

void addAddressBoxes(report::ReportPage &page)
{
    const QFont text = arial(15);
    addText(page, obj::OtKogo, unitBox(94.48825, 15.11812, 321.26005, 15.11812), text,
            QStringLiteral("Отправителев Отправитель Отправителевич"));
    addText(page, obj::OtKuda, unitBox(94.48825, 37.7953, 321.26005, 15.11812), text,
            QStringLiteral("000001, г.Москва, ул.Ленина, д.1, кв.1"));
    addText(page, obj::OtIndex, unitBox(207.87415, 60.47248, 60.47248, 15.11812), text,
            QStringLiteral("000001"));
    addText(page, obj::Komu, unitBox(94.48825, 83.14966, 321.26005, 15.11812), text,
            QStringLiteral("Получателеву Получателю Получателевичу"));
    addText(page, obj::Kuda, unitBox(94.48825, 109.60637, 321.26005, 15.11812), text,
            QStringLiteral("000002, г.Москва, ул.Ленина, д.2, кв.2"));
    addText(page, obj::Index, unitBox(207.87415, 132.28355, 60.47248, 15.11812), text,
            QStringLiteral("000002"));
}

void addZipCodeAndComment(report::ReportPage &page)
{
    QFont zip(ZipCodeFontFamily);
    zip.setPixelSize(45);
    zip.setBold(true);
    report::ReportText &zipCode = addText(page, obj::ZIPcode,
                                  unitBox(35.01577, 321.26005, 253.22851, 64.25201), zip,
                                  QStringLiteral("-123456"));
    zipCode.hide();
    addText(page, obj::KonvertComment, unitBox(438.42548, 71.81107, 200.31509, 60.47248), arial(12),
            QStringLiteral("ЗАКАЗНОЕ\r\nС ПРОСТЫМ УВЕДОМЛЕНИЕМ\r\nС ЗАКАЗНЫМ УВЕДОМЛЕНИЕМ\r\n"
                           "С ОБЪЯВЛЕННОЙ ЦЕННОСТЬЮ"));
}

} // namespace

void buildEnvelopeTemplate(report::ReportPage &page)
{
    page.setPaperSizeCode(report::ReportPage::PaperDL);
    // A background picture that only helps when designing; never printed.
    page.addPicture(obj::Picture1, QRect(0, 0, roundUnits(220 * 96 / 25.4),
                                         roundUnits(110 * 96 / 25.4)))
        .hide();
    page.addPicture(obj::Logo, unitBox(34.01577, 177.63791, 41.57483, 37.7953));
    addCaptions(page);
    addAddressBoxes(page);
    addZipCodeAndComment(page);
}

QStringList envelopeObjectNames()
{
    return {obj::Picture1,      obj::Logo,         obj::OtKogoCaption, obj::OtKudaCaption,
            obj::OtIndexCaption, obj::KomuCaption, obj::KudaCaption,   obj::IndexCaption,
            obj::OtKogo,        obj::OtKuda,       obj::OtIndex,       obj::Komu,
            obj::Kuda,          obj::Index,        obj::ZIPcode,       obj::KonvertComment};
}

} // namespace envelope
