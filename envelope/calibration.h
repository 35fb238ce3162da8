#pragma once
// The calibration sheet: printed on the chosen envelope format with the
// chosen offset applied, it carries crosses at known distances from the
// paper's edges, millimetre scales and a short instruction. The user
// measures where the crosses landed and enters the difference as the
// printer's offset; printed again, the crosses land where they should.

#include "envelope/envelopeformat.h"

#include <QPoint>
#include <QString>

namespace report { class ReportPage; }

namespace envelope {

// Distance of the crosses from the nearest paper edges, in millimetres.
constexpr double CalibrationMarkMm = 20.0;
// Half the length of a cross's arms, in millimetres.
constexpr double CalibrationArmMm = 5.0;

// Lays the sheet out on an empty page of the format's size: crosses 20 mm
// in from each corner, scales beside the upper left cross, the instruction
// in the middle. Every element is shifted by the offset as envelopes are.
void buildCalibrationSheet(report::ReportPage &page, const EnvelopeFormat &format, const PrintOffset &offset);

// The centre of a cross on the page in whole units, offset applied:
// corner 0 upper left, 1 upper right, 2 lower left, 3 lower right.
QPoint calibrationMark(const EnvelopeFormat &format, const PrintOffset &offset, int corner);

} // namespace envelope
