#pragma once

#include "report/reportobject.h"

#include <QSizeF>
#include <QString>

#include <memory>
#include <stdexcept>
#include <vector>

namespace report {

// A report page: paper of a given size, without margins, holding named text
// and picture objects that are painted in the order they were added.
class ReportPage
{
public:
    // Paper size codes the page understands.
    static constexpr int PaperDL = 27;      // DL envelope, 220 x 110 mm
    static constexpr int PaperCustom = 256; // user-defined width x height

    ReportPage();
    ReportPage(const ReportPage &) = delete;
    ReportPage &operator=(const ReportPage &) = delete;

    // Paper. The width is the horizontal side as the page is drawn and
    // printed (an envelope lies in landscape: width is its long side).
    int paperSizeCode() const { return m_paperCode; }
    double widthMm() const { return m_widthMm; }
    double heightMm() const { return m_heightMm; }
    QSizeF sizeMm() const { return QSizeF(m_widthMm, m_heightMm); }
    // The paper in page units (1/96 inch), fractions kept.
    QSizeF sizeUnits() const;
    // PaperDL sets 220 x 110 mm; PaperCustom keeps the current size.
    void setPaperSizeCode(int code);
    // Sets the code to PaperCustom and the size as given (unrounded). Sizes
    // are checked only when the page is rendered or printed.
    void setCustomPaperSize(double widthMm, double heightMm);
    // Empty when the paper can be rendered, otherwise a Russian text saying
    // what is wrong with it (zero, negative or absurd sizes).
    QString paperProblem() const;

    // Objects. Names are unique; adding a name twice throws
    // std::invalid_argument. The references stay valid as long as the page.
    ReportText &addText(const QString &name, const QRect &box);
    ReportPicture &addPicture(const QString &name, const QRect &box);

    // nullptr when there is no object of that name (or not of that kind).
    ReportObject *findObject(const QString &name) const;
    ReportText *findText(const QString &name) const;
    ReportPicture *findPicture(const QString &name) const;
    // As above, but a missing object throws std::out_of_range naming it.
    ReportText &text(const QString &name) const;
    ReportPicture &picture(const QString &name) const;

    const std::vector<std::unique_ptr<ReportObject>> &objects() const { return m_objects; }

private:
    void checkNewName(const QString &name) const;

    int m_paperCode = PaperDL;
    double m_widthMm = 220.0;
    double m_heightMm = 110.0;
    std::vector<std::unique_ptr<ReportObject>> m_objects;
};

} // namespace report
