#pragma once
// The blank strip of the address-book tab: the label "Бланк:", the template
// list ComboBox1 (refilled from the program folder at every opening), the
// buttons "Редактировать" (BitBtn15) and "Создать свой" (BitBtn16). The
// blinking reminder ShapeBlank belongs to the page that blinks it; the strip
// asks for it through blankReminder().

#include <QComboBox>
#include <QUrl>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

namespace letters {

// A pick-only list that says when it is about to drop down.
class BlankComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;

signals:
    void aboutToDropDown();
};

class BlankStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int PreferredWidth = 442;
    static constexpr int PreferredHeight = 56;
    // ComboBox1 spans x 44..299, y 3..26; ShapeBlank sits under its right
    // end at (280, 27) of the strip. The two buttons stand one above the
    // other to the right of the list.

    // programFolder ends with the path separator; the templates are the
    // files in it. The list is filled at once.
    explicit BlankStrip(const QString &programFolder, QWidget *parent = nullptr);

    // The chosen template's bare name; empty when none is chosen.
    QString blankName() const;
    // The chosen template with the program folder; empty when none.
    QString blankPath() const;

    // Rebuilds the list; the choice is cleared with it.
    void fillBlankList();
    // The list is opened: stops the reminder and rebuilds the list.
    void ComboBox1DropDown();
    // "Редактировать": opens the chosen template with the desktop's handler,
    // or starts the reminder and says "Выберите бланк.".
    void BitBtn15Click();
    // "Создать свой": the help on own blanks; its second button opens the
    // program folder.
    void BitBtn16Click();

    // How files and folders are opened; the default asks the desktop to
    // open the URL with its default handler and ignores the result.
    using Opener = std::function<void(const QUrl &)>;
    void setOpener(Opener opener) { m_opener = std::move(opener); }

signals:
    // Start (true) or stop (false) the blinking of ShapeBlank.
    void blankReminder(bool on);

private:
    QString caption() const;

    QString m_programFolder;
    Opener m_opener;
    QLabel *m_label = nullptr;
    BlankComboBox *m_list = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_help = nullptr;
};

} // namespace letters
