// The print-run controls and the blank strip in the places the address-book
// tab keeps for them, wired the way the main window wires them: the tab's
// scope, marked count, filter and history feed the run and its summary, and
// the strip's reminder requests reach the tab's ShapeBlank.

#include "addressbook/ui/addressbooktab.h"
#include "letters/ui/blankstrip.h"
#include "tests/support/printrunharness.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

class Page : public printruntest::Data {
public:
    Page()
    {
        standardSetup();
        addRecipient(QStringLiteral("Волков"), QStringLiteral("Омск"), QStringLiteral("644000"), true,
                     QStringLiteral("склад"));
        addRecipient(QStringLiteral("Акулов"), QStringLiteral("Москва"), QStringLiteral("101000"), true);
        addRecipient(QStringLiteral("Белкина"), QStringLiteral("Псков"), QStringLiteral("180000"), false,
                     QStringLiteral("склад"));
        tab = std::make_unique<addressbook::AddressBookTab>(tables, programFolder());
        tab->setWindowTitle(QStringLiteral("Kuvertix"));
        printer = std::make_unique<envelope::EnvelopePrinter>(tables);
        printer->setOutput([this](const report::ReportPage &page) {
            printed << page.text(QStringLiteral("Komu")).text();
            return 0;
        });

        QWidget *printPlace = tab->printButtonsPlace();
        QWidget *blankPlace = tab->blankStripPlace();
        panel = new envelope::PrintRunPanel(tables, *printer, printPlace);
        strip = new letters::BlankStrip(programFolder(), blankPlace);
        strip->lower();  // the reminder bar stays on top of the strip

        QObject::connect(strip, &letters::BlankStrip::blankReminder, tab.get(),
                         &addressbook::AddressBookTab::setBlankReminder);
        panel->setSources({[this] { tab->addHistoryFilter(); },
                           [this](const QString &kind) {
                               runs::ResumeScreen s;
                               s.scope = tab->printScope();
                               s.selectedCount = tab->selectedCount();
                               s.filterText = tab->filterText();
                               s.blankName = strip->blankName();
                               s.returnEnvelope = panel->returnEnvelope();
                               const envelope::PrintFont &font = printer->printFont();
                               s.font = {font.family, font.pointSize(), font.bold, font.italic};
                               s.printLogo = tables.Table1.asBoolean(QStringLiteral("PrintLogo"));
                               s.printZipCode = tables.Table1.asBoolean(QStringLiteral("PrintZIPcode"));
                               s.printComment = tables.Table1.asBoolean(QStringLiteral("PrintKonvertComment"));
                               return runs::ShowResume(tab->windowTitle(), kind, tables, s);
                           },
                           [this] { return tab->printScope(); }, [this] { return tab->selectedCount(); }, [] { return false; }});
        tab->recountSelected();
        tab->resize(968, 520);
        tab->show();
    }

    void typeFilter(const QString &text)
    {
        auto *filter = tab->findChild<QComboBox *>(QStringLiteral("ComboBoxFilter"));
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, filter->lineEdit(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    // Presses "Печать конвертов" and answers the summary, keeping its text.
    envelope::PrintRunPanel::Outcome print(int answer = 1)
    {
        modal::whenShown(QStringLiteral("TForm1001"), [this, answer](QWidget *window) {
            summary = window->findChild<QTextEdit *>(QStringLiteral("RichEdit1"))->toPlainText();
            modal::pressMessageButton(window, answer);
        });
        const auto outcome = panel->BitBtnPrintCheckClick();
        modal::stopPolls();
        return outcome;
    }

    std::unique_ptr<addressbook::AddressBookTab> tab;
    std::unique_ptr<envelope::EnvelopePrinter> printer;
    envelope::PrintRunPanel *panel = nullptr;
    letters::BlankStrip *strip = nullptr;
    QStringList printed;
    QString summary;
};

} // namespace

class TestAddressBookWiring : public QObject {
    Q_OBJECT
private slots:
    void placesHoldTheControls();
    void markedRunThroughTheTab();
    void allRunWithTheTabsFilter();
    void editWithoutBlankLightsTheTabsReminder();
};

void TestAddressBookWiring::placesHoldTheControls()
{
    Page p;
    for (QWidget *w : {static_cast<QWidget *>(p.panel), static_cast<QWidget *>(p.strip)}) {
        QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(w->objectName()));
        QVERIFY(w->isVisible());
    }
    auto *shape = p.tab->findChild<QWidget *>(QStringLiteral("ShapeBlank"));
    auto *list = p.strip->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    // The reminder sits under the right end of the template list.
    QCOMPARE(shape->geometry().right(), list->geometry().right());
    QCOMPARE(shape->geometry().top(), list->geometry().bottom() + 1);
}

void TestAddressBookWiring::markedRunThroughTheTab()
{
    Page p;
    p.tab->findChild<QRadioButton *>(QStringLiteral("RadioButton2"))->click();
    QCOMPARE(p.tab->printScope(), runs::PrintScope::Marked);
    p.panel->findChild<QCheckBox *>(QStringLiteral("CheckBoxObr"))->setChecked(true);
    QCOMPARE(p.print(), envelope::PrintRunPanel::Outcome::Printed);
    QCOMPARE(p.printed, (QStringList{"Акулов", "Отправителев", "Волков", "Отправителев"}));
    QVERIFY(p.summary.contains(QStringLiteral("Получатель: Выделенные - 2 шт\n")));
    QVERIFY(p.summary.contains(QStringLiteral("с обратным конвертом")));
}

void TestAddressBookWiring::allRunWithTheTabsFilter()
{
    Page p;
    p.tab->findChild<QRadioButton *>(QStringLiteral("RadioButton3"))->click();
    p.typeFilter(QStringLiteral("склад"));
    QCOMPARE(p.print(2), envelope::PrintRunPanel::Outcome::Declined);
    QVERIFY(p.printed.isEmpty());
    QCOMPARE(addressbook::historyTexts(p.tables.Table6), QStringList{QStringLiteral("склад")});
    QCOMPARE(p.print(), envelope::PrintRunPanel::Outcome::Printed);
    QCOMPARE(p.printed, (QStringList{"Белкина", "Волков"}));
    QVERIFY(p.summary.contains(QStringLiteral("Получатель: Все (фильтр = склад)\n")));
}

void TestAddressBookWiring::editWithoutBlankLightsTheTabsReminder()
{
    Page p;
    auto *shape = p.tab->findChild<QWidget *>(QStringLiteral("ShapeBlank"));
    QVERIFY(!shape->isEnabled());
    modal::whenShown(QStringLiteral("NoticeBox"), [](QWidget *w) {
        static_cast<QMessageBox *>(w)->button(QMessageBox::Ok)->click();
    });
    p.strip->findChild<QPushButton *>(QStringLiteral("BitBtn15"))->click();
    modal::stopPolls();
    QVERIFY(shape->isEnabled());
    p.strip->findChild<QComboBox *>(QStringLiteral("ComboBox1"))->showPopup();
    QVERIFY(!shape->isEnabled());
}

QTEST_MAIN(TestAddressBookWiring)
#include "tst_runwiring.moc"
