// Print settings without windows: the comment's quick texts, the copy of a
// format, and the logo file rules (extension, path, safe reading).

#include "envelope/commenttexts.h"
#include "envelope/envelopeformat.h"
#include "envelope/logo.h"
#include "envelopefixture.h"

#include "tests/support/smalldisk.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QImageWriter>
#include <QtTest>

using namespace envelope;
using envelopetest::Base;

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void quickTexts_data();
    void quickTexts();
    void copyOfAFormat();
    void copyNameIsCutToCapacity_data();
    void copyNameIsCutToCapacity();
    void copyOfNothingAddsNothing();
    void logoExtension_data();
    void logoExtension();
    void readPictureFormats_data();
    void readPictureFormats();
    void badPictureFiles();
    void hugePictureIsScaledWhileRead();
    void storedLogoKeepsItsBytes();
    void logoOnAFullDiskKeepsTheOldOne();
};

void TestSettings::quickTexts_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("phrases");
    QTest::addColumn<QString>("result");
    const QString crlf = QStringLiteral("\r\n");
    QTest::newRow("Заказное then Ценное on empty")
        << QString() << QStringList{QuickRegistered, QuickDeclaredValue}
        << QuickRegistered + crlf + QuickDeclaredValue + crlf;
    QTest::newRow("all four in order")
        << QString()
        << QStringList{QuickSimpleNotice, QuickRegisteredNotice, QuickRegistered, QuickDeclaredValue}
        << QuickSimpleNotice + crlf + QuickRegisteredNotice + crlf + QuickRegistered + crlf
               + QuickDeclaredValue + crlf;
    QTest::newRow("memo lines come back as CR LF")
        << QStringLiteral("первая\nвторая\n") << QStringList{QuickRegistered}
        << QStringLiteral("первая\r\nвторая\r\n") + QuickRegistered + crlf;
    QTest::newRow("typed text without line end")
        << QStringLiteral("Лично") << QStringList{QuickRegistered}
        << QStringLiteral("Лично") + QuickRegistered + crlf;
    QTest::newRow("250 characters keep the first 255")
        << QString(250, QLatin1Char('x')) << QStringList{QuickRegistered}
        << QString(250, QLatin1Char('x')) + QuickRegistered.left(5);
    QTest::newRow("full comment stays full")
        << QString(255, QLatin1Char('y')) << QStringList{QuickDeclaredValue}
        << QString(255, QLatin1Char('y'));
}

void TestSettings::quickTexts()
{
    QFETCH(QString, shown);
    QFETCH(QStringList, phrases);
    QFETCH(QString, result);
    QString comment = shown;
    for (const QString &phrase : phrases)
        comment = withQuickText(comment, phrase);
    QCOMPARE(comment, result);
    QVERIFY(comment.size() <= 255);
}

void TestSettings::copyOfAFormat()
{
    Base base;
    envelopetest::Values c5 = envelopetest::dlFormat();
    c5[QStringLiteral("NameKonvert")] = QStringLiteral("C5");
    c5.remove(QStringLiteral("LogoW"));  // empty stays empty
    base.insertFormat({{"NameKonvert", "Азбука"}, {"W", 100.0}});
    const int n = base.insertFormat(c5);
    const qint64 row = base.tables->Table4.currentRowId();
    base.insertFormat({{"NameKonvert", "Я последний"}, {"W", 300.0}});
    store::Cursor &formats = base.tables->Table4;
    QVERIFY(formats.gotoRowId(row));
    QCOMPARE(formats.asInteger(QStringLiteral("N")), n);

    copyEnvelopeFormat(formats, base.tables->Table4_);

    QCOMPARE(formats.recordCount(), 4);
    QCOMPARE(formats.asInteger(QStringLiteral("N")), n);  // selection stays
    QCOMPARE(formats.asString(QStringLiteral("NameKonvert")), QStringLiteral("C5"));
    formats.next();
    QCOMPARE(formats.asString(QStringLiteral("NameKonvert")), QStringLiteral("C5 копия"));
    QVERIFY(formats.asInteger(QStringLiteral("N")) != n);
    const store::TableSchema &schema = formats.schema();
    for (int i = 0; i < schema.fields.size(); ++i) {
        const QString field = schema.fields[i].name;
        if (field == QLatin1String("N") || field == QLatin1String("NameKonvert"))
            continue;
        QCOMPARE(formats.value(i).isNull(), !c5.contains(field));
        if (c5.contains(field))
            QCOMPARE(formats.asFloat(field), c5.value(field).toDouble());
    }
    QVERIFY(formats.isNull(QStringLiteral("LogoW")));
}

