// The data-aware controls driven as a user drives them, offscreen.

#include "storetestutil.h"
#include "store/ui/dbcontrols.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QTimer>

using namespace store::ui;

namespace {

// Answers the next message box with the given button and reports its text.
void answerNextMessageBox(QMessageBox::StandardButton button, QString *text)
{
    QTimer::singleShot(0, [button, text] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                *text = box->text();
                box->button(button)->click();
                return;
            }
    });
}

// Types text as key presses, Cyrillic included (keyClicks takes Latin only).
void typeText(QWidget *w, const QString &text)
{
    for (QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

} // namespace

class DbControlsTest : public QObject {
    Q_OBJECT
private slots:
    void typingPutsCursorIntoEditAndScrollingShowsNewRow();
    void numericBoxRefusesLetters();
    void textBoxRefusesControlCharacters();
    void memoStoresLineBreaksAsCrLf();
    void memoTakesNoMoreThanItsFieldHolds_data();
    void memoTakesNoMoreThanItsFieldHolds();
    void checkBoxWritesAndFollowsStoredValue();
    void gridFollowsCursorOrderAndFilter();
    void clickingGridRowMovesCursor();
    void navigatorDeleteAsksFirst();
    void lookupListStoresKeyOfChosenRow();
};

void DbControlsTest::typingPutsCursorIntoEditAndScrollingShowsNewRow()
{
    OpenBase open;
    store::Tables &t = open.tables;
    addRecipient(t.Table2, "Антонов");
    addRecipient(t.Table2, "Борисов");
    t.Table2.first();
    DbLineEdit edit(&t.Table2, "Komu");
    edit.show();
    QCOMPARE(edit.text(), QStringLiteral("Антонов"));
    edit.setFocus();
    edit.end(false);
    typeText(&edit, QStringLiteral("а"));
    QCOMPARE(t.Table2.state(), store::Cursor::State::Edit);
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("Антонова"));
    t.Table2.next();  // stores the edit and shows the next row
    QCOMPARE(edit.text(), QStringLiteral("Борисов"));
    QCOMPARE(edit.maxLength(), 100);
    t.Table2_.refresh();
    t.Table2_.setIndexName("Komu_i");
    QCOMPARE(t.Table2_.asString("Komu"), QStringLiteral("Антонова"));
}

void DbControlsTest::numericBoxRefusesLetters()
{
    OpenBase open;
    store::Tables &t = open.tables;
    t.Table4.insert();
    t.Table4.setValue("NameKonvert", QStringLiteral("DL"));
    t.Table4.post();
    DbLineEdit edit(&t.Table4, "W");
    edit.show();
    edit.setFocus();
    const QString point = QLocale().decimalPoint();
    typeText(&edit, "2x2а0" + point + "5");
    QCOMPARE(edit.text(), "220" + point + "5");
    QCOMPARE(t.Table4.asFloat("W"), 220.5);
    // A text that does not convert stays in the box and leaves the row as it was.
    edit.clear();
    typeText(&edit, QStringLiteral("1-"));
    QCOMPARE(edit.text(), QStringLiteral("1-"));
    QCOMPARE(t.Table4.asFloat("W"), 1.0);
    // Leaving the box shows what the row holds, not a text that never reached it.
    for (const QString &typed : {QStringLiteral("--1"), QStringLiteral("1e")}) {
        edit.clear();
        typeText(&edit, typed);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(&edit, &out);
        QCOMPARE(edit.text(), QStringLiteral("1"));
    }
}

void DbControlsTest::textBoxRefusesControlCharacters()
{
    OpenBase open;
    store::Tables &t = open.tables;
    addRecipient(t.Table2, "Антонов");
    DbLineEdit edit(&t.Table2, "Komu");
    edit.show();
    edit.setFocus();
    edit.end(false);
    QGuiApplication::clipboard()->setText(QStringLiteral("Иван") + QChar(0) + QStringLiteral("ов") + QChar(7));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    typeText(&edit, QString(QChar(1)) + QChar(0x1b) + QStringLiteral("а"));
    QCOMPARE(edit.text(), QStringLiteral("Антонова"));
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("Антонова"));
}

