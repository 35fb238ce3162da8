#include "addressbook/ui/addressbooktab.h"
#include "addressbook/ui/senderstab.h"
#include "testbook.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

using addressbook::AddressBookTab;
using addressbook::SendersTab;

class TestPages : public QObject {
    Q_OBJECT
private slots:
    void doubleClickTogglesMarkAndCaption();
    void filterNarrowsGridAndColoursField();
    void markAllKeepsFixedLooks();
    void scopeColours();
    void saveReminderBlinks();
    void reservePanelFollowsSettings();
    void sumFieldTakesBackInvalidText();
    void sumTypedKeyByKey_data();
    void sumTypedKeyByKey();
    void senderChoiceHighlights();
    void renderPictures();
    void wholeAddressShows();

private:
    static void fill(TestBook &t)
    {
        t.add({"ОАО \"Металлоторг\"", "г. Москва, ул. Ленина, д. 1", "ОАО", -1});
        t.add({"Иванов И. И.", "г. Тверь, ул. Советская, д. 5", ""});
        t.add({"ООО \"Уралметалл\"", "г. Екатеринбург, пр. Мира, д. 7", "поставщик", -1});
        t.add({"Петров П. П.", "г. Москва, ул. Садовая, д. 12", ""});
        t.add({"Сидоров С. С.", "г. Омск, ул. Лесная, д. 3", ""});
    }
};

