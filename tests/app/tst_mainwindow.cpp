// The main window offscreen, over a copy of the built program folder.

#include "addressbook/ui/addressbooktab.h"
#include "app/ui/application.h"
#include "app/ui/mainwindow.h"
#include "messages/ui/popupmessage.h"
#include "store/database.h"
#include "store/errors.h"

#include "tests/support/modal.h"
#include "tests/support/smalldisk.h"
#include "programcopy.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFontDialog>
#include <QListView>
#include <QDesktopServices>
#include <QTextEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Runs a piece of work inside an event, as a click would.
class ActingObject : public QObject {
public:
    std::function<void()> action;
    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        action();
        return true;
    }
    void act()
    {
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(this, &event);
    }
};

// Records what the window asks the desktop to open.
class DesktopRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

class ThrowingObject : public QObject {
public:
    QString message;
    bool conversion = false;  // a typed value that does not convert
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User && conversion)
            throw store::ConversionError(message, "floating point");
        if (e->type() == QEvent::User)
            throw std::runtime_error(message.toStdString());
        return QObject::event(e);
    }
};

// The main tab's own controls: the address book has fields of the same names.
QWidget *mainTabOf(app::TForm1 &w)
{
    return w.findChild<QWidget *>("TabSheetMain");
}

QImage thumbnailOf(app::TForm1 &w)
{
    return w.findChild<QLabel *>("Image1")->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
}

bool samePicture(const QImage &shown, const QString &file)
{
    return shown == QImage(file).convertToFormat(QImage::Format_RGB32);
}

QString storedSetting(const ProgramCopy &copy, const QString &field)
{
    store::Tables t;
    t.openAllIn(copy.path("base"));
    return t.Table1.asString(field);
}

store::Cursor *cursorNamed(store::Tables &tables, const QString &name)
{
    for (store::Cursor *c : tables.all())
        if (c->name() == name)
            return c;
    return nullptr;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void startLeavesSettingsRowEditedOnMainTab();
    void startPositionIsForTallestTab_data();
    void startPositionIsForTallestTab();
    void tabsSetWindowHeight_data();
    void tabsSetWindowHeight();
    void aboutTabOpensHelpAndStaysPut();
    void aboutTabWithoutAnyHandlerSaysSo();
    void enterMovesFocusAndAddsNoLine();
    void chooserSetsEnvelopeType();
    void startWithTypeOneShowsPreprintedThumbnail();
    void missingThumbnailRaises();
    void closeStoresSettingsRow();
    void emptySettingsTableGetsRowOnClose();
    void unexpectedErrorDropsSettingsChanges();
    void conversionErrorIsPassedOver();
    void failedPostKeepsProgramAndEdit();
    void fullDiskAtCloseOffersRetry_data();
    void fullDiskAtCloseOffersRetry();
    void closeStoresAnOpenEdit_data();
    void closeStoresAnOpenEdit();
    void otherCopysWritesShowWithoutMovingTheUser();
    void readOnlyDataFolderIsSaidOnce();
    void interruptedImportIsSaidOnceAtStart();
    void missingTableNamesFileAtStart();
    void damagedTableNamesFileAtStart();
    void questionPanelMailsWithWindowTitle();
    void printRunShowsSummaryOfTheWindowAndStoresHistory();
    void fontDialogIsWholeAndRussian();
    void closeWhileNoteIsUpEndsTheProgram();

private:
    DesktopRecorder m_desktop;
};

void MainWindowTest::initTestCase()
{
    QDesktopServices::setUrlHandler("file", &m_desktop, "open");
    QDesktopServices::setUrlHandler("mailto", &m_desktop, "open");
    QDesktopServices::setUrlHandler("http", &m_desktop, "open");
}

