// The blank strip: the template list refilled at every opening, the
// reminder it starts and stops, "Редактировать" and "Создать свой".

#include "letters/ui/blankstrip.h"
#include "letters/blanks.h"
#include "tests/support/modal.h"

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

namespace {

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QStringList items(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

struct Strip {
    Strip() : folder(dir.path() + '/'), strip(folder)
    {
        strip.setWindowTitle(QStringLiteral("Kuvertix"));
        strip.setOpener([this](const QUrl &url) { opened << url; });
        list = strip.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    }
    QTemporaryDir dir;
    QString folder;
    letters::BlankStrip strip;
    QComboBox *list = nullptr;
    QList<QUrl> opened;
};

} // namespace

class TestBlankStrip : public QObject {
    Q_OBJECT
private slots:
    void controls();
    void openingTheListRefillsItAndClearsTheChoice();
    void editWithoutChoiceBlinksAndWarns();
    void editOpensTheChosenFile();
    void helpAndTheFolderButton_data();
    void helpAndTheFolderButton();
};

void TestBlankStrip::controls()
{
    Strip s;
    QCOMPARE(s.strip.findChild<QLabel *>(QStringLiteral("LabelBlank"))->text(), QStringLiteral("Бланк:"));
    QCOMPARE(s.strip.findChild<QPushButton *>(QStringLiteral("BitBtn15"))->text(), QStringLiteral("Редактировать"));
    QCOMPARE(s.strip.findChild<QPushButton *>(QStringLiteral("BitBtn16"))->text(), QStringLiteral("Создать свой"));
    QVERIFY(s.list);
    QVERIFY(!s.list->isEditable());
    QCOMPARE(s.list->geometry().right() + 1, 300);  // ShapeBlank sits under its right end
}

void TestBlankStrip::openingTheListRefillsItAndClearsTheChoice()
{
    Strip s;
    touch(s.folder + "Опись.doc");
    s.strip.fillBlankList();
    QCOMPARE(items(s.list), QStringList{"Опись.doc"});
    QCOMPARE(s.strip.blankName(), QString());

    s.list->setCurrentIndex(0);
    QCOMPARE(s.strip.blankName(), QStringLiteral("Опись.doc"));
    QCOMPARE(s.strip.blankPath(), s.folder + "Опись.doc");

    touch(s.folder + "Анкета.RTF");
    QSignalSpy reminder(&s.strip, &letters::BlankStrip::blankReminder);
    s.list->showPopup();
    QCOMPARE(items(s.list), (QStringList{"Анкета.RTF", "Опись.doc"}));
    QCOMPARE(reminder.size(), 1);
    QCOMPARE(reminder[0][0].toBool(), false);
    s.list->hidePopup();
    QCOMPARE(s.strip.blankName(), QString());  // closed without picking: nothing chosen
    QCOMPARE(s.strip.blankPath(), QString());
}

void TestBlankStrip::editWithoutChoiceBlinksAndWarns()
{
    Strip s;
    touch(s.folder + "Опись.doc");
    s.strip.fillBlankList();
    // The page's reminder bar follows the strip's requests.
    QFrame shapeBlank;
    shapeBlank.setEnabled(false);
    connect(&s.strip, &letters::BlankStrip::blankReminder, &shapeBlank, &QWidget::setEnabled);

    QString text;
    QMessageBox::StandardButtons buttons;
    modal::whenShown(QStringLiteral("NoticeBox"), [&](QWidget *w) {
        auto *box = static_cast<QMessageBox *>(w);
        text = box->text();
        buttons = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
    });
    s.strip.findChild<QPushButton *>(QStringLiteral("BitBtn15"))->click();
    modal::stopPolls();
    QCOMPARE(text, QStringLiteral("Выберите бланк."));
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(shapeBlank.isEnabled());
    QVERIFY(s.opened.isEmpty());

    // Choosing by other means does not stop it; opening the list does.
    s.list->setCurrentIndex(0);
    QVERIFY(shapeBlank.isEnabled());
    s.list->showPopup();
    s.list->hidePopup();
    QVERIFY(!shapeBlank.isEnabled());
}

void TestBlankStrip::editOpensTheChosenFile()
{
    Strip s;
    touch(s.folder + "Уведомление 4 шт сторона1.doc");
    s.strip.fillBlankList();
    s.list->setCurrentIndex(0);
    s.strip.findChild<QPushButton *>(QStringLiteral("BitBtn15"))->click();
    QCOMPARE(s.opened, QList<QUrl>{QUrl::fromLocalFile(s.folder + "Уведомление 4 шт сторона1.doc")});
}

void TestBlankStrip::helpAndTheFolderButton_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("opensFolder");
    QTest::newRow("understood") << 1 << false;
    QTest::newRow("open the folder") << 2 << true;
}

void TestBlankStrip::helpAndTheFolderButton()
{
    QFETCH(int, button);
    QFETCH(bool, opensFolder);
    Strip s;
    QSize size;
    QString title, text;
    QStringList captions;
    modal::whenShown(QStringLiteral("TForm1001"), [&](QWidget *window) {
        size = window->frameGeometry().size();
        title = window->windowTitle();
        text = window->findChild<QTextEdit *>(QStringLiteral("RichEdit1"))->toPlainText();
        for (int k = 1; k <= 3; ++k)
            captions << window->findChild<QLabel *>(QStringLiteral("Label%1").arg(k))->text();
        modal::pressMessageButton(window, button);
    });
    s.strip.findChild<QPushButton *>(QStringLiteral("BitBtn16"))->click();
    modal::stopPolls();
    QCOMPARE(size, QSize(600, 430));
    QCOMPARE(title, QStringLiteral("Kuvertix"));
    QVERIFY(text.startsWith(QStringLiteral("\nВы можете создавать макеты своих собственных бланков в формате Word.\n")));
    QCOMPARE(text.count('\n'), 12);
    QCOMPARE(captions.mid(0, 2),
             (QStringList{QStringLiteral("   Понятно   "), QStringLiteral("   Открыть папку с бланками   ")}));
    QCOMPARE(captions[2], QString());
    if (opensFolder)
        QCOMPARE(s.opened, QList<QUrl>{QUrl::fromLocalFile(s.folder)});
    else
        QVERIFY(s.opened.isEmpty());
}

QTEST_MAIN(TestBlankStrip)
#include "tst_blankstrip.moc"
