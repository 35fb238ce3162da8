// Kuvertix: envelopes and postal forms from an address book.

#include "app/application.h"
#include "app/errorpolicy.h"
#include "app/mainwindow.h"

#include <QDir>
#include "messages/notices.h"

#include <memory>

namespace {

void errorBox(const QString &text)
{
    ShowErrorNotice(nullptr, QStringLiteral("Kuvertix"), text);
}

} // namespace

int main(int argc, char **argv)
{
    app::Application application(argc, argv);
    const QString programFolder = app::executableFolder();
    // Templates and the postal-code font are looked up beside the program,
    // whatever folder a launcher started it from.
    QDir::setCurrent(programFolder);

    std::unique_ptr<app::TForm1> window;
    try {
        window = std::make_unique<app::TForm1>(programFolder);
        window->FormCreate();
    } catch (...) {
        errorBox(app::startupErrorText(std::current_exception()));
        return 1;
    }
    for (const QString &notice : window->startupNotices())
        ShowWarningNotice(nullptr, window->windowTitle(), notice);
    application.setUnexpectedErrorHandler([&](const QString &message) {
        errorBox(app::unexpectedErrorText(message));
        window->abandonEdits();
        application.exit(1);
    });
    window->show();
    return application.exec();
}