void DbControlsTest::memoStoresLineBreaksAsCrLf()
{
    OpenBase open;
    store::Tables &t = open.tables;
    t.Table1.edit();
    DbMemo memo(&t.Table1, "KonvertComment");
    memo.show();
    memo.setFocus();
    typeText(&memo, QStringLiteral("ЗАКАЗНОЕ"));
    QTest::keyClick(&memo, Qt::Key_Return);
    typeText(&memo, QStringLiteral("С УВЕДОМЛЕНИЕМ"));
    QCOMPARE(t.Table1.asString("KonvertComment"), QStringLiteral("ЗАКАЗНОЕ\r\nС УВЕДОМЛЕНИЕМ"));
    t.Table1.setValue("KonvertComment", QStringLiteral("А\r\nБ"));
    QCOMPARE(memo.toPlainText(), QStringLiteral("А\nБ"));
}

// Kuda holds 150 characters, a line break stored as CR LF counting two.
void DbControlsTest::memoTakesNoMoreThanItsFieldHolds_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    const QString x = QStringLiteral("ж");
    QTest::newRow("fits") << x.repeated(10) << "г. Тверь, " + x.repeated(10) + "ул. Мира";
    QTest::newRow("152 pasted into 18: the paste is cut, the text after it stays")
        << x.repeated(152) << "г. Тверь, " + x.repeated(132) + "ул. Мира";
    QTest::newRow("line breaks count two") << QStringLiteral("ж\n").repeated(80)
                                           << "г. Тверь, " + QStringLiteral("ж\n").repeated(44) + "ул. Мира";
}

void DbControlsTest::memoTakesNoMoreThanItsFieldHolds()
{
    QFETCH(QString, pasted);
    QFETCH(QString, shown);
    OpenBase open;
    store::Tables &t = open.tables;
    addRecipient(t.Table2, "Антонов");
    t.Table2.setValue("Kuda", QStringLiteral("г. Тверь, ул. Мира"));
    DbMemo memo(&t.Table2, "Kuda");
    memo.show();
    memo.setFocus();
    QTextCursor at = memo.textCursor();
    at.setPosition(10);
    memo.setTextCursor(at);
    memo.insertPlainText(pasted);
    QCOMPARE(memo.toPlainText(), shown);
    QCOMPARE(t.Table2.asString("Kuda"), QString(shown).replace("\n", "\r\n"));
}

void DbControlsTest::checkBoxWritesAndFollowsStoredValue()
{
    OpenBase open;
    store::Tables &t = open.tables;
    t.Table1.edit();
    t.Table1.post();
    DbCheckBox box(&t.Table1, "PrintLogo", QStringLiteral("Логотип"));
    QList<bool> toggles;
    connect(&box, &QCheckBox::toggled, this, [&](bool on) { toggles << on; });
    box.show();
    QVERIFY(!box.isChecked());
    QTest::mouseClick(&box, Qt::LeftButton);
    QVERIFY(t.Table1.asBoolean("PrintLogo"));
    t.Table1.cancel();
    QVERIFY(!box.isChecked());
    QCOMPARE(toggles, (QList<bool>{true, false}));
}

