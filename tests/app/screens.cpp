// Renders every tab of the main window to PNG, so the windows can be looked
// at without a display:  kuvertix-screens <program folder> <output folder>
// The tables are copied first: looking must not change the user's data.

#include "app/ui/application.h"
#include "app/ui/mainwindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app::Application application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kuvertix-screens <program folder> <output folder>\n");
        return 2;
    }
    const QDir source(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(out.path());
    QTemporaryDir copy;
    for (const QString &name : source.entryList(QDir::Files))
        QFile::copy(source.filePath(name), QDir(copy.path()).filePath(name));
    QDir(copy.path()).mkdir("base");
    for (const QString &name : QDir(source.filePath("base")).entryList(QDir::Files))
        QFile::copy(source.filePath("base/" + name), QDir(copy.path()).filePath("base/" + name));

    app::TForm1 window(copy.path());
    window.FormCreate();
    window.show();
    auto *tabs = window.findChild<QTabWidget *>("TabbedNotebook1");
    auto *settings = window.findChild<QTabWidget *>("TabbedNotebook2");
    auto grab = [&](const QString &name) {
        // Headers and views lay themselves out in posted events: let them run.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 150)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        window.grab().save(out.filePath(name + ".png"));
    };
    grab("0-main");
    tabs->setCurrentIndex(1);
    grab("1-addressbook");
    tabs->setCurrentIndex(2);
    for (int i = 0; i < settings->count(); ++i) {
        settings->setCurrentIndex(i);
        grab(QStringLiteral("2-settings-%1").arg(i));
    }
    tabs->setCurrentIndex(0);
    window.Image1Click();
    grab("3-chooser");
    window.Image3Click();
    return 0;
}
