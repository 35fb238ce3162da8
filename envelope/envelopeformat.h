#pragma once
// An envelope format row of konverts.DB and the print offset of Printers.db
// as the layout reads them, and the lookups of both by their keys.

#include <QString>

namespace store {
class Cursor;
}

namespace envelope {

// A box in millimetres from the top left corner of the envelope lying in
// landscape: left, top, height (short side), width (long side).
struct MmBox {
    double l = 0, t = 0, h = 0, w = 0;
};

struct EnvelopeFormat {
    double h = 0;       // envelope height (short side), mm
    double w = 0;       // envelope length (long side), mm
    double linesH = 0;  // distance between address lines
    MmBox otkogo, otkuda, otindex, komu, kuda, index, logo, comment;
    double zipL = 0, zipT = 0;  // corner of the big postal code
};

// A print offset converted to page units (not rounded).
struct PrintOffset {
    double dx = 0;
    double dy = 0;
};

// The format of the cursor's current row (an empty cursor or unfilled
// fields read as 0).
EnvelopeFormat formatOfCurrentRow(const store::Cursor &formats);
PrintOffset offsetOfCurrentRow(const store::Cursor &offsets);

// The format and the offset with key N as the print would use them, read
// without moving the cursor (for previews): the current row when it has
// that key (its edits included) or when no row has it, else the stored row.
EnvelopeFormat formatWithKey(const store::Cursor &formats, int n);
PrintOffset offsetWithKey(const store::Cursor &offsets, int n);

// Looks the format up by its key N: the cursor switches to index N_i, finds
// the key and goes back to NameKonvert_i. When no row has that key the
// cursor's current row is used as it is. The found row becomes current.
EnvelopeFormat findEnvelopeFormat(store::Cursor &formats, int n);
// The same for an offset row (N_i, then back to PrinterName_i).
PrintOffset findPrintOffset(store::Cursor &offsets, int n);

// Makes a copy of the selected format of `formats` through the second
// cursor over the same file: every field but the key at the same position,
// empty values kept empty, the name followed by " копия" and cut to the
// name's capacity. `formats` is re-read and stays on the copied format.
// Does nothing when there is no format to copy.
void copyEnvelopeFormat(store::Cursor &formats, store::Cursor &copies);

// The name of a copy of a format named `name`.
QString copyName(const QString &name);

} // namespace envelope