namespace {

template <typename T>
T *child(QWidget *page, const char *name)
{
    T *w = page->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

void doubleClickRow(QTableView *grid, int row)
{
    const QModelIndex index = grid->model()->index(row, 0);
    grid->setCurrentIndex(index);
    emit grid->doubleClicked(index);
}

// Types a text key by key, Cyrillic letters included.
void type(QWidget *w, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// One beat of the blink timer, at once.
void tick(QTimer *timer)
{
    QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
}

} // namespace

void TestPages::doubleClickTogglesMarkAndCaption()
{
    TestBook t;
    fill(t);
    AddressBookTab page(t.tables, t.dir.path() + '/');
    page.recountSelected();
    auto *caption = child<QRadioButton>(&page, "RadioButton2");
    QCOMPARE(caption->text(), QString("выделенных(2)"));
    auto *grid = child<QTableView>(&page, "DBGrid1");
    QCOMPARE(grid->model()->rowCount(), 5);
    doubleClickRow(grid, 0);  // by name the first is Иванов, unmarked
    QCOMPARE(t.tables.Table2.asString("Komu"), QString("Иванов И. И."));
    QCOMPARE(t.tables.Table2.asInteger("Check"), -1);
    QCOMPARE(caption->text(), QString("выделенных(3)"));
    doubleClickRow(grid, 0);
    QCOMPARE(caption->text(), QString("выделенных(2)"));
    QCOMPARE(page.selectedCount(), 2);
}

void TestPages::filterNarrowsGridAndColoursField()
{
    TestBook t;
    fill(t);
    AddressBookTab page(t.tables, t.dir.path() + '/');
    page.recountSelected();
    auto *filter = child<QComboBox>(&page, "ComboBoxFilter");
    auto *grid = child<QTableView>(&page, "DBGrid1");
    QCOMPARE(filter->lineEdit()->palette().color(QPalette::Base), QColor(0, 255, 255));
    type(filter->lineEdit(), "МЕТАЛЛ");
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(filter->lineEdit()->palette().color(QPalette::Base), QColor(255, 128, 128));
    QCOMPARE(child<QRadioButton>(&page, "RadioButton2")->text(), QString("выделенных(2)"));
    QTest::mouseClick(child<QWidget>(&page, "SpeedButton1"), Qt::LeftButton);
    QCOMPARE(filter->currentText(), QString("МЕТАЛЛ|"));
    QCOMPARE(filter->lineEdit()->cursorPosition(), 7);
    type(filter->lineEdit(), "москва");
    QCOMPARE(grid->model()->rowCount(), 1);
    QCOMPARE(child<QRadioButton>(&page, "RadioButton2")->text(), QString("выделенных(1)"));

    page.addHistoryFilter();
    filter->showPopup();
    QCOMPARE(filter->count(), 1);
    QCOMPARE(filter->itemText(0), QString("МЕТАЛЛ|москва"));
    QCOMPARE(filter->currentText(), QString("МЕТАЛЛ|москва"));  // refilling kept the text
    filter->hidePopup();

    filter->setEditText(QString());
    QCOMPARE(grid->model()->rowCount(), 5);
    type(filter->lineEdit(), "М");  // the history entry is not completed into the field
    QCOMPARE(filter->currentText(), QString("М"));
    filter->setEditText(QString());
    QCOMPARE(filter->lineEdit()->palette().color(QPalette::Base), QColor(0, 255, 255));
}

void TestPages::markAllKeepsFixedLooks()
{
    TestBook t;
    fill(t);
    AddressBookTab page(t.tables, t.dir.path() + '/');
    page.recountSelected();
    auto *markAll = child<QCheckBox>(&page, "CheckBoxCheck");
    auto *unmarkAll = child<QCheckBox>(&page, "CheckBoxUnCheck");
    QVERIFY(markAll->isChecked());
    QVERIFY(!unmarkAll->isChecked());
    QTest::mouseClick(markAll, Qt::LeftButton);
    QVERIFY(markAll->isChecked());
    QCOMPARE(page.selectedCount(), 5);
    QTest::mouseClick(unmarkAll, Qt::LeftButton);
    QVERIFY(!unmarkAll->isChecked());
    QCOMPARE(page.selectedCount(), 0);
}

void TestPages::scopeColours()
{
    TestBook t;
    AddressBookTab page(t.tables, t.dir.path() + '/');
    auto *r1 = child<QRadioButton>(&page, "RadioButton1");
    auto *r2 = child<QRadioButton>(&page, "RadioButton2");
    auto *r3 = child<QRadioButton>(&page, "RadioButton3");
    // The background as painted, beside the caption.
    auto background = [](QRadioButton *r) { return r->grab().toImage().pixelColor(r->width() - 8, r->height() / 2); };
    QVERIFY(r1->isChecked());
    QCOMPARE(r2->palette().color(QPalette::WindowText), QColor(109, 109, 109));
    QCOMPARE(background(r2), QColor(240, 240, 240));
    QTest::mouseClick(r2, Qt::LeftButton);
    QCOMPARE(page.printScope(), runs::PrintScope::Marked);
    QCOMPARE(r2->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    QCOMPARE(background(r2), QColor(153, 180, 209));
    QCOMPARE(r1->palette().color(QPalette::WindowText), QColor(109, 109, 109));
    r3->click();
    QCOMPARE(page.printScope(), runs::PrintScope::All);
    QCOMPARE(background(r3), QColor(255, 255, 255));
    QCOMPARE(background(r2), QColor(240, 240, 240));
}

void TestPages::saveReminderBlinks()
{
    TestBook t;
    fill(t);
    AddressBookTab page(t.tables, t.dir.path() + '/');
    page.show();
    auto *bar = child<QFrame>(&page, "ShapePost");
    auto *timer = child<QTimer>(&page, "TimerBlink");
    QCOMPARE(timer->interval(), 200);
    QVERIFY(timer->isActive());
    QVERIFY(!bar->isEnabled());
    type(child<QPlainTextEdit>(&page, "DBEditKuda"), "x");
    QVERIFY(bar->isEnabled());
    const bool before = bar->isHidden();
    tick(timer);
    QCOMPARE(bar->isHidden(), !before);
    tick(timer);
    QCOMPARE(bar->isHidden(), before);
    t.tables.Table2.post();
    QVERIFY(!bar->isEnabled());
    tick(timer);
    QVERIFY(bar->isHidden());

    page.setBlankReminder(true);
    tick(timer);
    QVERIFY(!page.blankReminder()->isHidden());
    page.setBlankReminder(false);
    tick(timer);
    QVERIFY(page.blankReminder()->isHidden());
}

void TestPages::reservePanelFollowsSettings()
{
    TestBook t;
    t.tables.Table1.insert();  // the settings row
    t.tables.Table1.setValue("ReservName2", QString("ИНН"));
    t.tables.Table1.post();
    t.tables.Table1.edit();
    AddressBookTab page(t.tables, t.dir.path() + '/');
    page.show();
    page.recountSelected();
    auto *panel = child<QWidget>(&page, "PanelReserv");
    QVERIFY(panel->isHidden());
    t.tables.Table1.setValue("ReservShow", true);
    QVERIFY(!panel->isHidden());
    QCOMPARE(child<QLineEdit>(&page, "DBEditReservName2")->text(), QString("ИНН"));
    QCOMPARE(child<QLineEdit>(&page, "DBEditReservName3")->toolTip(),
             QString("Здесь вы можете изменить название резервного поля 3"));
    t.tables.Table1.setValue("ReservShow", false);
    QVERIFY(panel->isHidden());
}

void TestPages::sumFieldTakesBackInvalidText()
{
    TestBook t;
    AddressBookTab page(t.tables, t.dir.path() + '/');
    auto *sum = child<QLineEdit>(&page, "EditSum");
    const QString zero = QLocale().toString(0.0, 'f', 2);
    QCOMPARE(sum->text(), zero);
    sum->setFocus();
    sum->end(false);
    QTest::keyClick(sum, Qt::Key_A);
    QCOMPARE(sum->text(), zero);
    sum->selectAll();
    QTest::keyClick(sum, Qt::Key_Delete);
    QCOMPARE(sum->text(), zero);
    sum->end(false);
    QTest::keyClick(sum, Qt::Key_5);
    QCOMPARE(sum->text(), zero + "5");
    QCOMPARE(page.sum(), QLocale().toDouble(zero + "5"));
}

void TestPages::sumTypedKeyByKey_data()
{
    QTest::addColumn<bool>("russian");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("value");
    QTest::newRow("point, Russian") << true << "1234.50" << "1234,50" << 1234.5;
    QTest::newRow("comma, Russian") << true << "1234,50" << "1234,50" << 1234.5;
    QTest::newRow("comma, C") << false << "1234,50" << "1234.50" << 1234.5;
    QTest::newRow("point, C") << false << "1234.50" << "1234.50" << 1234.5;
    QTest::newRow("second separator, Russian") << true << "12.3,4" << "12,34" << 12.34;
    QTest::newRow("second separator, C") << false << "12,3.4" << "12.34" << 12.34;
    QTest::newRow("letter, Russian") << true << "1y5.5" << "15,5" << 15.5;
    QTest::newRow("letter, C") << false << "7x,25" << "7.25" << 7.25;
}

// The sum typed key by key under the locale: either separator is taken
// and shown as the locale's, anything that does not parse is taken back.
void TestPages::sumTypedKeyByKey()
{
    QFETCH(bool, russian);
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QFETCH(double, value);
    const QLocale before;
    QLocale::setDefault(russian ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c());
    TestBook t;
    AddressBookTab page(t.tables, t.dir.path() + '/');
    auto *sum = child<QLineEdit>(&page, "EditSum");
    sum->setFocus();
    sum->selectAll();
    QTest::keyClicks(sum, keys);
    QLocale::setDefault(before);
    QCOMPARE(sum->text(), shown);
    QCOMPARE(page.sum(), value);
}

void TestPages::senderChoiceHighlights()
{
    TestBook t;
    store::Cursor &senders = t.tables.Table3;
    for (const char *name : {"Иванов", "Петров"}) {
        senders.insert();
        senders.setValue("OtKogo", QString::fromUtf8(name));
        senders.post();
    }
    t.tables.Table1.insert();
    t.tables.Table1.post();
    t.tables.Table1.edit();
    SendersTab page(t.tables, t.dir.path() + '/');
    auto *grid = child<QTableView>(&page, "DBGrid2");
    QCOMPARE(grid->model()->columnCount(), 3);
    senders.last();
    QTest::mouseClick(child<QWidget>(&page, "BitBtn4"), Qt::LeftButton);
    QCOMPARE(t.tables.Table1.asString("OtKogo"), QString("Петров"));
    const QVariant chosen = grid->model()->index(1, 0).data(Qt::BackgroundRole);
    QCOMPARE(chosen.value<QColor>(), QColor(153, 180, 209));
    QVERIFY(!grid->model()->index(0, 0).data(Qt::BackgroundRole).isValid());

    auto *filter = child<QLineEdit>(&page, "EditFilterOtKogo");
    type(filter, "ИВАН");
    QCOMPARE(grid->model()->rowCount(), 1);
    QCOMPARE(filter->palette().color(QPalette::Base), QColor(255, 128, 128));
    filter->clear();
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(filter->palette().color(QPalette::Base), QColor(255, 255, 255));
}

// Pictures of both pages for a look by eye; written into the build folder.
void TestPages::renderPictures()
{
    TestBook t;
    fill(t);
    t.tables.Table1.insert();
    for (int n = 1; n <= 6; ++n)
        t.tables.Table1.setValue(QStringLiteral("ReservName%1").arg(n), QStringLiteral("Резерв %1").arg(n));
    t.tables.Table1.post();
    t.tables.Table1.edit();
    t.tables.Table1.setValue("ReservShow", true);
    AddressBookTab page(t.tables, t.dir.path() + '/');
    page.show();
    page.recountSelected();
    type(page.findChild<QComboBox *>("ComboBoxFilter")->lineEdit(), "г. м");
    child<QRadioButton>(&page, "RadioButton2")->click();
    t.tables.Table2.last();  // the marked row shows its colour, not the current row's
    QApplication::processEvents();
    const QString dir = QStringLiteral(KUVERTIX_BUILD_DIR) + "/pictures";
    QDir().mkpath(dir);
    QVERIFY(page.grab().save(dir + "/addressbook-tab.png"));

    store::Cursor &senders = t.tables.Table3;
    for (const char *name : {"ИП Кузнецов", "ООО \"Рога и копыта\""}) {
        senders.insert();
        senders.setValue("OtKogo", QString::fromUtf8(name));
        senders.setValue("OtKuda", QString("г. Тверь, ул. Советская, д. 1"));
        senders.setValue("OtIndex", QString("170000"));
        senders.post();
    }
    SendersTab senderPage(t.tables, t.dir.path() + '/');
    senderPage.show();
    senders.first();
    child<QWidget>(&senderPage, "BitBtn4")->setFocus();
    QTest::mouseClick(child<QWidget>(&senderPage, "BitBtn4"), Qt::LeftButton);
    senders.last();  // the chosen one shows its highlight, not the selection
    QApplication::processEvents();
    QVERIFY(senderPage.grab().save(dir + "/senders-tab.png"));
}

// An address of the whole 150 characters the field holds shows without
// scrolling in the address book's "Куда" field.
void TestPages::wholeAddressShows()
{
    TestBook t;
    const QString address = QStringLiteral(
        "Российская Федерация, 190000, г. Санкт-Петербург, Невский проспект, д. 28, литера А, "
        "помещение 12-Н, офис 305, ООО \"Северо-Западная торговая компания\"").left(150);
    QCOMPARE(address.size(), 150);
    t.add({"Петров П. П.", address, ""});
    AddressBookTab page(t.tables, t.dir.path() + '/');
    page.show();
    auto *kuda = child<QPlainTextEdit>(&page, "DBEditKuda");
    QCOMPARE(kuda->toPlainText(), address);
    QCOMPARE(kuda->verticalScrollBar()->maximum(), 0);
    QCOMPARE(kuda->horizontalScrollBar()->maximum(), 0);
}

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
