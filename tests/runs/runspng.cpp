// Writes pictures of the print summary window and of the blank strip with
// its list open to <build>/png, for looking at them.

#include "addressbook/ui/addressbooktab.h"
#include "envelope/envelopeprinter.h"
#include "envelope/ui/printrunpanel.h"
#include "letters/ui/blankstrip.h"
#include "runs/ui/summarywindow.h"
#include "tests/support/modal.h"
#include "tests/support/printrunfixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QPainter>
#include <QTemporaryDir>

namespace {

QString out(const QString &name)
{
    const QString dir = QStringLiteral(KUVERTIX_BUILD_DIR) + QStringLiteral("/png");
    QDir().mkpath(dir);
    return dir + '/' + name;
}

void summaryPicture()
{
    printruntest::Data d;
    const int format = d.addFormat(printruntest::dlFormat(QStringLiteral("DL 220x110")));
    const int offset = d.addOffset(QStringLiteral("Лазерный в бухгалтерии"), 1.5, -2);
    d.settings({{"N_Konvert", format}, {"Printer", offset}, {"TypKonv", 2},
                {"OtKogo", QStringLiteral("ООО «Ромашка»")},
                {"OtKuda", QStringLiteral("г. Тверь, ул. Садовая, д. 5, оф. 12")},
                {"OtIndex", QStringLiteral("170000")},
                {"KonvertComment", QStringLiteral("ЗАКАЗНОЕ\r\nС ПРОСТЫМ УВЕДОМЛЕНИЕМ\r\n")},
                {"Comment", QStringLiteral("Конверт вставлять клапаном вниз,\r\nадресом к себе.")}});
    runs::ResumeScreen s;
    s.scope = runs::PrintScope::Marked;
    s.selectedCount = 3;
    s.filterText = QStringLiteral("металл|оао");
    s.returnEnvelope = true;
    s.font = {QStringLiteral("Liberation Serif"), 14, true, true};
    s.printLogo = true;
    s.printZipCode = true;
    s.printComment = true;
    modal::whenShown(QStringLiteral("TForm1001"), [](QWidget *window) {
        window->grab().save(out(QStringLiteral("printrun-summary-envelopes.png")));
        modal::pressMessageButton(window, 2);
    });
    runs::ShowResume(QStringLiteral("Kuvertix"), runs::ResumeKindEnvelope, d.tables, s);
}

void stripPicture()
{
    QTemporaryDir dir;
    for (const char *name : {"Опись.doc", "Уведомление 4 шт сторона1.doc", "Анкета.RTF", "Договор поставки.docx",
                             "заметки.txt"})
        QFile(dir.filePath(QString::fromUtf8(name))).open(QIODevice::WriteOnly);
    QDir(dir.path()).mkdir(QStringLiteral("Архив.doc"));

    // The strip in the place the address-book tab keeps for it, with the
    // reminder bar lit under the list's right end.
    QWidget place;
    place.resize(letters::BlankStrip::PreferredWidth, 200);
    QPalette p = place.palette();
    p.setColor(QPalette::Window, QColor(240, 240, 240));
    place.setPalette(p);
    place.setAutoFillBackground(true);
    letters::BlankStrip strip(dir.path() + '/', &place);
    QFrame shapeBlank(&place);
    shapeBlank.setGeometry(280, 27, 20, 5);
    shapeBlank.setAutoFillBackground(true);
    QPalette red = shapeBlank.palette();
    red.setColor(QPalette::Window, Qt::red);
    shapeBlank.setPalette(red);
    place.show();
    strip.grab().save(out(QStringLiteral("printrun-blankstrip.png")));

    auto *list = strip.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    list->showPopup();
    QApplication::processEvents();
    QWidget *popup = list->view()->window();
    QImage picture(place.size(), QImage::Format_RGB32);
    picture.fill(QColor(240, 240, 240));
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, place.grab());
    painter.drawPixmap(popup->mapToGlobal(QPoint()) - place.mapToGlobal(QPoint()), popup->grab());
    painter.end();
    picture.save(out(QStringLiteral("printrun-blankstrip-open.png")));
    list->hidePopup();
}

// The address-book tab with the print-run controls and the blank strip in
// the places it keeps for them, the reminder bar lit.
void addressBookPicture()
{
    printruntest::Data d;
    d.standardSetup();
    for (const char *name : {"Опись.doc", "Анкета.rtf"})
        QFile(d.dir.filePath(QString::fromUtf8(name))).open(QIODevice::WriteOnly);
    d.addRecipient(QStringLiteral("ООО «Металлторг»"), QStringLiteral("г. Москва, ул. Тверская, 1"),
                   QStringLiteral("101000"), true);
    d.addRecipient(QStringLiteral("Иванов И. И."), QStringLiteral("г. Омск, ул. Ленина, 5"),
                   QStringLiteral("644000"), false);
    addressbook::AddressBookTab tab(d.tables, d.programFolder());
    envelope::EnvelopePrinter printer(d.tables);
    new envelope::PrintRunPanel(d.tables, printer, tab.printButtonsPlace());
    auto *strip = new letters::BlankStrip(d.programFolder(), tab.blankStripPlace());
    strip->lower();
    tab.recountSelected();
    tab.setBlankReminder(true);
    tab.show();
    tab.blankReminder()->show();
    tab.grab().save(out(QStringLiteral("printrun-addressbook-tab.png")));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    summaryPicture();
    stripPicture();
    addressBookPicture();
    return 0;
}
