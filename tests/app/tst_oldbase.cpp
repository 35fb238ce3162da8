// A program folder whose base/ was copied from an older installation:
// Paradox tables, the saved print font and the logo. The window shows what
// the tables held once they are converted, and a run without a window prints
// the recipients from the converted folder on the old format's page.

#include "tests/support/pdfread.h"
#include "tests/support/paradoxfixture.h"
#include "app/commandline.h"
#include "app/commandrun.h"
#include "app/ui/mainwindow.h"
#include "envelope/fontres.h"
#include "envelope/ui/printsettingstab.h"
#include "programcopy.h"
#include "store/ui/dbcontrols.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>

namespace {

QStringList gridColumn(store::ui::DbGrid *grid, const QString &title)
{
    const QAbstractItemModel *m = grid->model();
    int column = 0;
    while (column < m->columnCount() && m->headerData(column, Qt::Horizontal).toString() != title)
        ++column;
    QStringList texts;
    for (int row = 0; row < m->rowCount(); ++row)
        texts << m->index(row, column).data().toString();
    return texts;
}

QString lineText(const QWidget &w, const QString &name)
{
    return w.findChild<QLineEdit *>(name)->text();
}

// Width and height of the first page of a PDF in millimetres.
QSizeF pageSize(const QString &pdf)
{
    const QString info = pdfread::run("pdfinfo", {pdf});
    const QRegularExpressionMatch m = QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+) pts").match(info);
    return {m.captured(1).toDouble() * 25.4 / 72, m.captured(2).toDouble() * 25.4 / 72};
}

} // namespace

class OldBaseTest : public QObject {
    Q_OBJECT
private slots:
    void oldFolderIsShownAndPrinted();
};

void OldBaseTest::oldFolderIsShownAndPrinted()
{
    ProgramCopy copy;
    QDir base(copy.path("base"));
    for (const QString &name : base.entryList(QDir::Files))
        QVERIFY(base.remove(name));
    paradox::OldBase old;
    old.config.rows[0]["PrintLogo"] = true;
    old.writeInto(base.path());
    envelope::PrintFont font;
    font.family = QStringLiteral("DejaVu Serif");
    font.height = -19;
    font.bold = true;
    {
        QFile f(base.filePath("Font.res"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(envelope::encodeFontRes(font));
        QImage logo(60, 40, QImage::Format_RGB32);
        logo.fill(Qt::darkBlue);
        QVERIFY(logo.save(base.filePath("Logo.png")));
    }
    const QByteArray fontHash = fileHash(base.filePath("Font.res"));
    {
        app::TForm1 w(copy.path());
        w.FormCreate();
        const QStringList notices = w.startupNotices();
        QCOMPARE(notices.size(), 1);
        QVERIFY2(notices.first().contains(QStringLiteral("AdrList.DB (Paradox) — 4 записи")), qPrintable(notices.first()));

        auto *book = w.findChild<store::ui::DbGrid *>("DBGrid1");
        QCOMPARE(gridColumn(book, QStringLiteral("Кому")),
                 (QStringList{QStringLiteral("«Рога и копыта»"), QStringLiteral("Акулов Семён"),
                              QStringLiteral("Белкина Анна"), old.adrList.rows[2]["Komu"].toString()}));
        QCOMPARE(lineText(w, "DBEditOtKogo"), QStringLiteral("ООО «Ёлочка»"));
        QCOMPARE(lineText(w, "DBEditOtKuda"), QStringLiteral("г. Тула, ул. Ёлочная, д. 1"));
        QCOMPARE(w.findChild<QComboBox *>("DBLookupComboBox1")->currentText(), QStringLiteral("Ёмкий 240x120"));
        QVERIFY(!w.findChild<QLabel *>("ImageLogo")->pixmap().isNull());
        QVERIFY(w.findChild<envelope::PrintSettingsTab *>("TabSheetPrintSettings")->printFont() == font);

        auto *formats = w.findChild<store::ui::DbGrid *>("DBGrid3");
        formats->setCurrentIndex(formats->model()->index(
            gridColumn(formats, QStringLiteral("Название конверта")).indexOf(QStringLiteral("Ёмкий 240x120")), 0));
        for (const auto &[field, shown] : {std::pair{"W", "240"}, std::pair{"H", "120"}, std::pair{"LinesH", "5.5"},
                                           std::pair{"ZIPcodeL", "10.25"}})
            QCOMPARE(lineText(w, QStringLiteral("DBEdit") + field).replace(',', '.'), QString::fromLatin1(shown));

        auto *offsets = w.findChild<store::ui::DbGrid *>("DBGrid4");
        const int chosen = gridColumn(offsets, QStringLiteral("Название")).indexOf(QStringLiteral("Кэнон «Ёж»"));
        QVERIFY(chosen >= 0);
        QCOMPARE(offsets->model()->index(chosen, 1).data().toString().replace(',', '.'), QStringLiteral("-3.25"));
        QCOMPARE(offsets->model()->index(chosen, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(0x99, 0xB4, 0xD1));

        auto *filter = w.findChild<QComboBox *>("ComboBoxFilter");
        filter->showPopup();
        QStringList history;
        for (int i = 0; i < filter->count(); ++i)
            history << filter->itemText(i);
        filter->hidePopup();
        QCOMPARE(history, (QStringList{QStringLiteral("Москва"), QStringLiteral("Ёлк|«"), QStringLiteral("склад")}));
        w.close();
    }
    QCOMPARE(fileHash(base.filePath("Font.res")), fontHash);

    // The converted folder, without a window: nothing more to convert.
    const QString pdf = copy.path("old.pdf");
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const app::CommandLine line = app::parseCommandLine({"--pdf", pdf, "--scope", "all"});
    QCOMPARE(app::runCommandLine(line, copy.path(), outStream, errStream), app::ExitOk);
    // Only the check before the run speaks: recipients of the old book without
    // six-digit postal codes.
    for (const QString &said : err.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        QVERIFY2(said.startsWith(QStringLiteral("Предупреждение: ")), qPrintable(err));
    QCOMPARE(out.trimmed(), QStringLiteral("Сохранено конвертов: 4, файл «%1».").arg(pdf));
    const QStringList pages = pdfread::texts(pdf);
    QCOMPARE(pages.size(), 4);
    const QList<QStringList> recipients{
        {QStringLiteral("«Рога и копыта»"), QStringLiteral("г. Москва, ул. Ёлкина, 5"), QStringLiteral("101000")},
        {QStringLiteral("Акулов Семён"), QStringLiteral("г. Тверь"), QStringLiteral("170000")},
        {QStringLiteral("Белкина Анна")},
        {QStringLiteral("Ё") + QString(10, QChar(0x0436))}};
    for (int i = 0; i < 4; ++i)
        for (const QString &text : recipients[i] + QStringList{QStringLiteral("ООО «Ёлочка»"), QStringLiteral("ЗАКАЗНОЕ")})
            QVERIFY2(pages[i].contains(text), qPrintable(pages[i]));
    const QSizeF size = pageSize(pdf);
    QVERIFY2(qAbs(size.width() - 240) < 0.5 && qAbs(size.height() - 120) < 0.5,
             qPrintable(QStringLiteral("%1 x %2 mm").arg(size.width()).arg(size.height())));
    QVERIFY(pdfread::run("pdffonts", {pdf}).contains("DejaVuSerif-Bold"));
    QVERIFY(pdfread::run("pdfimages", {"-list", pdf}).count('\n') > 2);
}

QTEST_MAIN(OldBaseTest)
#include "tst_oldbase.moc"
