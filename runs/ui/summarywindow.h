#pragma once
// The print summary in the message window: the markup text of summary.h,
// 800 x 360 pixels, the buttons " {FS12}Печатать " and " {FS12}Нет ".

#include "runs/summary.h"

namespace runs {

inline const QString ResumePrintButton = QStringLiteral(" {FS12}Печатать ");
inline const QString ResumeNoButton = QStringLiteral(" {FS12}Нет ");
constexpr int ResumeWidth = 800;
constexpr int ResumeHeight = 360;

// Shows the summary for the kind under the given caption (the main window's
// title) and answers whether the user pressed " {FS12}Печатать ". Numbers
// carry the decimal separator of the system's locale. A size or colour code
// with a non-numeric argument in the user's data throws the conversion
// error before the window shows.
// `findings` (markup) follows the summary as it is built, when not empty.
bool ShowResume(const QString &caption, const QString &kind, store::Tables &tables, const ResumeScreen &screen,
                const QString &findings = QString());

// The same with the facts already gathered.
bool ShowResumeText(const QString &caption, const QString &text);

} // namespace runs