void DbControlsTest::gridFollowsCursorOrderAndFilter()
{
    OpenBase open;
    store::Tables &t = open.tables;
    for (const char *n : {"Вера", "Анна", "Борис", "Алла"})
        addRecipient(t.Table2, QString::fromUtf8(n));
    DbGrid grid(&t.Table2, {{"N", "-N", 5, false}, {"Komu", "Кому", 30, true}, {"Group", "Группа", 15, true}});
    grid.resize(400, 300);
    grid.show();
    QCOMPARE(grid.model()->columnCount(), 2);
    QCOMPARE(grid.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Кому"));
    QStringList shown;
    for (int r = 0; r < grid.model()->rowCount(); ++r)
        shown << grid.model()->index(r, 0).data().toString();
    QCOMPARE(shown, (QStringList{"Алла", "Анна", "Борис", "Вера"}));
    t.Table2.first();
    t.Table2.next();
    QCOMPARE(grid.currentIndex().row(), 1);
    const int komu = t.Table2.fieldIndex("Komu");
    t.Table2.setFilterHook([komu](const store::RecordView &r) { return r.text(komu).contains("р"); });
    t.Table2.setFiltered(true);
    QCOMPARE(grid.model()->rowCount(), 2);
    QCOMPARE(grid.model()->index(1, 0).data().toString(), QStringLiteral("Вера"));
    // Resets of the rows keep the widths of the column definitions.
    const int charWidth = grid.fontMetrics().averageCharWidth();
    QCOMPARE(grid.columnWidth(0), 30 * charWidth + 8);
    QCOMPARE(grid.columnWidth(1), 15 * charWidth + 8);
}

void DbControlsTest::clickingGridRowMovesCursor()
{
    OpenBase open;
    store::Tables &t = open.tables;
    for (int i = 0; i < 30; ++i)
        addRecipient(t.Table2, QStringLiteral("Адресат %1").arg(i, 2, 10, QChar('0')));
    DbGrid grid(&t.Table2, {{"Komu", "Кому", 30, true}});
    grid.resize(300, 200);
    grid.show();
    const QRect cell = grid.visualRect(grid.model()->index(3, 0));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(t.Table2.recNo(), 3);
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("Адресат 03"));
    t.Table2.last();
    QCOMPARE(grid.currentIndex().row(), 29);
}

void DbControlsTest::navigatorDeleteAsksFirst()
{
    OpenBase open;
    store::Tables &t = open.tables;
    t.Table3.insert();
    t.Table3.setValue("OtKogo", QStringLiteral("Отправитель"));
    t.Table3.post();
    DbNavigator nav(&t.Table3, {DbNavigator::Insert, DbNavigator::Delete, DbNavigator::Post, DbNavigator::Cancel});
    nav.setHint(DbNavigator::Delete, QStringLiteral("Удалить"));
    nav.show();
    QCOMPARE(nav.button(DbNavigator::Delete)->toolTip(), QStringLiteral("Удалить"));
    QVERIFY(!nav.button(DbNavigator::Post)->isEnabled());
    QString asked;
    answerNextMessageBox(QMessageBox::Cancel, &asked);
    nav.button(DbNavigator::Delete)->click();
    QCOMPARE(asked, QStringLiteral("Удалить запись?"));
    QCOMPARE(t.Table3.recordCount(), 1);
    answerNextMessageBox(QMessageBox::Ok, &asked);
    nav.button(DbNavigator::Delete)->click();
    QCOMPARE(t.Table3.recordCount(), 0);
    nav.button(DbNavigator::Insert)->click();
    QVERIFY(nav.button(DbNavigator::Post)->isEnabled());
}

void DbControlsTest::lookupListStoresKeyOfChosenRow()
{
    OpenBase open;
    store::Tables &t = open.tables;
    for (const char *n : {"C5", "DL", "C4"}) {
        t.Table4.insert();
        t.Table4.setValue("NameKonvert", QString::fromLatin1(n));
        t.Table4.post();
    }
    t.Table1.edit();
    t.Table1.setValue("N_Konvert", 2);
    DbLookupComboBox combo(&t.Table1, "N_Konvert", &t.Table4, "NameKonvert", "N");
    combo.show();
    QCOMPARE(combo.count(), 3);
    QCOMPARE(combo.itemText(0), QStringLiteral("C4"));
    QCOMPARE(combo.currentText(), QStringLiteral("DL"));
    combo.setCurrentIndex(1);
    emit combo.activated(1);
    QCOMPARE(t.Table1.asInteger("N_Konvert"), 1);  // C5 was the first row stored
}

QTEST_MAIN(DbControlsTest)
#include "tst_dbcontrols.moc"
