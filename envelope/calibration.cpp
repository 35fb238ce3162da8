#include "envelope/calibration.h"

#include "envelope/units.h"
#include "report/page.h"

namespace envelope {
namespace {

const QString Instruction = QStringLiteral(
    "Калибровочный лист. Линейкой измерьте расстояние от левого края листа до вертикальной "
    "черты верхнего левого крестика и от верхнего края до его горизонтальной черты: должно "
    "быть по %1 мм. Смещение по горизонтали = %1 − измеренное от левого края, по вертикали = "
    "%1 − измеренное от верхнего края (напечатано левее или выше — смещение положительное, "
    "правее или ниже — отрицательное). Введите их в строку смещения вашего принтера, выберите "
    "её и напечатайте лист ещё раз: крестики лягут на %1 мм от краёв. Шкалы рядом с крестиком "
    "проверяют масштаб печати: между длинными делениями 10 мм.");

// Thin lines are empty text boxes with a clear fill: the renderer outlines
// them with a one-unit line.
void addLine(report::ReportPage &page, const QString &name, const QRect &box)
{
    report::ReportText &line = page.addText(name, box);
    line.setFillStyle(report::ReportText::FillStyle::Clear);
}

void addLabel(report::ReportPage &page, const QString &name, const QRect &box, const QString &text, int px)
{
    report::ReportText &label = page.addText(name, box);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(px);
    label.setFont(font);
    label.setText(text);
}

int ux(double mm, const PrintOffset &offset) { return placeUnits(mm, offset.dx); }
int uy(double mm, const PrintOffset &offset) { return placeUnits(mm, offset.dy); }

void addCross(report::ReportPage &page, int corner, const QPoint &centre)
{
    const int arm = roundUnits(CalibrationArmMm * UnitsPerMm);
    addLine(page, QStringLiteral("Mark%1H").arg(corner), QRect(centre.x() - arm, centre.y(), 2 * arm + 1, 1));
    addLine(page, QStringLiteral("Mark%1V").arg(corner), QRect(centre.x(), centre.y() - arm, 1, 2 * arm + 1));
}

// A scale of whole millimetres from the cross to the right (horizontal) or
// downwards, ticks of 1, 2 and 3 mm at every millimetre, five and ten.
void addScale(report::ReportPage &page, const QString &prefix, double fromMm, double alongMm, double lengthMm,
              bool horizontal, const PrintOffset &offset)
{
    for (int mm = 0; mm <= int(lengthMm); ++mm) {
        const double tick = mm % 10 == 0 ? 3.0 : mm % 5 == 0 ? 2.0 : 1.0;
        const double at = fromMm + mm;
        const QString name = prefix + QString::number(mm);
        if (horizontal) {
            addLine(page, name, QRect(ux(at, offset), uy(alongMm, offset), 1, roundUnits(tick * UnitsPerMm)));
            if (mm % 10 == 0 && mm > 0)
                addLabel(page, name + QLatin1Char('N'),
                         QRect(ux(at, offset) - 10, uy(alongMm + 3.2, offset), 24, 12), QString::number(mm), 9);
        } else {
            addLine(page, name, QRect(ux(alongMm, offset), uy(at, offset), roundUnits(tick * UnitsPerMm), 1));
            if (mm % 10 == 0 && mm > 0)
                addLabel(page, name + QLatin1Char('N'),
                         QRect(ux(alongMm + 3.2, offset), uy(at, offset) - 6, 24, 12), QString::number(mm), 9);
        }
    }
}

} // namespace

QPoint calibrationMark(const EnvelopeFormat &format, const PrintOffset &offset, int corner)
{
    const double x = corner % 2 == 0 ? CalibrationMarkMm : format.w - CalibrationMarkMm;
    const double y = corner < 2 ? CalibrationMarkMm : format.h - CalibrationMarkMm;
    return QPoint(ux(x, offset), uy(y, offset));
}

void buildCalibrationSheet(report::ReportPage &page, const EnvelopeFormat &format, const PrintOffset &offset)
{
    page.setCustomPaperSize(format.w, format.h);
    for (int corner = 0; corner < 4; ++corner)
        addCross(page, corner, calibrationMark(format, offset, corner));
    const double m = CalibrationMarkMm;
    const double scaleLength = std::max(0.0, std::min(50.0, format.w - 2 * m - 60.0));
    addScale(page, QStringLiteral("ScaleH"), m + 8, m, scaleLength, true, offset);
    addScale(page, QStringLiteral("ScaleV"), m + 8, m, std::max(0.0, std::min(30.0, format.h - 2 * m - 16.0)),
             false, offset);
    const QString mm = QString::number(m, 'g', 3);
    addLabel(page, QStringLiteral("MarkLabel"), QRect(ux(m + 1.5, offset), uy(m - 5.5, offset), 120, 14),
             QStringLiteral("%1 мм × %1 мм").arg(mm), 11);
    const double textLeft = m + 45;
    addLabel(page, QStringLiteral("Instruction"),
             QRect(ux(textLeft, offset), uy(m + 8, offset), roundUnits((format.w - textLeft - m - 8) * UnitsPerMm),
                   roundUnits((format.h - 2 * m - 16) * UnitsPerMm)),
             Instruction.arg(mm), 11);
}

} // namespace envelope
