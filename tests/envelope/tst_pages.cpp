// The three envelope pages with their bound controls, found by objectName,
// over tables in a temporary data folder. Each test also leaves a picture
// of its page in the build folder (envelope-pages/) for a look by eye.

#include "envelope/fontres.h"
#include "envelope/runsettings.h"
#include "envelope/ui/errorbox.h"
#include "envelope/ui/formatstab.h"
#include "envelope/ui/maintab.h"
#include "envelope/ui/printsettingstab.h"
#include "envelopefixture.h"
#include "report/reporterror.h"
#include "store/ui/dbcontrols.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

using namespace envelope;
using envelopetest::Base;

namespace {

void savePicture(QWidget &page, const QString &name)
{
    const QString dir = QStringLiteral(KUVERTIX_BUILD_DIR) + QStringLiteral("/envelope-pages");
    QDir().mkpath(dir);
    page.grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// Types any text, Cyrillic included, key by key.
void typeText(QWidget *widget, const QString &text)
{
    for (QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

template <typename T>
T *child(QWidget &page, const QString &name)
{
    T *w = page.findChild<T *>(name);
    if (!w)
        qWarning("no control %s", qPrintable(name));
    return w;
}

// Tables with the shipped DL and C5 formats, two offsets and a settings row
// in edit state, as at start-up.
struct Program : Base {
    Program()
    {
        envelopetest::Values c5 = envelopetest::dlFormat();
        c5[QStringLiteral("NameKonvert")] = QStringLiteral("C5 229x162");
        c5[QStringLiteral("W")] = 229.0;
        c5[QStringLiteral("H")] = 162.0;
        dl = insertFormat(envelopetest::dlFormat());
        insertFormat(c5);
        plain = insertOffset(QStringLiteral("Без смещения"), 0, 0);
        epson = insertOffset(QStringLiteral("Epson"), 1.5, -2);
        settings({{"N_Konvert", dl}, {"Printer", plain}, {"TypKonv", 2},
                  {"OtKogo", "ООО «Ромашка»"}, {"OtKuda", "г. Псков, ул. Мира, 1"},
                  {"OtIndex", "180000"}, {"Komu", "Петрову П. П."},
                  {"Kuda", "г. Тверь, ул. Садовая, 5"}, {"Index", "170000"},
                  {"KonvertComment", "ЗАКАЗНОЕ\r\n"}});
        QDir().mkpath(folder);
        // The envelope thumbnails of the program folder, when built.
        for (const QString &name : {QStringLiteral("Конверт мини1.bmp"), QStringLiteral("Конверт мини2.bmp")})
            QFile::copy(QStringLiteral(KUVERTIX_PROGRAM_DIR "/") + name, programFolder() + name);
    }
    int dl = 0, plain = 0, epson = 0;
};

} // namespace

class TestPages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void formatsTabEditsTheSelectedFormat();
    void formatsTabCopiesAndShowsTheScheme();
    void settingsTabQuickTexts();
    void settingsTabFont();
    void settingsTabOffsets();
    void settingsTabOneJobSwitch();
    void mainTabPreviewFollowsSwitches();
    void mainTabLogoChoice();
    void mainTabPrintFailureKeepsRunning();

private:
    QStringList m_errors;
};

void TestPages::initTestCase()
{
    const QString font = QStringLiteral(KUVERTIX_PROGRAM_DIR) + QStringLiteral("/Kuvertix ZIPcode.ttf");
    if (QFile::exists(font))
        QFontDatabase::addApplicationFont(font);
    ui::setErrorBoxHook([this](QWidget *, const QString &text) { m_errors << text; });
}

void TestPages::cleanup()
{
    m_errors.clear();
    ui::setOpenHook({});
}

void TestPages::formatsTabEditsTheSelectedFormat()
{
    Program program;
    FormatsTab tab(*program.tables, program.programFolder());
    tab.show();
    auto *grid = child<QTableView>(tab, "DBGrid3");
    QVERIFY(grid);
    QCOMPARE(grid->model()->columnCount(), 1);
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Название конверта"));
    QCOMPARE(grid->model()->rowCount(), 2);

    store::Cursor &formats = program.tables->Table4;
    formats.first();
    auto *name = child<QLineEdit>(tab, "DBEditNameKonvert");
    auto *komuL = child<QLineEdit>(tab, "DBEditKomuL");
    auto *linesH = child<QLineEdit>(tab, "DBEditLinesH");
    QVERIFY(name && komuL && linesH);
    for (const char *field : {"W", "H", "OtkogoL", "OtkogoW", "OtkogoT", "OtkogoH", "IndexH",
                              "ZIPcodeL", "ZIPcodeT", "LogoW", "KonvertCommentH"})
        QVERIFY2(child<QLineEdit>(tab, QStringLiteral("DBEdit") + field), field);
    QVERIFY(!tab.findChild<QLineEdit *>("DBEditZIPcodeW"));
    QCOMPARE(name->text(), formats.asString("NameKonvert"));
    QCOMPARE(komuL->text().toDouble(), 120.0);

    // Letters are refused as typed; a number goes into the format.
    komuL->setFocus();
    komuL->selectAll();
    QTest::keyClicks(komuL, "abc");
    QCOMPARE(komuL->text(), QStringLiteral("120"));
    komuL->selectAll();
    QTest::keyClicks(komuL, "x12.5q");
    QCOMPARE(komuL->text(), QStringLiteral("12.5"));
    QCOMPARE(formats.asFloat("KomuL"), 12.5);
    formats.post();

    formats.next();
    QCOMPARE(name->text(), QStringLiteral("DL 220x110"));
    QCOMPARE(komuL->text().toDouble(), 120.0);
    formats.first();
    QCOMPARE(komuL->text().toDouble(), 12.5);
    savePicture(tab, QStringLiteral("formats-tab"));
}

void TestPages::formatsTabCopiesAndShowsTheScheme()
{
    Program program;
    FormatsTab tab(*program.tables, program.programFolder());
    store::Cursor &formats = program.tables->Table4;
    formats.first();
    formats.next();
    const int n = formats.asInteger("N");
    child<QPushButton>(tab, "BitBtn5")->click();
    QCOMPARE(formats.recordCount(), 3);
    QCOMPARE(formats.asInteger("N"), n);
    auto *grid = child<QTableView>(tab, "DBGrid3");
    QStringList names;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        names << grid->model()->index(r, 0).data().toString();
    QCOMPARE(names, (QStringList{"C5 229x162", "DL 220x110", "DL 220x110 копия"}));
    QCOMPARE(grid->currentIndex().row(), 1);

    QStringList opened;
    ui::setOpenHook([&opened](const QString &path) { opened << path; });
    child<QPushButton>(tab, "BitBtn6")->click();
    QCOMPARE(opened, QStringList{program.programFolder() + QStringLiteral("Схема замеров.png")});
    QVERIFY(m_errors.isEmpty());
}

void TestPages::settingsTabQuickTexts()
{
    Program program;
    PrintSettingsTab tab(*program.tables, program.programFolder());
    store::Cursor &settings = program.tables->Table1;
    auto *memo = child<QPlainTextEdit>(tab, "KonvertCommentDBMemo");
    QVERIFY(memo);
    QCOMPARE(memo->toPlainText(), QStringLiteral("ЗАКАЗНОЕ\n"));

    child<QToolButton>(tab, "SpeedButton4")->click();
    QCOMPARE(settings.asString("KonvertComment"), QString());
    QVERIFY(memo->toPlainText().isEmpty());
    child<QToolButton>(tab, "SpeedButton5")->click();
    child<QToolButton>(tab, "SpeedButton8")->click();
    QCOMPARE(settings.asString("KonvertComment"),
             QStringLiteral("ЗАКАЗНОЕ\r\nС ОБЪЯВЛЕННОЙ ЦЕННОСТЬЮ\r\n"));
    // Typed but not yet stored text of the memo counts.
    memo->moveCursor(QTextCursor::End);
    typeText(memo, QStringLiteral("Лично"));
    child<QToolButton>(tab, "SpeedButton6")->click();
    child<QToolButton>(tab, "SpeedButton7")->click();
    QCOMPARE(settings.asString("KonvertComment"),
             QStringLiteral("ЗАКАЗНОЕ\r\nС ОБЪЯВЛЕННОЙ ЦЕННОСТЬЮ\r\nЛичноС ПРОСТЫМ УВЕДОМЛЕНИЕМ\r\n"
                            "С ЗАКАЗНЫМ УВЕДОМЛЕНИЕМ\r\n"));
    QCOMPARE(child<QToolButton>(tab, "SpeedButton7")->text(), QStringLiteral("Заказное уведомл."));

    settings.setValue("KonvertComment", QString(250, QLatin1Char('z')));
    child<QToolButton>(tab, "SpeedButton5")->click();
    QCOMPARE(settings.asString("KonvertComment"), QString(250, QLatin1Char('z')) + QStringLiteral("ЗАКАЗ"));
    QVERIFY(settings.isEditing());

    auto *zip = child<QCheckBox>(tab, "DBCheckBox2");
    zip->click();
    QVERIFY(settings.asBoolean("PrintZIPcode"));
    child<QCheckBox>(tab, "DBCheckBox4")->click();
    QVERIFY(settings.asBoolean("PrintKonvertComment"));
}

void TestPages::settingsTabFont()
{
    Program program;
    PrintSettingsTab tab(*program.tables, program.programFolder());
    QSignalSpy changed(&tab, &PrintSettingsTab::printFontChanged);
    auto *sample1 = child<QLabel>(tab, "PanelFont1");
    auto *sample2 = child<QLabel>(tab, "PanelFont2");
    QCOMPARE(sample1->text(), QStringLiteral("Пример установленного шрифта"));
    QCOMPARE(sample2->text(), QStringLiteral("Пример сохранённого шрифта"));

    // No saved file: the default font, Arial 15 px.
    tab.loadSavedFont();
    QCOMPARE(tab.printFont(), PrintFont());
    QCOMPARE(changed.count(), 1);

    QFont offered;
    tab.setFontChooser([&offered](const QFont &current) -> std::optional<QFont> {
        offered = current;
        return std::nullopt;
    });
    sample1->setFont(QFont(QStringLiteral("DejaVu Sans"), 30));
    child<QPushButton>(tab, "BitBtn7")->click();
    QCOMPARE(offered.pointSize(), 11);
    QCOMPARE(tab.printFont(), PrintFont());          // cancelled: unchanged
    QCOMPARE(sample1->font().pixelSize(), 15);       // but the sample is refreshed
    QCOMPARE(changed.count(), 1);

    tab.setFontChooser([](const QFont &) -> std::optional<QFont> {
        QFont f(QStringLiteral("Liberation Serif"));
        f.setPointSize(14);
        f.setItalic(true);
        return f;
    });
    child<QPushButton>(tab, "BitBtn7")->click();
    QCOMPARE(changed.count(), 2);
    QCOMPARE(tab.printFont().family, QStringLiteral("Liberation Serif"));
    QCOMPARE(tab.printFont().height, -19);
    QCOMPARE(tab.printFont().pointSize(), 14);
    QVERIFY(tab.printFont().italic);
    QCOMPARE(sample1->font().family(), QStringLiteral("Liberation Serif"));
    QCOMPARE(sample2->font().pixelSize(), 15);  // not saved yet

    child<QPushButton>(tab, "BitBtn8")->click();
    QVERIFY(m_errors.isEmpty());
    QCOMPARE(sample2->font().pixelSize(), 19);
    QCOMPARE(loadSavedFont(program.folder), tab.printFont());

    PrintSettingsTab next(*program.tables, program.programFolder());
    next.loadSavedFont();
    QCOMPARE(next.printFont(), tab.printFont());
    QCOMPARE(child<QLabel>(next, "PanelFont2")->font().family(), QStringLiteral("Liberation Serif"));

    // A font file that cannot be written: an error box, the program goes on.
    QFile::remove(program.folder + QStringLiteral("/Font.res"));
    QVERIFY(QDir(program.folder).mkdir(QStringLiteral("Font.res")));
    child<QPushButton>(tab, "BitBtn8")->click();
    QCOMPARE(m_errors.size(), 1);
    QVERIFY2(m_errors.first().contains(QStringLiteral("не удалось сохранить шрифт")), qPrintable(m_errors.first()));
}

void TestPages::settingsTabOffsets()
{
    Program program;
    PrintSettingsTab tab(*program.tables, program.programFolder());
    tab.show();
    auto *grid = child<QTableView>(tab, "DBGrid4");
    QCOMPARE(grid->model()->columnCount(), 3);
    QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("По гориз."));
    QCOMPARE(grid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("По верт."));
    // PrinterName_i order: "Epson" before "Без смещения"? The store decides;
    // find the rows by name.
    auto rowOf = [grid](const QString &name) {
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            if (grid->model()->index(r, 0).data().toString() == name)
                return r;
        return -1;
    };
    const int plainRow = rowOf(QStringLiteral("Без смещения"));
    const int epsonRow = rowOf(QStringLiteral("Epson"));
    QVERIFY(plainRow >= 0 && epsonRow >= 0);
    auto highlighted = [grid](int row) {
        return grid->model()->index(row, 0).data(Qt::BackgroundRole).isValid();
    };
    QVERIFY(highlighted(plainRow));
    QVERIFY(!highlighted(epsonRow));

    program.tables->Table5.moveTo(epsonRow);
    child<QPushButton>(tab, "BitBtn9")->click();
    QCOMPARE(program.tables->Table1.asInteger("Printer"), program.epson);
    QVERIFY(highlighted(epsonRow));
    QVERIFY(!highlighted(plainRow));
    program.tables->Table5.moveTo(plainRow);  // chosen and current rows differ
    QVERIFY(highlighted(epsonRow));
    savePicture(tab, QStringLiteral("print-settings-tab"));

    // With no offsets at all the choice stores 0 (printing then uses none).
    Base empty;
    empty.settings({{"Printer", 7}});
    PrintSettingsTab emptyTab(*empty.tables, empty.programFolder());
    child<QPushButton>(emptyTab, "BitBtn9")->click();
    QCOMPARE(empty.tables->Table1.asInteger("Printer"), 0);

    auto *navigator = child<store::ui::DbNavigator>(tab, "DBNavigator4");
    QCOMPARE(navigator->button(store::ui::DbNavigator::Insert)->toolTip(),
             QStringLiteral("Добавить новое смещение"));
}

void TestPages::settingsTabOneJobSwitch()
{
    Program program;
    const QString dataFolder = program.programFolder() + QStringLiteral("base");
    {
        PrintSettingsTab tab(*program.tables, program.programFolder());
        tab.show();
        auto *box = child<QCheckBox>(tab, "CheckBoxOneJob");
        QVERIFY(!tab.oneJobPerRun());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QVERIFY(tab.oneJobPerRun());
    }
    PrintSettingsTab next(*program.tables, program.programFolder());
    QVERIFY(next.oneJobPerRun());  // kept in base/Kuvertix.ini, not in the tables

    // A settings file that cannot be written: the switch stays as it was.
    QVERIFY(QFile::remove(envelope::runSettingsPath(dataFolder)));
    QVERIFY(QDir(dataFolder).mkdir(QStringLiteral("Kuvertix.ini")));
    PrintSettingsTab blocked(*program.tables, program.programFolder());
    blocked.show();
    auto *box = child<QCheckBox>(blocked, "CheckBoxOneJob");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    QVERIFY(!blocked.oneJobPerRun());
    QCOMPARE(m_errors.size(), 1);
    QVERIFY(m_errors[0].contains(QStringLiteral("Kuvertix.ini")));
}

void TestPages::mainTabPreviewFollowsSwitches()
{
    Program program;
    MainTab main(*program.tables, program.programFolder());
    PrintSettingsTab settings(*program.tables, program.programFolder());
    main.show();
    auto *zip = child<QLabel>(main, "LabelZIPcode");
    auto *comment = child<QLabel>(main, "DBText1");
    QVERIFY(zip && comment);
    // The current sender stands on the info colour, the recipient on white.
    auto ground = [&main](const char *name) {
        QWidget *edit = child<QLineEdit>(main, QString::fromLatin1(name));
        return edit->grab().toImage().pixelColor(edit->width() - 6, edit->height() / 2);
    };
    for (const char *sender : {"DBEditOtKogo", "DBEditOtKuda", "DBEditOtIndex"})
        QCOMPARE(ground(sender), QColor(255, 255, 225));
    QCOMPARE(ground("DBEditKuda"), QColor(Qt::white));
    QVERIFY(!zip->isVisible());
    QVERIFY(!comment->isVisible());
    child<QCheckBox>(settings, "DBCheckBox2")->click();
    QVERIFY(zip->isVisible());
    child<QCheckBox>(settings, "DBCheckBox4")->click();
    QVERIFY(comment->isVisible());
    QCOMPARE(comment->text(), QStringLiteral("ЗАКАЗНОЕ\r\n"));
    child<QToolButton>(settings, "SpeedButton8")->click();
    QVERIFY(comment->text().contains(QStringLiteral("ЦЕННОСТЬЮ")));
    child<QCheckBox>(settings, "DBCheckBox2")->click();
    QVERIFY(!zip->isVisible());

    auto *formats = child<QComboBox>(main, "DBLookupComboBox1");
    QCOMPARE(formats->count(), 2);
    QCOMPARE(formats->currentText(), QStringLiteral("DL 220x110"));
    QCOMPARE(formats->toolTip(), QStringLiteral("Формат конверта"));
    formats->setCurrentIndex(formats->findText(QStringLiteral("C5 229x162")));
    emit formats->activated(formats->currentIndex());
    QVERIFY(program.tables->Table1.asInteger("N_Konvert") != program.dl);

    QSignalSpy clicked(&main, &MainTab::envelopeTypeClicked);
    QTest::mouseClick(child<QLabel>(main, "Image1"), Qt::LeftButton);
    QTest::mouseClick(child<QLabel>(main, "ImageLogo"), Qt::LeftButton);
    QCOMPARE(clicked.count(), 2);

    // The envelope type: its thumbnail, and a missing thumbnail file keeps
    // the picture shown instead of stopping the program.
    auto *thumbnail = child<QLabel>(main, "Image1");
    if (QFile::exists(program.programFolder() + QStringLiteral("Конверт мини1.bmp"))) {
        QVERIFY(main.chooseEnvelopeType(1));
        QCOMPARE(program.tables->Table1.asInteger("TypKonv"), 1);
    }
    const QImage shown = thumbnail->pixmap().toImage();
    QFile::remove(program.programFolder() + QStringLiteral("Конверт мини2.bmp"));
    QVERIFY(!main.chooseEnvelopeType(2));
    QCOMPARE(program.tables->Table1.asInteger("TypKonv"), 2);
    QCOMPARE(thumbnail->pixmap().toImage(), shown);

    // Typing into the main tab's boxes is what "Печать" prints.
    auto *komu = child<QLineEdit>(main, "DBEditKomu");
    komu->selectAll();
    typeText(komu, QStringLiteral("Сидорову"));
    QCOMPARE(main.envelopePrinter().settingsRowTexts().komu, QStringLiteral("Сидорову"));
    child<QCheckBox>(settings, "DBCheckBox2")->click();
    child<QCheckBox>(main, "DBCheckBox1")->click();
    savePicture(main, QStringLiteral("main-tab"));
}

void TestPages::mainTabLogoChoice()
{
    Program program;
    QTemporaryDir pictures;
    QImage picture(60, 30, QImage::Format_RGB32);
    picture.fill(QColor(0, 120, 0));
    const QString sun = pictures.filePath(QStringLiteral("sun.JPEG"));
    QVERIFY(picture.save(sun, "JPEG"));
    const QString broken = pictures.filePath(QStringLiteral("broken.png"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\x89PNG\r\n\x1a\n garbage");
    file.close();

    MainTab main(*program.tables, program.programFolder());
    store::Cursor &settings = program.tables->Table1;
    auto *logoSwitch = child<QCheckBox>(main, "DBCheckBox1");
    auto *logo = child<QLabel>(main, "ImageLogo");
    QCOMPARE(logoSwitch->toolTip(), QStringLiteral("Печатать логотип(картинку) на конверте"));
    QVERIFY(!logoSwitch->isChecked());

    QVERIFY(!main.chooseLogoFile(broken));
    QCOMPARE(m_errors, QStringList{QStringLiteral("Файл повреждён или имеет неподдерживаемый формат")});
    QCOMPARE(settings.asString("Logo_ext"), QString());
    QVERIFY(!settings.asBoolean("PrintLogo"));

    QVERIFY(main.chooseLogoFile(sun));
    QCOMPARE(settings.asString("Logo_ext"), QStringLiteral(".JPEG"));
    QVERIFY(settings.asBoolean("PrintLogo"));
    QVERIFY(logoSwitch->isChecked());
    QVERIFY(QFile::exists(program.folder + QStringLiteral("/Logo.JPEG")));
    QCOMPARE(QImageReader(program.folder + QStringLiteral("/Logo.JPEG")).format(), QByteArray("jpeg"));
    QCOMPARE(main.logoPicture().size(), QSize(60, 30));
    QVERIFY(!logo->pixmap().isNull());
    QCOMPARE(main.envelopePrinter().previewLogo().size(), QSize(60, 30));

    logoSwitch->click();
    QVERIFY(logo->pixmap().isNull());
    QVERIFY(main.logoPicture().isNull());

    // Switched on again, or at the next start: the logo comes from base/.
    MainTab next(*program.tables, program.programFolder());
    QVERIFY(next.logoPicture().isNull());  // switched off above
    child<QCheckBox>(next, "DBCheckBox1")->click();
    QCOMPARE(next.logoPicture().size(), QSize(60, 30));
    MainTab atStart(*program.tables, program.programFolder());
    QCOMPARE(atStart.logoPicture().size(), QSize(60, 30));

    // The file gone later: the picture shown stays.
    QFile::remove(program.folder + QStringLiteral("/Logo.JPEG"));
    atStart.DBCheckBox1Click(true);
    QCOMPARE(atStart.logoPicture().size(), QSize(60, 30));
}

void TestPages::mainTabPrintFailureKeepsRunning()
{
    Program program;
    MainTab main(*program.tables, program.programFolder());
    main.envelopePrinter().setOutput([](const report::ReportPage &) -> int {
        throw report::ReportError(report::ReportError::Kind::JobRefused,
                          QStringLiteral("Принтер «Epson» не принял задание печати."),
                          QStringLiteral("Epson"));
    });
    child<QPushButton>(main, "BitBtnPrint")->click();
    QCOMPARE(m_errors, QStringList{QStringLiteral("Принтер «Epson» не принял задание печати.")});
    QVERIFY(program.tables->Table1.isEditing());  // no edit was dropped

    int printed = 0;
    main.envelopePrinter().setOutput([&printed](const report::ReportPage &page) {
        return page.text(QStringLiteral("Komu")).text() == QStringLiteral("Петрову П. П.") ? ++printed : 0;
    });
    QVERIFY(main.BitBtnPrintClick());
    QCOMPARE(printed, 1);

    // A format of zero size says so instead of printing.
    program.tables->Table4.setIndexName(QStringLiteral("N_i"));
    program.tables->Table4.findKey(program.dl);
    program.tables->Table4.setValue("W", 0.0);
    program.tables->Table4.post();
    program.tables->Table4.setIndexName(QStringLiteral("NameKonvert_i"));
    QVERIFY(!main.BitBtnPrintClick());
    QCOMPARE(m_errors.size(), 2);
    QVERIFY(m_errors.last().contains(QStringLiteral("Неверный размер конверта")));
    QCOMPARE(printed, 1);
}

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