void MainWindowTest::cleanupTestCase()
{
    for (const char *scheme : {"file", "mailto", "http"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

void MainWindowTest::startLeavesSettingsRowEditedOnMainTab()
{
    ProgramCopy copy;
    app::TForm1 w(copy.path());
    w.FormCreate();
    QCOMPARE(w.size(), QSize(968, 370));
    QCOMPARE(w.findChild<QTabWidget *>("TabbedNotebook1")->currentIndex(), 0);
    QCOMPARE(w.findChild<QTabWidget *>("TabbedNotebook2")->currentIndex(), 0);
    QCOMPARE(w.findChild<QStackedWidget *>("Notebook1")->currentIndex(), 0);
    QVERIFY(w.tables().Table1.isEditing());
    QVERIFY(w.zipFontRegistered() == QFile::exists(copy.path("Kuvertix ZIPcode.ttf")));
    for (store::Cursor *c : w.tables().all())
        QVERIFY2(c->isOpen() && c->databaseLocation() == copy.path("base"), qPrintable(c->name()));
}

void MainWindowTest::startPositionIsForTallestTab_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("1024x768") << QSize(1024, 768) << QPoint(28, 76);
    QTest::newRow("1920x1080") << QSize(1920, 1080) << QPoint(476, 232);
    QTest::newRow("smaller than the window") << QSize(800, 600) << QPoint(-84, -7);
}

void MainWindowTest::startPositionIsForTallestTab()
{
    QFETCH(QSize, screen);
    QFETCH(QPoint, position);
    QCOMPARE(app::TForm1::startPosition(screen, 968), position);
}

void MainWindowTest::tabsSetWindowHeight_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("height");
    QTest::newRow("Главная") << 0 << 370;
    QTest::newRow("Список адресатов") << 1 << 556;
    QTest::newRow("Настройки") << 2 << 615;
}

void MainWindowTest::tabsSetWindowHeight()
{
    QFETCH(int, tab);
    QFETCH(int, height);
    ProgramCopy copy;
    app::TForm1 w(copy.path());
    w.FormCreate();
    auto *tabs = w.findChild<QTabWidget *>("TabbedNotebook1");
    tabs->setCurrentIndex(tab == 0 ? 2 : 0);
    tabs->setCurrentIndex(tab);
    QCOMPARE(w.height(), height);
    QCOMPARE(w.width(), 968);
    // The question and advertising panels stand right of the tabs on every tab.
    w.show();
    const int tabsRight = tabs->geometry().right();
    for (const char *name : {"Panel4", "PanelRekl"}) {
        auto *panel = w.findChild<QWidget *>(name);
        QVERIFY2(panel->isVisible() && panel->x() > tabsRight && panel->geometry().right() < w.width(), name);
    }
    QWidget *page = tabs->currentWidget();
    for (QWidget *control : page->findChildren<QWidget *>())
        if (control->isVisible() && control->window() == &w)
            QVERIFY2(control->mapTo(page, QPoint(control->width(), 0)).x() <= page->width(),
                     qPrintable(control->objectName()));
}

void MainWindowTest::aboutTabOpensHelpAndStaysPut()
{
    ProgramCopy copy;
    app::TForm1 w(copy.path());
    w.FormCreate();
    auto *tabs = w.findChild<QTabWidget *>("TabbedNotebook1");
    tabs->setCurrentIndex(1);
    m_desktop.opened.clear();
    tabs->setCurrentIndex(3);
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(w.height(), 556);
    QCOMPARE(m_desktop.opened, QList<QUrl>{QUrl::fromLocalFile(copy.path("Kuvertix.htm"))});
    QVERIFY(QFile::exists(copy.path("Kuvertix.htm")));
}

void MainWindowTest::aboutTabWithoutAnyHandlerSaysSo()
{
    ProgramCopy copy;
    app::TForm1 w(copy.path());
    w.FormCreate();
    auto *tabs = w.findChild<QTabWidget *>("TabbedNotebook1");
    QDesktopServices::unsetUrlHandler("file");
    QString text;
    modal::answerNotice(&text);
    tabs->setCurrentIndex(3);
    QDesktopServices::setUrlHandler("file", &m_desktop, "open");
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY2(text.startsWith(QStringLiteral("Не удалось открыть справку")) && text.contains(copy.path("Kuvertix.htm")),
             qPrintable(text));
}

void MainWindowTest::enterMovesFocusAndAddsNoLine()
{
    ProgramCopy copy;
    app::TForm1 w(copy.path());
    w.FormCreate();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto *memo = w.findChild<QPlainTextEdit *>("DBMemoComment");
    memo->setFocus();
    QTest::keyClicks(memo, "Marka vpered");
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::ShiftModifier);
    QCOMPARE(memo->toPlainText(), QStringLiteral("Marka vpered"));
    QVERIFY(QApplication::focusWidget() != memo);
    QCOMPARE(w.tables().Table1.asString("Comment"), QStringLiteral("Marka vpered"));

    auto *komu = mainTabOf(w)->findChild<QLineEdit *>("DBEditKomu");
    komu->setFocus();
    QTest::keyClick(komu, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), mainTabOf(w)->findChild<QLineEdit *>("DBEditKuda"));
}

