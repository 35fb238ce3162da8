#include "report/page.h"

#include <cmath>

namespace report {

namespace {

constexpr double UnitsPerMm = 96.0 / 25.4;
// Larger pages than this cannot be written as PDF (the format's limit is
// 200 inches a side).
constexpr double MaxSideMm = 5000.0;

QString formatMm(double mm)
{
    return QString::number(mm, 'g', 10);
}

} // namespace

ReportPage::ReportPage() = default;

QSizeF ReportPage::sizeUnits() const
{
    return QSizeF(m_widthMm * UnitsPerMm, m_heightMm * UnitsPerMm);
}

void ReportPage::setPaperSizeCode(int code)
{
    m_paperCode = code;
    if (code == PaperDL) {
        m_widthMm = 220.0;
        m_heightMm = 110.0;
    }
}

void ReportPage::setCustomPaperSize(double widthMm, double heightMm)
{
    m_paperCode = PaperCustom;
    m_widthMm = widthMm;
    m_heightMm = heightMm;
}

QString ReportPage::paperProblem() const
{
    const bool finite = std::isfinite(m_widthMm) && std::isfinite(m_heightMm);
    if (finite && m_widthMm > 0 && m_heightMm > 0 && m_widthMm <= MaxSideMm
        && m_heightMm <= MaxSideMm)
        return QString();
    const QString size = formatMm(m_widthMm) + QStringLiteral(" × ") + formatMm(m_heightMm)
        + QStringLiteral(" мм");
    if (finite && (m_widthMm > MaxSideMm || m_heightMm > MaxSideMm))
        return QStringLiteral("Неверный размер конверта: %1. Длина и ширина конверта не могут "
                              "превышать %2 мм.").arg(size, formatMm(MaxSideMm));
    return QStringLiteral("Неверный размер конверта: %1. Длина и ширина конверта должны быть "
                          "больше нуля.").arg(size);
}

void ReportPage::checkNewName(const QString &name) const
{
    if (findObject(name))
        throw std::invalid_argument("report page already has an object named "
                                    + name.toStdString());
}

ReportText &ReportPage::addText(const QString &name, const QRect &box)
{
    checkNewName(name);
    auto object = std::make_unique<ReportText>(name, box);
    ReportText &ref = *object;
    m_objects.push_back(std::move(object));
    return ref;
}

ReportPicture &ReportPage::addPicture(const QString &name, const QRect &box)
{
    checkNewName(name);
    auto object = std::make_unique<ReportPicture>(name, box);
    ReportPicture &ref = *object;
    m_objects.push_back(std::move(object));
    return ref;
}

ReportObject *ReportPage::findObject(const QString &name) const
{
    for (const auto &object : m_objects)
        if (object->name() == name)
            return object.get();
    return nullptr;
}

ReportText *ReportPage::findText(const QString &name) const
{
    ReportObject *object = findObject(name);
    return object && object->kind() == ReportObject::Kind::Text
        ? static_cast<ReportText *>(object) : nullptr;
}

ReportPicture *ReportPage::findPicture(const QString &name) const
{
    ReportObject *object = findObject(name);
    return object && object->kind() == ReportObject::Kind::Picture
        ? static_cast<ReportPicture *>(object) : nullptr;
}

ReportText &ReportPage::text(const QString &name) const
{
    if (ReportText *found = findText(name))
        return *found;
    throw std::out_of_range("report page has no text object named " + name.toStdString());
}

ReportPicture &ReportPage::picture(const QString &name) const
{
    if (ReportPicture *found = findPicture(name))
        return *found;
    throw std::out_of_range("report page has no picture object named " + name.toStdString());
}

} // namespace report
