// The shape of the source tree: the includes between the top-level folders
// follow the layering that README.md draws (a folder includes only folders
// drawn above it; a ui/ folder may also include its own folder and the ui/
// folders above; no logic includes widgets), so they form no cycle; and no
// source file is longer than 900 lines.

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString Root = QStringLiteral(KUVERTIX_SOURCE_DIR);
// Folders above every layer: they may include anything.
const QStringList Unlayered{QStringLiteral("tests"), QStringLiteral("tools"), QStringLiteral("bench")};

QStringList linesOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

// The layer of each folder, 0 the lowest: the rows of the drawing after
// "The layering" in README.md, top to bottom, its lines of slashes skipped.
QHash<QString, int> layersOfReadme()
{
    const QStringList lines = linesOf(Root + QStringLiteral("/README.md"));
    QHash<QString, int> layers;
    int at = 0;
    while (at < lines.size() && !lines[at].startsWith(QStringLiteral("The layering")))
        ++at;
    while (at < lines.size() && !lines[at].startsWith(QStringLiteral("    ")))
        ++at;
    const QRegularExpression word(QStringLiteral("[a-z]+"));
    for (int layer = 0; at < lines.size() && (lines[at].startsWith(QStringLiteral("    ")) || lines[at].isEmpty());
         ++at) {
        bool any = false;
        for (auto it = word.globalMatch(lines[at]); it.hasNext();) {
            layers.insert(it.next().captured(), layer);
            any = true;
        }
        layer += any ? 1 : 0;
    }
    return layers;
}

struct Place {
    QString folder;
    bool ui = false;
};

// The program entry starts the application window: it stands with the
// widgets of its folder.
const QString ProgramEntry = QStringLiteral("app/main.cpp");

// "envelope/ui/printrunpanel.h" is the folder envelope, widgets.
Place placeOf(const QString &relativePath)
{
    const QStringList parts = relativePath.split(QLatin1Char('/'));
    const bool ui = (parts.size() > 2 && parts.at(1) == QLatin1String("ui")) || relativePath == ProgramEntry;
    return {parts.first(), ui};
}

// The C++ files under a folder (relative to the root), build folders and
// hidden folders left out.
void collectSources(const QString &relative, QStringList *files)
{
    const QDir dir(Root + QLatin1Char('/') + relative);
    const QString prefix = relative.isEmpty() ? QString() : relative + QLatin1Char('/');
    for (const QString &name : dir.entryList({QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files))
        files->append(prefix + name);
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!name.startsWith(QLatin1String("build")))
            collectSources(prefix + name, files);
    }
}

QStringList sourceFiles()
{
    QStringList files;
    collectSources(QString(), &files);
    return files;
}

// Why file may not include target, or empty when it may.
QString breach(const Place &file, const Place &target, const QHash<QString, int> &layers)
{
    if (!layers.contains(target.folder))
        return QStringLiteral("%1/ is not in the layering").arg(target.folder);
    if (target.ui && !file.ui)
        return QStringLiteral("logic includes widgets");
    if (target.folder == file.folder)
        return QString();
    if (layers.value(target.folder) >= layers.value(file.folder))
        return QStringLiteral("%1/ is not below %2/").arg(target.folder, file.folder);
    return QString();
}

} // namespace

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void readmeDrawsEveryFolder();
    void includesFollowTheLayering();
    void noSourceFileIsLongerThan900Lines();
};

void TestLayout::readmeDrawsEveryFolder()
{
    const QHash<QString, int> layers = layersOfReadme();
    QVERIFY2(layers.size() >= 2, "README.md draws no layering");
    QStringList missing;
    for (const QString &file : sourceFiles()) {
        const QString folder = placeOf(file).folder;
        if (file.contains(QLatin1Char('/')) && !Unlayered.contains(folder) && !layers.contains(folder)
            && !missing.contains(folder))
            missing << folder;
    }
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not in the layering: ") + missing.join(", ")));
}

void TestLayout::includesFollowTheLayering()
{
    const QHash<QString, int> layers = layersOfReadme();
    const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([a-z]+/[^\"]+)\""));
    QStringList breaches;
    int checked = 0;
    for (const QString &file : sourceFiles()) {
        const Place place = placeOf(file);
        if (!layers.contains(place.folder))
            continue;
        const QStringList lines = linesOf(Root + QLatin1Char('/') + file);
        for (int n = 0; n < lines.size(); ++n) {
            const QRegularExpressionMatch m = include.match(lines[n]);
            if (!m.hasMatch())
                continue;
            ++checked;
            const QString why = breach(place, placeOf(m.captured(1)), layers);
            if (!why.isEmpty())
                breaches << QStringLiteral("%1:%2 includes %3: %4").arg(file).arg(n + 1).arg(m.captured(1), why);
        }
    }
    QVERIFY2(checked > 100, qPrintable(QStringLiteral("only %1 includes found").arg(checked)));
    QVERIFY2(breaches.isEmpty(), qPrintable(breaches.join(QLatin1Char('\n'))));
}

void TestLayout::noSourceFileIsLongerThan900Lines()
{
    QStringList tooLong;
    for (const QString &file : sourceFiles()) {
        QStringList lines = linesOf(Root + QLatin1Char('/') + file);
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        if (lines.size() > 900)
            tooLong << QStringLiteral("%1: %2 lines").arg(file).arg(lines.size());
    }
    QVERIFY2(tooLong.isEmpty(), qPrintable(tooLong.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestLayout)
#include "tst_layout.moc"