void MainWindowTest::chooserSetsEnvelopeType()
{
    ProgramCopy copy;
    app::TForm1 w(copy.path());
    w.FormCreate();
    w.show();
    auto *notebook = w.findChild<QStackedWidget *>("Notebook1");
    auto *image1 = w.findChild<QWidget *>("Image1");
    QTest::mouseClick(image1, Qt::LeftButton);
    QCOMPARE(notebook->currentIndex(), 1);
    QTest::mouseClick(w.findChild<QWidget *>("Image2"), Qt::LeftButton);
    QCOMPARE(notebook->currentIndex(), 0);
    QCOMPARE(w.tables().Table1.asInteger("TypKonv"), 1);
    QVERIFY(samePicture(thumbnailOf(w), copy.path("Конверт мини1.bmp")));
    QVERIFY(!samePicture(thumbnailOf(w), copy.path("Конверт мини2.bmp")));
    w.Image1Click();
    QTest::mouseClick(w.findChild<QWidget *>("Image3"), Qt::LeftButton);
    QCOMPARE(w.tables().Table1.asInteger("TypKonv"), 2);
    QCOMPARE(notebook->currentIndex(), 0);
}

void MainWindowTest::startWithTypeOneShowsPreprintedThumbnail()
{
    ProgramCopy copy;
    {
        store::Tables t;
        t.openAllIn(copy.path("base"));
        t.Table1.setValue("TypKonv", 1);
        t.Table1.post();
    }
    app::TForm1 w(copy.path());
    w.FormCreate();
    QVERIFY(samePicture(thumbnailOf(w), copy.path("Конверт мини1.bmp")));
}

void MainWindowTest::missingThumbnailRaises()
{
    ProgramCopy copy;
    app::TForm1 w(copy.path());
    w.FormCreate();
    QFile::remove(copy.path("Конверт мини1.bmp"));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, w.Image2Click());
}

void MainWindowTest::closeStoresSettingsRow()
{
    ProgramCopy copy;
    {
        app::TForm1 w(copy.path());
        w.FormCreate();
        w.show();
        auto *komu = mainTabOf(w)->findChild<QLineEdit *>("DBEditKomu");
        komu->setFocus();
        QTest::keyClicks(komu, "OOO Vector");
        QCOMPARE(storedSetting(copy, "Komu"), QString());
        w.close();
    }
    QCOMPARE(storedSetting(copy, "Komu"), QStringLiteral("OOO Vector"));
}

void MainWindowTest::emptySettingsTableGetsRowOnClose()
{
    ProgramCopy copy;
    QFile::remove(copy.path("base/config.DB"));
    store::TableFile::create(copy.path("base/config.DB"), store::configSchema());
    {
        app::TForm1 w(copy.path());
        w.FormCreate();
        QCOMPARE(w.tables().Table1.state(), store::Cursor::State::Insert);
        w.tables().Table1.setValue("OtKogo", QStringLiteral("Новый отправитель"));
        w.close();
    }
    QCOMPARE(storedSetting(copy, "OtKogo"), QStringLiteral("Новый отправитель"));
}

void MainWindowTest::unexpectedErrorDropsSettingsChanges()
{
    ProgramCopy copy;
    auto *application = qobject_cast<app::Application *>(qApp);
    QStringList reported;
    {
        app::TForm1 w(copy.path());
        w.FormCreate();
        application->setUnexpectedErrorHandler([&](const QString &message) {
            reported << message;
            w.abandonEdits();
        });
        w.tables().Table1.setValue("Kuda", QStringLiteral("г. Тверь"));
        w.tables().Table2.insert();
        w.tables().Table2.setValue("Komu", QStringLiteral("Несохранённый"));
        ThrowingObject thrower;
        thrower.message = QStringLiteral("disk I/O error");
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&thrower, &event);
        w.close();
    }
    application->setUnexpectedErrorHandler({});
    QCOMPARE(reported, QStringList{"disk I/O error"});
    QCOMPARE(storedSetting(copy, "Kuda"), QString());
    store::Tables t;
    t.openAllIn(copy.path("base"));
    QCOMPARE(t.Table2.recordCount(), 0);
}

