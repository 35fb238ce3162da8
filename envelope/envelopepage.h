#pragma once
// The envelope page: one report page holding the fixed set of named objects
// that every envelope print moves, sizes, fills, shows and hides. Objects are
// never added or removed after the template is built.

#include "report/page.h"

#include <QString>
#include <QStringList>

namespace envelope {

namespace obj {
inline const QString Picture1 = QStringLiteral("Picture1");
inline const QString Logo = QStringLiteral("Logo");
inline const QString OtKogoCaption = QStringLiteral("otKogo_");
inline const QString OtKudaCaption = QStringLiteral("otKuda_");
inline const QString OtIndexCaption = QStringLiteral("otIndex_");
inline const QString KomuCaption = QStringLiteral("Komu_");
inline const QString KudaCaption = QStringLiteral("Kuda_");
inline const QString IndexCaption = QStringLiteral("Index_");
inline const QString OtKogo = QStringLiteral("otKogo");
inline const QString OtKuda = QStringLiteral("otKuda");
inline const QString OtIndex = QStringLiteral("otIndex");
inline const QString Komu = QStringLiteral("Komu");
inline const QString Kuda = QStringLiteral("Kuda");
inline const QString Index = QStringLiteral("Index");
inline const QString ZIPcode = QStringLiteral("ZIPcode");
inline const QString KonvertComment = QStringLiteral("KonvertComment");
} // namespace obj

// Family of the big postal-code font shipped beside the program.
inline const QString ZipCodeFontFamily = QStringLiteral("Kuvertix ZIPcode");

// Fills an empty page with the envelope template: a DL envelope (220 x 110 mm,
// paper code 27) in landscape, no margins, and the named objects with their
// fixed fonts, alignments and placeholder texts. Boxes are at whole units.
void buildEnvelopeTemplate(report::ReportPage &page);

// Names of every object of the template, in painting order.
QStringList envelopeObjectNames();

} // namespace envelope
