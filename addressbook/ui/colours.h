#pragma once
// The colours of the address-book pages, named after the system colours
// they stand for.

#include <QColor>

namespace addressbook::colours {

inline QColor activeCaption() { return QColor(153, 180, 209); }  // marked rows, chosen sender
inline QColor btnFace() { return QColor(240, 240, 240); }
inline QColor windowText() { return QColor(0, 0, 0); }
inline QColor grayText() { return QColor(109, 109, 109); }
inline QColor white() { return QColor(255, 255, 255); }
inline QColor aqua() { return QColor(0, 255, 255); }            // empty recipient filter
inline QColor lightRed() { return QColor(255, 128, 128); }      // a filter in force
inline QColor infoBk() { return QColor(255, 255, 225); }        // instruction panel
inline QColor reminderRed() { return QColor(255, 0, 0); }       // blinking reminder bars

} // namespace addressbook::colours