void MainWindowTest::conversionErrorIsPassedOver()
{
    auto *application = qobject_cast<app::Application *>(qApp);
    int calls = 0;
    application->setUnexpectedErrorHandler([&](const QString &) { ++calls; });
    ThrowingObject thrower;
    thrower.message = QStringLiteral("'12,5,1' is not a valid floating point value");
    thrower.conversion = true;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&thrower, &event);
    application->setUnexpectedErrorHandler({});
    QCOMPARE(calls, 0);
}

// What the error policy did while a test ran.
struct PolicyRecorder {
    app::Application *application = qobject_cast<app::Application *>(qApp);
    QStringList reported, unexpected;
    PolicyRecorder()
    {
        application->setReportedErrorHandler([this](const QString &text) { reported << text; });
        application->setUnexpectedErrorHandler([this](const QString &text) { unexpected << text; });
    }
    ~PolicyRecorder()
    {
        application->setReportedErrorHandler({});
        application->setUnexpectedErrorHandler({});
    }
};

void MainWindowTest::failedPostKeepsProgramAndEdit()
{
    SmallDisk disk(40 * 1024);
    if (!disk.ok())
        QSKIP(qPrintable(disk.reason()));
    ProgramCopy copy(disk.path());
    PolicyRecorder policy;
    app::TForm1 w(copy.path());
    w.FormCreate();
    store::Cursor &book = w.tables().Table2;
    const int rows = book.recordCount();
    const QStringList before = copy.baseHashes();
    disk.fill();
    ActingObject save;
    save.action = [&] {
        book.insert();
        book.setValue("Komu", QStringLiteral("Новый адресат"));
        book.post();
    };
    save.act();
    QCOMPARE(policy.unexpected, QStringList());
    QCOMPARE(policy.reported.size(), 1);
    QVERIFY2(policy.reported.first().startsWith(QStringLiteral("Нет места на диске")), qPrintable(policy.reported.first()));
    QCOMPARE(book.state(), store::Cursor::State::Insert);
    QCOMPARE(book.asString("Komu"), QStringLiteral("Новый адресат"));
    QCOMPARE(copy.baseHashes(), before);
    // Room again: the same edit is stored.
    QVERIFY(QFile::remove(disk.filePath(".filler")));
    book.post();
    QCOMPARE(book.recordCount(), rows + 1);
}

void MainWindowTest::closeStoresAnOpenEdit_data()
{
    QTest::addColumn<QString>("cursor");
    QTest::addColumn<QString>("field");
    QTest::newRow("recipient") << "Table2" << "Kuda";
    QTest::newRow("sender") << "Table3" << "OtKuda";
    QTest::newRow("format") << "Table4" << "NameKonvert";
    QTest::newRow("offset") << "Table5" << "PrinterName";
}

void MainWindowTest::closeStoresAnOpenEdit()
{
    QFETCH(QString, cursor);
    QFETCH(QString, field);
    ProgramCopy copy;
    const QString typed = QStringLiteral("Изменено перед закрытием");
    {
        app::TForm1 w(copy.path());
        w.FormCreate();
        store::Cursor *c = cursorNamed(w.tables(), cursor);
        if (c->recordCount() == 0)
            c->insert();
        c->setValue(field, typed);
        w.close();
    }
    store::Tables t;
    t.openAllIn(copy.path("base"));
    store::Cursor *c = cursorNamed(t, cursor);
    QStringList stored;
    for (c->first(); !c->eof(); c->next())
        stored << c->asString(field);
    QVERIFY2(stored.contains(typed), qPrintable(stored.join(" | ")));
}

// The settings row and an open edit meet a full disk at close: the user
// hears why and tries again until there is room.
void MainWindowTest::fullDiskAtCloseOffersRetry_data()
{
    QTest::addColumn<QString>("cursor");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("asks");
    QTest::newRow("settings row") << "Table1" << "Kuda" << "настройки";
    QTest::newRow("new recipient") << "Table2" << "Komu" << "адресата";
}