void TestSettings::copyNameIsCutToCapacity_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("97 characters") << 97 << QStringLiteral(" ко");
    QTest::newRow("100 characters") << 100 << QString();
    QTest::newRow("94 characters") << 94 << QStringLiteral(" копия");
    QTest::newRow("empty name") << 0 << QStringLiteral(" копия");
}

void TestSettings::copyNameIsCutToCapacity()
{
    QFETCH(int, length);
    QFETCH(QString, suffix);
    const QString name(length, QChar(0x0416));
    QCOMPARE(copyName(name), name + suffix);

    Base base;
    base.insertFormat({{"NameKonvert", name}, {"H", 110.0}});
    copyEnvelopeFormat(base.tables->Table4, base.tables->Table4_);
    base.tables->Table4_.refresh();
    QCOMPARE(base.tables->Table4_.recordCount(), 2);
    QStringList names;
    for (base.tables->Table4_.first(); !base.tables->Table4_.eof(); base.tables->Table4_.next())
        names << base.tables->Table4_.asString(QStringLiteral("NameKonvert"));
    QVERIFY(names.contains(name + suffix));
}

void TestSettings::copyOfNothingAddsNothing()
{
    Base base;
    copyEnvelopeFormat(base.tables->Table4, base.tables->Table4_);
    base.tables->Table4.refresh();
    QCOMPARE(base.tables->Table4.recordCount(), 0);
}

void TestSettings::logoExtension_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("ext");
    QTest::newRow("upper case kept") << "/pics/sun.JPEG" << ".JPEG";
    QTest::newRow("windows path") << "D:\\pics\\sun.JPEG" << ".JPEG";
    QTest::newRow("bitmap") << "/x/Лого.BMP" << ".BMP";
    QTest::newRow("last dot") << "/x/a.b.png" << ".png";
    QTest::newRow("no extension") << "/x.d/logo" << "";
    QTest::newRow("cut to 10") << "/x/logo.verylongextension" << ".verylonge";
}

void TestSettings::logoExtension()
{
    QFETCH(QString, file);
    QFETCH(QString, ext);
    QCOMPARE(envelope::logoExtension(file), ext);
    QCOMPARE(logoFilePath(QStringLiteral("/opt/k/"), ext), QStringLiteral("/opt/k/base/Logo") + ext);
}

void TestSettings::readPictureFormats_data()
{
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("BMP") << QByteArray("BMP");
    QTest::newRow("JPEG") << QByteArray("JPEG");
    QTest::newRow("PNG") << QByteArray("PNG");
}

void TestSettings::readPictureFormats()
{
    QFETCH(QByteArray, format);
    QTemporaryDir dir;
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 30));
    const QString path = dir.filePath("logo." + QString::fromLatin1(format).toLower());
    QVERIFY(image.save(path, format.constData()));
    const PictureFile read = readPicture(path);
    QVERIFY(read.ok());
    QCOMPARE(read.image.size(), QSize(30, 20));
    QVERIFY(qAbs(read.image.pixelColor(15, 10).red() - 200) < 10);
    // The logo file dialog's picture filter offers every format read here.
    const QStringList filters = pictureFileFilter().split(QStringLiteral(";;"));
    QVERIFY(filters.first().split(QRegularExpression("[ ()]")).contains("*." + QFileInfo(path).suffix()));
    QCOMPARE(filters.last(), QStringLiteral("Все файлы (*)"));
}

