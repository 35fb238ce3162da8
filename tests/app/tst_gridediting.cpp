// Editing through the grids and edit fields of the main window, driven by
// mouse clicks on the grids' viewports and key presses sent where the
// keyboard focus is, as a user drives them. What counts is what the table
// files hold afterwards.

#include "app/ui/mainwindow.h"
#include "store/ui/dbcontrols.h"

#include "tests/support/modal.h"
#include "programcopy.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <memory>

using Nav = store::ui::DbNavigator;

namespace {

// Where an editable grid lives and which cell the test types into; the
// recipient grid is read-only and its row is edited in a field beside it.
struct GridPlace {
    QString grid;
    QString navigator;
    int settingsTab;  // -1: the address book
    int column;
    QString field;
    QString editField = {};
};

const GridPlace kOffsets{"DBGrid4", "DBNavigator4", 0, 2, "Dy"};
const GridPlace kSenders{"DBGrid2", "DBNavigator2", 1, 2, "OtIndex"};
const GridPlace kFormats{"DBGrid3", "DBNavigator3", 2, 0, "NameKonvert"};
const GridPlace kRecipients{"DBGrid1", "DBNavigator1", -1, 0, "Index", "DBEditIndex"};

void addRow(store::Cursor &c, const QVariantMap &values)
{
    c.insert();
    for (auto it = values.begin(); it != values.end(); ++it)
        c.setValue(it.key(), it.value());
    c.post();
}

// Keys go where the keyboard focus is, as on a real keyboard.
void type(const QString &text)
{
    for (QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(ch),
                            Qt::NoModifier);
}

void press(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

struct Window {
    ProgramCopy copy;
    std::unique_ptr<app::TForm1> w;

    Window()
    {
        store::Tables t;
        t.openAllIn(copy.path("base"));
        addRow(t.Table5, {{"PrinterName", "Epson"}, {"Dx", 1.5}, {"Dy", -2.0}});
        addRow(t.Table3, {{"OtKogo", "ИП Сидоров"}, {"OtKuda", "г. Тверь"}, {"OtIndex", "170001"}});
        addRow(t.Table3, {{"OtKogo", "ООО «Ромашка»"}, {"OtKuda", "г. Псков"}, {"OtIndex", "180000"}});
        addRow(t.Table2, {{"Komu", "Антонову А. А."}, {"Kuda", "г. Омск"}, {"Index", "644000"}});
        addRow(t.Table2, {{"Komu", "Борисову Б. Б."}, {"Kuda", "г. Томск"}, {"Index", "634000"}});
        while (t.Table4.recordCount() < 2)
            addRow(t.Table4, {{"NameKonvert", QStringLiteral("Формат %1").arg(t.Table4.recordCount())}});
    }
    bool start()
    {
        w = std::make_unique<app::TForm1>(copy.path());
        w->FormCreate();
        w->show();
        QApplication::setActiveWindow(w.get());
        return QTest::qWaitForWindowActive(w.get());
    }
    store::ui::DbGrid *showGrid(const GridPlace &p)
    {
        w->findChild<QTabWidget *>("TabbedNotebook1")->setCurrentIndex(p.settingsTab < 0 ? 1 : 2);
        if (p.settingsTab >= 0)
            w->findChild<QTabWidget *>("TabbedNotebook2")->setCurrentIndex(p.settingsTab);
        auto *grid = w->findChild<store::ui::DbGrid *>(p.grid);
        grid->cursor()->first();
        return grid;
    }
    QToolButton *button(const QString &navigator, Nav::Button b)
    {
        return w->findChild<Nav *>(navigator)->button(b);
    }
    // A field of the row with key n as the table file holds it.
    QString stored(const QString &table, int n, const QString &field)
    {
        store::Tables t;
        t.openAllIn(copy.path("base"));
        for (store::Cursor *c : t.all()) {
            if (c->name() != table)
                continue;
            for (c->first(); !c->eof(); c->next())
                if (c->asInteger("N") == n)
                    return c->asString(field);
        }
        return QStringLiteral("<no row>");
    }
};

void clickCell(QTableView *grid, int row, int column)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

// Clicks the row's cell and types into it, or into the edit field beside.
void typeInto(QTableView *grid, const GridPlace &p, int row, const QString &text)
{
    clickCell(grid, row, p.column);
    if (!p.editField.isEmpty()) {
        auto *edit = grid->window()->findChild<QWidget *>("AddressBookTab")->findChild<QLineEdit *>(p.editField);
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->selectAll();
    }
    type(text);
}

bool editorOpen(QTableView *grid)
{
    for (QWidget *editor : grid->viewport()->findChildren<QLineEdit *>())
        if (editor->isVisible())
            return true;
    return false;
}

int keyOfRow(store::ui::DbGrid *grid, int row)
{
    store::Cursor *c = grid->cursor();
    return c->valueAt(row, c->fieldIndex("N")).toInt();
}

// Answers the delete question with its first (confirming) button.
void confirmDeleteWhenAsked(QString *question, QString *title)
{
    modal::whenShown(QStringLiteral("DeleteRecordBox"), [question, title](QWidget *w) {
        auto *box = static_cast<QMessageBox *>(w);
        *question = box->text();
        *title = box->windowTitle();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
}

} // namespace

Q_DECLARE_METATYPE(GridPlace)
Q_DECLARE_METATYPE(Nav::Button)

class GridEditingTest : public QObject {
    Q_OBJECT
private slots:
    void typingIntoAnotherRowStoresIntoThatRow_data();
    void typingIntoAnotherRowStoresIntoThatRow();
    void navigatorTakesTheOpenCellFirst_data();
    void navigatorTakesTheOpenCellFirst();
};

void GridEditingTest::typingIntoAnotherRowStoresIntoThatRow_data()
{
    QTest::addColumn<GridPlace>("place");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("offsets") << kOffsets << "4" << "-3";
    QTest::newRow("senders") << kSenders << "190000" << "170000";
    // New names move both rows to other places in the name order.
    QTest::newRow("formats") << kFormats << "Я" << "Ю";
    QTest::newRow("recipients") << kRecipients << "190000" << "170000";
}

// A cell is typed into, then a cell of the other row: each row gets its own
// value, in the file, and the program keeps running.
void GridEditingTest::typingIntoAnotherRowStoresIntoThatRow()
{
    QFETCH(GridPlace, place);
    QFETCH(QString, first);
    QFETCH(QString, second);
    Window win;
    QVERIFY(win.start());
    store::ui::DbGrid *grid = win.showGrid(place);
    const int n0 = keyOfRow(grid, 0), n1 = keyOfRow(grid, 1);
    const QString table = grid->cursor()->name();
    const QString old0 = win.stored(table, n0, place.field);

    typeInto(grid, place, 0, first);
    const int otherRow = grid->cursor()->recNo() == 0 ? 1 : 0;
    QCOMPARE(keyOfRow(grid, otherRow), n1);
    typeInto(grid, place, otherRow, second);  // the click stores the first row
    QCOMPARE(keyOfRow(grid, grid->cursor()->recNo()), n1);
    QCOMPARE(win.stored(table, n0, place.field), old0 == first ? old0 : first);
    press(Qt::Key_Tab);  // in a grid, from the last column to the next row: stores the row
    QTest::mouseClick(win.button(place.navigator, Nav::Post), Qt::LeftButton);
    QVERIFY(!grid->cursor()->isEditing());
    QCOMPARE(win.stored(table, n0, place.field), first);
    QCOMPARE(win.stored(table, n1, place.field), second);
}

void GridEditingTest::navigatorTakesTheOpenCellFirst_data()
{
    QTest::addColumn<GridPlace>("place");
    QTest::addColumn<Nav::Button>("button");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("kept");     // the typed value reaches the file
    QTest::addColumn<bool>("deleted");  // the row is gone
    const std::pair<const char *, GridPlace> grids[] = {
        {"offsets", kOffsets}, {"senders", kSenders}, {"formats", kFormats}, {"recipients", kRecipients}};
    for (const auto &[name, place] : grids) {
        const QString typed = place.field == "Dy" ? "-3" : place.field == "NameKonvert" ? "Бланк A4" : "170000";
        QTest::addRow("%s post", name) << place << Nav::Post << typed << true << false;
        QTest::addRow("%s cancel", name) << place << Nav::Cancel << typed << false << false;
        QTest::addRow("%s insert", name) << place << Nav::Insert << typed << true << false;
        QTest::addRow("%s delete", name) << place << Nav::Delete << typed << false << true;
    }
}

// An open cell editor is taken as leaving the cell would take it before a
// navigator button acts; the save button is enabled while it is open.
void GridEditingTest::navigatorTakesTheOpenCellFirst()
{
    QFETCH(GridPlace, place);
    QFETCH(Nav::Button, button);
    QFETCH(QString, typed);
    QFETCH(bool, kept);
    QFETCH(bool, deleted);
    Window win;
    QVERIFY(win.start());
    store::ui::DbGrid *grid = win.showGrid(place);
    const int n1 = keyOfRow(grid, 1);
    const QString table = grid->cursor()->name();
    const QString old = win.stored(table, n1, place.field);

    typeInto(grid, place, 1, typed);
    QCOMPARE(editorOpen(grid), place.editField.isEmpty());
    QVERIFY(win.button(place.navigator, Nav::Post)->isEnabled());
    QString question, title;
    if (button == Nav::Delete)
        confirmDeleteWhenAsked(&question, &title);
    QTest::mouseClick(win.button(place.navigator, button), Qt::LeftButton);
    modal::stopPolls();

    QVERIFY(!editorOpen(grid));
    if (deleted) {
        QCOMPARE(question, QStringLiteral("Удалить запись?"));
        QCOMPARE(title, win.w->windowTitle());
        QCOMPARE(win.stored(table, n1, place.field), QStringLiteral("<no row>"));
        return;
    }
    QCOMPARE(win.stored(table, n1, place.field), kept ? typed : old);
    if (button == Nav::Post) {
        // The selection stays on the saved row.
        QCOMPARE(keyOfRow(grid, grid->cursor()->recNo()), n1);
        QCOMPARE(grid->currentIndex().row(), grid->cursor()->recNo());
    }
    if (button == Nav::Insert)
        QCOMPARE(grid->cursor()->state(), store::Cursor::State::Insert);
}

QTEST_MAIN(GridEditingTest)
#include "tst_gridediting.moc"