void MainWindowTest::fullDiskAtCloseOffersRetry()
{
    QFETCH(QString, cursor);
    QFETCH(QString, field);
    QFETCH(QString, asks);
    SmallDisk disk(40 * 1024);
    if (!disk.ok())
        QSKIP(qPrintable(disk.reason()));
    ProgramCopy copy(disk.path());
    const QString typed = QStringLiteral("Сохранено при закрытии");
    {
        app::TForm1 w(copy.path());
        w.FormCreate();
        store::Cursor *c = cursorNamed(w.tables(), cursor);
        if (c != &w.tables().Table1)
            c->insert();
        c->setValue(field, typed);
        disk.fill();
        QStringList asked;
        auto retry = [&](bool roomAgain) {
            return [&, roomAgain](QWidget *box) {
                asked << box->findChild<QLabel *>("qt_msgbox_label")->text();
                if (roomAgain)
                    QVERIFY(QFile::remove(disk.filePath(".filler")));
                for (auto *b : box->findChildren<QAbstractButton *>())
                    if (b->text() == QStringLiteral("Повторить"))
                        QTest::mouseClick(b, Qt::LeftButton);
            };
        };
        // The first time the disk stays full; then there is room again.
        modal::Script script;
        script.then("NoticeBox", retry(false)).then("NoticeBox", retry(true));
        w.close();
        QVERIFY(script.done());
        QCOMPARE(asked.size(), 2);
        QVERIFY2(asked.first().contains(asks) && asked.first().contains(QStringLiteral("Нет места на диске")),
                 qPrintable(asked.first()));
    }
    store::Tables t;
    t.openAllIn(copy.path("base"));
    store::Cursor *c = cursorNamed(t, cursor);
    QVERIFY(c == &t.Table1 ? c->asString(field) == typed : c->findKey(typed));
}

void MainWindowTest::otherCopysWritesShowWithoutMovingTheUser()
{
    ProgramCopy copy;
    app::TForm1 w(copy.path());
    w.FormCreate();
    store::Cursor &book = w.tables().Table2;
    book.removeVisible();
    for (const char *name : {"Анна", "Вера", "Галина"}) {
        book.insert();
        book.setValue("Komu", QString::fromUtf8(name));
        book.post();
    }
    QVERIFY(book.findKey(QStringLiteral("Вера")));
    auto *marked = w.findChild<QRadioButton *>("RadioButton2");
    QCOMPARE(marked->text(), QStringLiteral("выделенных(0)"));

    // The other copy: a connection of its own to the same file.
    const store::TableSchema &schema = store::adrListSchema();
    const auto otherCopyStores = [&](const QString &komu, const char *field, const QVariant &value) {
        store::TableFile other(copy.path("base/AdrList.DB"), schema);
        for (store::StoredRow row : other.readAll())
            if (row.values[schema.fieldIndex("Komu")].toString() == komu) {
                row.values[schema.fieldIndex(field)] = value;
                other.update(row, {schema.fieldIndex(field)});
            }
    };
    otherCopyStores(QStringLiteral("Анна"), "Komu", QStringLiteral("Алла"));
    otherCopyStores(QStringLiteral("Галина"), "Check", -1);
    QTRY_COMPARE_WITH_TIMEOUT(marked->text(), QStringLiteral("выделенных(1)"), 3 * app::TForm1::kFollowPeriodMs);
    QCOMPARE(book.valueAt(0, book.fieldIndex("Komu")).toString(), QStringLiteral("Алла"));
    // A run asked for before the timer comes round again serves the rows as
    // the other copy left them.
    otherCopyStores(QStringLiteral("Вера"), "Check", -1);
    auto *page = w.findChild<addressbook::AddressBookTab *>();
    QVERIFY(page);
    QCOMPARE(page->runRequest(runs::RunKind::Envelope).selectedCount, 2);
    QCOMPARE(marked->text(), QStringLiteral("выделенных(2)"));
    QCOMPARE(book.asString("Komu"), QStringLiteral("Вера"));  // the user stays where they were
}

