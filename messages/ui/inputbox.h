#pragma once

#include <QString>

namespace messages {

// Asks for one short value in the modal window "TFormInputBox": the prompt
// (lines broken by "\r") above an edit line that holds only characters of
// allowed, at most maxLength of them (0: no limit), editWidth pixels wide,
// and the buttons "Ok" and "Отмена". Returns true when "Ok" was pressed, and
// value then holds the edit line's text; "Отмена" returns false and clears
// value. The window can only be left through its two buttons.
bool ShowInputBox(const QString &caption, const QString &prompt, QString &value, const QString &allowed,
                  int maxLength, int editWidth);

// The character sets the program asks with.
QString LatinLetters();
QString DecimalDigits();

} // namespace messages