void TestSettings::badPictureFiles()
{
    QTemporaryDir dir;
    QCOMPARE(readPicture(dir.filePath("missing.png")).problem, PictureFile::Problem::Missing);
    QCOMPARE(fileSizeOrMissing(dir.filePath("missing.png")), -1);
    QFile empty(dir.filePath("empty.jpg"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QCOMPARE(fileSizeOrMissing(empty.fileName()), 0);
    QCOMPARE(readPicture(empty.fileName()).problem, PictureFile::Problem::Empty);

    QImage image(50, 50, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    QFile damaged(dir.filePath("damaged.jpg"));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(jpeg.left(20) + QByteArray(200, '\x55'));
    damaged.close();
    QCOMPARE(readPicture(damaged.fileName()).problem, PictureFile::Problem::Unreadable);
    QCOMPARE(readPicture(damaged.fileName()).message(),
             QStringLiteral("Файл повреждён или имеет неподдерживаемый формат"));

    QFile text(dir.filePath("notes.bmp"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("это не картинка");
    text.close();
    QCOMPARE(readPicture(text.fileName()).problem, PictureFile::Problem::Unreadable);
}

void TestSettings::hugePictureIsScaledWhileRead()
{
    // Pictures whose full size would take gigabytes, small on disk. The JPEG
    // is decoded scaled; the PNG reader cannot scale while reading and is
    // refused with its own message instead of exhausting memory.
    QTemporaryDir dir;
    const QString jpeg = dir.filePath("huge.jpg");
    QImage gray(8000, 6000, QImage::Format_Grayscale8);
    gray.fill(128);
    QVERIFY(gray.save(jpeg, "JPEG"));
    gray = QImage();
    const PictureFile scaled = readPicture(jpeg);
    QVERIFY(scaled.ok());
    QCOMPARE(scaled.image.size(), QSize(MaxLogoSide, MaxLogoSide * 3 / 4));

    const QString png = dir.filePath("huge.png");
    QImage mono(30000, 20000, QImage::Format_Mono);
    mono.fill(1);
    QVERIFY(mono.save(png, "PNG"));
    mono = QImage();
    const PictureFile refused = readPicture(png);
    QCOMPARE(refused.problem, PictureFile::Problem::TooLarge);
    QCOMPARE(refused.size, QSize(30000, 20000));
    QVERIFY(refused.message().contains(QStringLiteral("30000 × 20000")));

    // Beyond the pixel limit a picture is refused from its header, even one
    // the reader could decode scaled.
    QImage wide(12000, 9000, QImage::Format_Grayscale8);
    wide.fill(128);
    QVERIFY(wide.save(jpeg, "JPEG"));
    wide = QImage();
    const PictureFile beyond = readPicture(jpeg);
    QCOMPARE(beyond.problem, PictureFile::Problem::TooLarge);
    QVERIFY(beyond.image.isNull());
}

void TestSettings::storedLogoKeepsItsBytes()
{
    QTemporaryDir dir;
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::green);
    const QString chosen = dir.filePath("sun.JPEG");
    QVERIFY(image.save(chosen, "JPEG"));
    QVERIFY(QDir(dir.path()).mkdir("base"));
    const QString logo = logoFilePath(dir.path() + QLatin1Char('/'), envelope::logoExtension(chosen));
    QCOMPARE(logo, dir.path() + QStringLiteral("/base/Logo.JPEG"));
    storeLogoFile(chosen, logo);
    QFile a(chosen), b(logo);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(b.readAll(), a.readAll());
    // Choosing the stored logo itself leaves it in place.
    storeLogoFile(logo, logo);
    QVERIFY(readPicture(logo).ok());
    QVERIFY_THROWS_EXCEPTION(LogoFileError, storeLogoFile(dir.filePath("gone.png"), logo));
}

void TestSettings::logoOnAFullDiskKeepsTheOldOne()
{
    SmallDisk disk(128);
    if (!disk.ok())
        QSKIP(qPrintable(disk.reason()));
    QTemporaryDir dir;
    QByteArray noise(60000, '\0');
    for (char &c : noise)
        c = char(QRandomGenerator::global()->bounded(256));
    QFile chosen(dir.filePath("big.png"));
    QVERIFY(chosen.open(QIODevice::WriteOnly) && chosen.write(noise) == noise.size());
    chosen.close();
    const QString logo = disk.filePath("Logo.png");
    QFile old(logo);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write(noise.left(20000)) == 20000);
    old.close();
    const QByteArray before = fileHash(logo);
    disk.fill(16384);
    try {
        storeLogoFile(chosen.fileName(), logo);
        QFAIL("a nearly full disk reported no error");
    } catch (const LogoFileError &e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Нет места на диске")), qPrintable(e.message()));
    }
    QCOMPARE(fileHash(logo), before);
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