void MainWindowTest::readOnlyDataFolderIsSaidOnce()
{
    SmallDisk disk(40 * 1024);
    if (!disk.ok())
        QSKIP(qPrintable(disk.reason()));
    ProgramCopy copy(disk.path());
    const QStringList before = copy.baseHashes();
    QVERIFY2(disk.makeReadOnly(), qPrintable(disk.reason()));
    PolicyRecorder policy;
    {
        app::TForm1 w(copy.path());
        w.FormCreate();
        const QStringList notices = w.startupNotices();
        QCOMPARE(notices.size(), 1);
        QVERIFY2(notices.first().contains(QStringLiteral("только для чтения")), qPrintable(notices.first()));
        QVERIFY(!w.tables().Table1.isEditing());
        ActingObject edit;
        edit.action = [&] { w.tables().Table2.insert(); };
        edit.act();
        QCOMPARE(policy.reported.size(), 1);
        QVERIFY2(policy.reported.first().contains(QStringLiteral("доступна только для чтения")),
                 qPrintable(policy.reported.first()));
        QVERIFY(!w.tables().Table2.isEditing());
        w.close();
    }
    QCOMPARE(policy.unexpected, QStringList());
    QCOMPARE(copy.baseHashes(), before);
}

// The mark a killed import leaves (tst_sheetexchange kills one for real).
void MainWindowTest::interruptedImportIsSaidOnceAtStart()
{
    ProgramCopy copy;
    QFile mark(copy.path("base/import.running"));
    QVERIFY(mark.open(QIODevice::WriteOnly));
    mark.write("file=/home/user/book.xlsx\nrows=100000\nafter=0\n");
    mark.close();
    for (const bool first : {true, false}) {
        app::TForm1 w(copy.path());
        w.FormCreate();
        const QStringList notices = w.startupNotices();
        QCOMPARE(notices.size(), first ? 1 : 0);
        if (first)
            QVERIFY2(notices.first().contains(QStringLiteral("«/home/user/book.xlsx» был прерван")), qPrintable(notices.first()));
        w.close();
    }
}

void MainWindowTest::missingTableNamesFileAtStart()
{
    ProgramCopy copy;
    QFile::remove(copy.path("base/Filter.db"));
    try {
        app::TForm1 w(copy.path());
        QFAIL("the window opened without its table");
    } catch (const store::StoreError &e) {
        QCOMPARE(e.kind(), store::StoreError::Kind::MissingFile);
        QVERIFY(e.message().contains(copy.path("base/Filter.db")));
    }
    QVERIFY(!QFile::exists(copy.path("base/Filter.db")));
}

void MainWindowTest::damagedTableNamesFileAtStart()
{
    ProgramCopy copy;
    {
        QFile f(copy.path("base/konverts.DB"));
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(100);
        f.write(QByteArray(3000, '\xff'));
    }
    try {
        app::TForm1 w(copy.path());
        QFAIL("the window opened a damaged table");
    } catch (const store::StoreError &e) {
        QVERIFY2(e.message().contains("konverts.DB"), qPrintable(e.message()));
    }
}

void MainWindowTest::questionPanelMailsWithWindowTitle()
{
    ProgramCopy copy;
    app::TForm1 w(copy.path());
    w.FormCreate();
    m_desktop.opened.clear();
    w.Panel4Click();
    QCOMPARE(m_desktop.opened.size(), 1);
    const QUrl url = m_desktop.opened.first();
    QCOMPARE(url.scheme(), QStringLiteral("mailto"));
    QCOMPARE(QUrlQuery(url).queryItemValue("subject", QUrl::FullyDecoded), w.windowTitle());
}

