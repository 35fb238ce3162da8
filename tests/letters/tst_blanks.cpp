// The list of blank templates in a folder and the help text on making
// one's own blanks.

#include "letters/blanks.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Makes the entries: a name ending in "/" is a folder, "name -> target" a
// symbolic link, anything else an empty file.
void makeEntries(const QString &folder, const QStringList &entries)
{
    for (const QString &entry : entries) {
        if (entry.endsWith('/')) {
            QVERIFY(QDir(folder).mkdir(entry.chopped(1)));
        } else if (entry.contains(QStringLiteral(" -> "))) {
            const QStringList parts = entry.split(QStringLiteral(" -> "));
            QVERIFY(QFile::link(folder + '/' + parts[1], folder + '/' + parts[0]));
        } else {
            QFile file(folder + '/' + entry);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }
}

} // namespace

class TestBlanks : public QObject {
    Q_OBJECT
private slots:
    void listing_data();
    void listing();
    void hiddenAndReadOnlyFilesAreListed();
    void missingFolderGivesAnEmptyList();
    void helpText();
};

void TestBlanks::listing_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("folder named like a blank") << QStringList{"Опись.doc", "Анкета.rtf", "Архив.doc/"}
                                               << QStringList{"Анкета.rtf", "Опись.doc"};
    QTest::newRow("letter case of extensions")
        << QStringList{"Бланк.DOC", "письмо.Docx", "акт.RtF", "x.doc/", "y.DOCX/"}
        << QStringList{"акт.RtF", "Бланк.DOC", "письмо.Docx"};
    QTest::newRow("other files") << QStringList{"a.txt", "b.doc.bak", "c.odt", "doc", ".doc", "d.docm", "e.rtf"}
                                 << QStringList{".doc", "e.rtf"};
    // Russian collation, as the address book sorts: Cyrillic before Latin.
    QTest::newRow("sorted without regard to case")
        << QStringList{"в.doc", "Б.doc", "а.rtf", "Z.doc", "b.docx", "A.rtf", "Ё.doc", "е.doc", "ж.doc"}
        << QStringList{"а.rtf", "Б.doc", "в.doc", "е.doc", "Ё.doc", "ж.doc", "A.rtf", "b.docx", "Z.doc"};
    QTest::newRow("links") << QStringList{"real.txt", "link.doc -> real.txt", "dangling.doc -> gone.txt",
                                          "sub/", "tofolder.doc -> sub"}
                           << QStringList{"link.doc"};
    QTest::newRow("listed once each") << QStringList{"отчёт.docx", "отчёт.doc"}
                                      << QStringList{"отчёт.doc", "отчёт.docx"};
    QTest::newRow("empty folder") << QStringList{} << QStringList{};
}

void TestBlanks::listing()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    makeEntries(dir.path(), entries);
    QCOMPARE(letters::listBlanks(dir.path()), expected);
    QCOMPARE(letters::listBlanks(dir.path() + '/'), expected);
}

void TestBlanks::hiddenAndReadOnlyFilesAreListed()
{
    QTemporaryDir dir;
    makeEntries(dir.path(), {".скрытый.doc", "только чтение.rtf"});
    QFile::setPermissions(dir.filePath("только чтение.rtf"), QFileDevice::ReadOwner);
    QCOMPARE(letters::listBlanks(dir.path()), (QStringList{".скрытый.doc", "только чтение.rtf"}));
}

void TestBlanks::missingFolderGivesAnEmptyList()
{
    QTemporaryDir dir;
    QCOMPARE(letters::listBlanks(dir.filePath("нет такой")), QStringList{});
}

void TestBlanks::helpText()
{
    const QString text = letters::blankHelpText();
    QVERIFY(text.startsWith('\r'));
    QVERIFY(!text.endsWith('\r'));
    QVERIFY(!text.contains('\n'));
    const QStringList lines = text.split('\r');
    QCOMPARE(lines.size(), 13);
    QCOMPARE(lines[0], QString());
    QCOMPARE(lines[1], QStringLiteral("{FB}Вы можете создавать макеты своих собственных бланков в формате Word.{F0}"));
    QCOMPARE(lines[2], QString());
    QCOMPARE(lines[5], QStringLiteral("~Кому1~,~Куда1~,~От кого1~,~Откуда1~"));
    QVERIFY(lines[7].endsWith(QStringLiteral("- пример см.бланк \"Уведомление 4 шт сторона1.doc\".")));
    QVERIFY(lines[8].contains(QStringLiteral("пример см.бланк \"Опись.doc\". Индексы")));
    QCOMPARE(lines[10], QStringLiteral("~Резерв1_1~...~Резерв6_1~."));
    QCOMPARE(lines[11], QStringLiteral("Кроме того вы можете использовать следующие переменные:"));
    QVERIFY(lines[12].startsWith(QStringLiteral("~Дата~,~Время~ - текущие дата и время;")));
    QVERIFY(lines[12].endsWith(QStringLiteral("~Коп~ - копейки цифрами.")));
}

QTEST_GUILESS_MAIN(TestBlanks)
#include "tst_blanks.moc"
