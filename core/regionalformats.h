#pragma once
// The regional formats of dates, times and sums. They follow the system's
// locale; a system without regional settings (the locale C or POSIX, as on a
// fresh installation or in a service) gets Russian ones, the language of the
// program and its blanks, instead of "9 Dec 2026" on a Russian form.

#include <QLocale>

namespace core {

// The formats to use where the system's locale is `system`.
QLocale regionalLocale(const QLocale &system = QLocale::system());

// Makes regionalLocale() the default locale of the program (QLocale()).
void useRegionalFormats();

} // namespace core
