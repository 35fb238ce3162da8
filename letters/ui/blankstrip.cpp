#include "letters/ui/blankstrip.h"

#include "letters/blanks.h"
#include "messages/ui/messagewindow.h"
#include "messages/ui/notices.h"

#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QPushButton>

namespace letters {

void BlankComboBox::showPopup()
{
    emit aboutToDropDown();
    QComboBox::showPopup();
}

BlankStrip::BlankStrip(const QString &programFolder, QWidget *parent)
    : QWidget(parent), m_programFolder(programFolder),
      m_opener([](const QUrl &url) { QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("BlankStrip"));
    resize(PreferredWidth, PreferredHeight);

    m_label = new QLabel(QStringLiteral("Бланк:"), this);
    m_label->setObjectName(QStringLiteral("LabelBlank"));
    m_label->setGeometry(0, 3, 42, 24);

    m_list = new BlankComboBox(this);
    m_list->setObjectName(QStringLiteral("ComboBox1"));
    m_list->setEditable(false);
    m_list->setGeometry(44, 3, 256, 24);
    m_list->setMaxVisibleItems(16);
    connect(m_list, &BlankComboBox::aboutToDropDown, this, &BlankStrip::ComboBox1DropDown);

    m_edit = new QPushButton(QStringLiteral("Редактировать"), this);
    m_edit->setObjectName(QStringLiteral("BitBtn15"));
    m_edit->setGeometry(306, 1, PreferredWidth - 306, 26);
    connect(m_edit, &QPushButton::clicked, this, &BlankStrip::BitBtn15Click);

    m_help = new QPushButton(QStringLiteral("Создать свой"), this);
    m_help->setObjectName(QStringLiteral("BitBtn16"));
    m_help->setGeometry(306, 29, PreferredWidth - 306, 26);
    connect(m_help, &QPushButton::clicked, this, &BlankStrip::BitBtn16Click);

    fillBlankList();
}

QString BlankStrip::blankName() const
{
    return m_list->currentText();
}

QString BlankStrip::blankPath() const
{
    const QString name = blankName();
    return name.isEmpty() ? QString() : m_programFolder + name;
}

QString BlankStrip::caption() const
{
    return window()->windowTitle();
}

void BlankStrip::fillBlankList()
{
    m_list->clear();
    m_list->addItems(listBlanks(m_programFolder));
    m_list->setCurrentIndex(-1);
}

void BlankStrip::ComboBox1DropDown()
{
    emit blankReminder(false);
    fillBlankList();
}

void BlankStrip::BitBtn15Click()
{
    if (blankName().isEmpty()) {
        emit blankReminder(true);
        messages::ShowWarningNotice(this, caption(), QStringLiteral("Выберите бланк."));
        return;
    }
    m_opener(QUrl::fromLocalFile(blankPath()));
}

void BlankStrip::BitBtn16Click()
{
    const int button = messages::ShowMsg(caption(), 600, 430, blankHelpText(), QStringLiteral(" Понятно "),
                               QStringLiteral(" Открыть папку с бланками "));
    if (button == 2)
        m_opener(QUrl::fromLocalFile(QDir::toNativeSeparators(m_programFolder)));
}

} // namespace letters
