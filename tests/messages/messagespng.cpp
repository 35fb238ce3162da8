// Renders the message window, the popup note and the input box to PNG files
// in <build>/png, for looking at them. Run with QT_QPA_PLATFORM=offscreen.

#include "messages/ui/inputbox.h"
#include "messages/ui/messagewindow.h"
#include "messages/ui/popupmessage.h"

#include "tests/support/modal.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include <cstdio>

namespace {

QString outputFolder()
{
    const QString folder = QStringLiteral(KUVERTIX_BUILD_DIR "/png");
    QDir().mkpath(folder);
    return folder;
}

void save(QWidget *widget, const QString &name)
{
    const QString path = outputFolder() + "/" + name;
    widget->grab().save(path);
    std::printf("%s\n", qPrintable(path));
    // On a real display the screen shows what the window system made of the
    // window too: its clipped corners.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        QCoreApplication::processEvents();
        const QRect frame = widget->frameGeometry();
        const QString screenPath = outputFolder() + "/screen-" + name;
        widget->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).save(screenPath);
        std::printf("%s\n", qPrintable(screenPath));
    }
}

const QString Summary = QStringLiteral(
    "{PL}{FS12}{FB}Будет напечатано:{FB-}{FS8} (проверьте)\r"
    " Печатать: {FB}Конверт{FB-}\r"
    " Кому: {FI}выделенных(3){FI-}\r"
    " Шрифт: {FNDejaVu Serif}DejaVu Serif{F0}\r"
    " {F_}Подчёркнутый{F_-} и {FC$0000FF}красный{FC$0} и {FC$FF0000}синий{FC$0}\r"
    "{PR}справа\r"
    "{PC}по центру {FS14}крупно");

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    modal::whenShown("TForm1001", [](QWidget *window) {
        save(window, "message.png");
        QTest::mouseClick(window->findChild<QLabel *>("Label1"), Qt::LeftButton);
    });
    messages::ShowMsg("Kuvertix", 420, 260, Summary, " {FS12}Печатать ", "", "{FC$0000FF}Отмена");

    modal::whenShown("TForm1001", [](QWidget *window) {
        save(window, "message-green.png");
        QTest::mouseClick(window->findChild<QLabel *>("Label1"), Qt::LeftButton);
    });
    messages::ShowMsg("Kuvertix", 300, 160, "{BC$00FF00}Зелёный фон{PR}\rвторая строка справа");

    messages::ShowPopUpMsg(QStringLiteral("  Идёт печать. Подождите пожалуйста...   "), 0, false, -1, -1,
                 messages::SystemColor::InfoBackground);
    save(modal::topLevelNamed("TForm1000"), "popup.png");
    messages::ClosePopUpMsg();

    modal::whenShown("TFormInputBox", [](QWidget *window) {
        QTest::keyClicks(window->findChild<QLineEdit *>("MaskEdit1"), "b");
        save(window, "inputbox.png");
        QTest::mouseClick(window->findChild<QPushButton *>("BitBtn1"), Qt::LeftButton);
    });
    QString value;
    messages::ShowInputBox(QStringLiteral("Иморт из докумета Excel"),
                 QStringLiteral("Столбец Excel документа(a,b,c...) для поля:\rКому"), value, messages::LatinLetters(), 1, 25);
    return 0;
}