void MainWindowTest::printRunShowsSummaryOfTheWindowAndStoresHistory()
{
    // "Печать конвертов" on the address book goes through the window's own
    // summary: the filter typed there and the chosen format are in it, and
    // the filter is in the history even when the user answers "Нет".
    ProgramCopy copy;
    app::TForm1 w(copy.path());
    w.FormCreate();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.findChild<QTabWidget *>("TabbedNotebook1")->setCurrentIndex(1);
    auto *filter = w.findChild<QComboBox *>("ComboBoxFilter");
    filter->setEditText(QStringLiteral("Тверь"));
    w.findChild<QAbstractButton *>("RadioButton3")->click();  // all recipients through the filter
    QString summary;
    modal::whenShown("TForm1001", [&](QWidget *window) {
        summary = window->findChild<QTextEdit *>("RichEdit1")->toPlainText();
        modal::pressMessageButton(window, 2);
    });
    w.findChild<QAbstractButton *>("BitBtnPrintCheck")->click();
    modal::stopPolls();
    QVERIFY2(summary.contains(QStringLiteral("Тверь")), qPrintable(summary));
    QVERIFY2(summary.contains(QStringLiteral("DL 220x110")), qPrintable(summary));
    store::Tables t;
    t.openAllIn(copy.path("base"));
    QCOMPARE(t.Table6.asString("Filter"), QStringLiteral("Тверь"));
}

// The font dialog opens on the print font, is not shaped like the panels of
// the window, speaks Russian, and keeps the style when another family is
// chosen with the mouse.
void MainWindowTest::fontDialogIsWholeAndRussian()
{
    ProgramCopy copy;
    app::TForm1 w(copy.path());
    w.FormCreate();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.findChild<QTabWidget *>("TabbedNotebook1")->setCurrentIndex(2);
    QFont opened, chosen;
    QString title;
    bool regularKept = false;
    bool shaped = false;
    int listHeight = 0;
    modal::whenShown("FontDialog1", [&](QWidget *window) {
        auto *dialog = static_cast<QFontDialog *>(window);
        opened = dialog->currentFont();
        title = dialog->windowTitle();
        QListView *families = nullptr, *styles = nullptr;
        for (QListView *list : dialog->findChildren<QListView *>()) {
            shaped = shaped || !list->mask().isEmpty();
            listHeight = list->height();
            for (int r = 0; r < list->model()->rowCount(); ++r) {
                const QString item = list->model()->index(r, 0).data().toString();
                if (item == QLatin1String("DejaVu Serif"))
                    families = list;
                if (item == QLatin1String("Bold"))
                    styles = list;
            }
        }
        auto clickItem = [](QListView *list, const QString &text) {
            const QModelIndexList found =
                list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly);
            if (found.isEmpty())
                return;
            list->scrollTo(found.first());
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(found.first()).center());
        };
        if (styles && families) {
            clickItem(families, "DejaVu Sans");  // its regular style is called "Book"
            QCoreApplication::processEvents();
            regularKept = !dialog->currentFont().bold() && !dialog->currentFont().italic();
            clickItem(styles, "Bold");
            clickItem(families, "DejaVu Serif");
            QCoreApplication::processEvents();
        }
        chosen = dialog->currentFont();
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
    QTest::mouseClick(w.findChild<QAbstractButton *>("BitBtn7"), Qt::LeftButton);
    modal::stopPolls();
    QCOMPARE(opened.family(), QFontInfo(QFont("Arial")).family());
    QCOMPARE(opened.pointSize(), 11);
    QVERIFY(!opened.bold() && !opened.italic());
    QVERIFY(regularKept);
    QVERIFY(!shaped);
    QVERIFY2(listHeight > 5 * QFontMetrics(w.font()).height(), qPrintable(QString::number(listHeight)));
    QCOMPARE(title, QStringLiteral("Выбор шрифта"));
    QCOMPARE(chosen.family(), QStringLiteral("DejaVu Serif"));
    QVERIFY(chosen.bold());
    QCOMPARE(chosen.pointSize(), 11);
}

// The note "Печать завершена." is up for two seconds after a blank run;
// closing the window then must end the program, not leave it windowless.
void MainWindowTest::closeWhileNoteIsUpEndsTheProgram()
{
    ProgramCopy copy;
    app::TForm1 w(copy.path());
    w.FormCreate();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    messages::ShowPopUpMsg(QStringLiteral("  Печать завершена.   "), 2, true, -1, -1,
                           messages::SystemColor::InfoBackground);
    QTimer::singleShot(300, &w, [&w] { w.close(); });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(3); });
    guard.start(6000);
    QElapsedTimer clock;
    clock.start();
    const int status = QCoreApplication::exec();
    QCOMPARE(status, 0);
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
}

int main(int argc, char **argv)
{
    app::Application application(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
