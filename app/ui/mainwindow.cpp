#include "app/ui/mainwindow.h"
#include "addressbook/ui/addressbooktab.h"
#include "addressbook/ui/senderstab.h"
#include "addressbook/calcsheet.h"
#include "addressbook/importmarker.h"
#include "app/ui/roundcorners.h"
#include "envelope/preflight.h"
#include "envelope/ui/printrunpanel.h"
#include "letters/ui/blankstrip.h"
#include "letters/ui/blankrunpanel.h"
#include "envelope/ui/formatstab.h"
#include "envelope/ui/maintab.h"
#include "envelope/ui/printsettingstab.h"
#include "messages/ui/notices.h"
#include "messages/ui/popupmessage.h"
#include "store/errors.h"
#include "store/ui/dbcontrols.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDesktopServices>
#include <QFile>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

namespace app {

namespace {

const char *const kTitle = "Kuvertix — печать конвертов и бланков";
const char *const kSupportAddress = "support@kuvertix.ru";
const char *const kZipFontFile = "Kuvertix ZIPcode.ttf";

// A label that reports clicks, for the pictures and the link panels.
class ClickLabel : public QLabel {
public:
    ClickLabel(QWidget *parent, std::function<void()> onClick) : QLabel(parent), m_onClick(std::move(onClick))
    {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        QLabel::mouseReleaseEvent(event);
        if (rect().contains(event->position().toPoint()))
            m_onClick();
    }

private:
    std::function<void()> m_onClick;
};

} // namespace

TForm1::TForm1(const QString &programFolder, QWidget *parent)
    : QWidget(parent), m_paths(programFolder)
{
    setObjectName("TForm1");
    setWindowTitle(QString::fromUtf8(kTitle));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    m_tables.openAll([this](store::Cursor &c) { m_paths.Table1BeforeOpen(c); });
    buildPages();
    setFixedSize(kWidth, heightOfTab(0));
    qApp->installEventFilter(this);
    m_followTimer = new QTimer(this);
    m_followTimer->setInterval(kFollowPeriodMs);
    connect(m_followTimer, &QTimer::timeout, this, &TForm1::followOtherCopies);
    m_followTimer->start();
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            followOtherCopies();
    });
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
    // The controls go before the cursors they are bound to: a cell editor
    // still open stores its text into a living cursor as it closes.
    delete m_notebook1;
}

int TForm1::heightOfTab(int tab)
{
    switch (tab) {
    case 1: return 556;
    case 2: return 615;
    default: return 370;
    }
}

QPoint TForm1::startPosition(const QSize &screen, int windowWidth)
{
    return {(screen.width() - windowWidth) / 2, (screen.height() - heightOfTab(2)) / 2};
}

// ---- pages ------------------------------------------------------------------

void TForm1::buildPages()
{
    m_notebook1 = new QStackedWidget(this);
    m_notebook1->setObjectName("Notebook1");
    m_notebook1->setGeometry(0, 0, kWidth, heightOfTab(2));
    QWidget *main = buildMainPage();
    main->setObjectName(QStringLiteral("Главная"));
    m_notebook1->addWidget(main);
    QWidget *chooser = buildChooserPage();
    chooser->setObjectName(QStringLiteral("Выбор конверта"));
    m_notebook1->addWidget(chooser);
    // Two pages that are never shown, kept so the page order stays as users know it.
    for (const QString &name : {QStringLiteral("Список адресатов"), QStringLiteral("QReport")}) {
        auto *empty = new QWidget;
        empty->setObjectName(name);
        m_notebook1->addWidget(empty);
    }
    m_notebook1->setCurrentIndex(0);
}

QWidget *TForm1::buildMainPage()
{
    auto *page = new QWidget;
    m_tabs = new QTabWidget(page);
    m_tabs->setObjectName("TabbedNotebook1");
    m_tabs->setGeometry(0, 0, kTabsWidth, heightOfTab(2));

    m_mainTab = new envelope::MainTab(m_tables, m_paths.programFolder());
    connect(m_mainTab, &envelope::MainTab::envelopeTypeClicked, this, &TForm1::Image1Click);
    m_tabs->addTab(m_mainTab, QStringLiteral("Главная"));
    m_addressBook = new addressbook::AddressBookTab(m_tables, m_paths.programFolder());
    m_tabs->addTab(m_addressBook, QStringLiteral("Список адресатов"));
    m_addressBook->setSheetOfficeFactory([folder = m_paths.programFolder()] {
        return std::make_unique<addressbook::CalcSheet>(folder);
    });
    buildPrintControls();
    m_tabs->addTab(buildSettingsTab(), QStringLiteral("Настройки"));
    auto *about = new QWidget;
    about->setObjectName("TabAbout");
    m_tabs->addTab(about, QStringLiteral("О программе"));
    connect(m_tabs, &QTabWidget::currentChanged, this, &TForm1::onTabChanged);

    buildLinkPanels(page);
    return page;
}

// The envelope print run and the blank strip sit in the places the address
// book keeps for them.
void TForm1::buildPrintControls()
{
    m_printRun = new envelope::PrintRunPanel(m_tables, m_mainTab->envelopePrinter(),
                                             m_addressBook->printButtonsPlace());
    m_blanks = new letters::BlankStrip(m_paths.programFolder(),
                                       m_addressBook->blankStripPlace());
    m_blanks->lower();  // the reminder ShapeBlank stays on top of the strip
    connect(m_blanks, &letters::BlankStrip::blankReminder, m_addressBook,
            &addressbook::AddressBookTab::setBlankReminder);
    // The run panels print the address book's request.
    m_addressBook->setRunControls(m_printRun, m_blanks);
    m_printRun->setHost(m_addressBook);
    m_printRun->setOneJobSwitch([this] { return m_printSettings->oneJobPerRun(); });
    // The preview steps through the envelopes the address-book run would print.
    m_mainTab->setRunSource([this] {
        const envelope::RunOptions run = envelope::runOptionsOf(m_addressBook->runRequest(runs::RunKind::Envelope));
        return envelope::runEnvelopeTexts(m_tables.Table2, run, envelope::senderOfSettingsRow(m_tables.Table1));
    });

    // "Печать бланков" stands to the right of the blank strip, level with it.
    const QWidget *strip = m_addressBook->blankStripPlace();
    m_blankRun = new letters::BlankRunPanel(m_tables, m_paths.programFolder(), m_addressBook);
    m_blankRun->move(strip->geometry().right() + 7, strip->y());
    m_blankRun->setHost(m_addressBook);
    connect(m_blankRun, &letters::BlankRunPanel::blankReminder, m_addressBook,
            &addressbook::AddressBookTab::setBlankReminder);
}

QWidget *TForm1::buildSettingsTab()
{
    auto *tab = new QWidget;
    tab->setObjectName("TabSettings");
    m_settingsTabs = new QTabWidget(tab);
    m_settingsTabs->setObjectName("TabbedNotebook2");
    m_settingsTabs->setGeometry(0, 0, kTabsWidth - 4, heightOfTab(2) - 34);
    m_printSettings = new envelope::PrintSettingsTab(m_tables, m_paths.programFolder());
    connect(m_printSettings, &envelope::PrintSettingsTab::printFontChanged, m_mainTab,
            &envelope::MainTab::setPrintFont);
    m_settingsTabs->addTab(m_printSettings, QStringLiteral("Печать конвертов"));
    m_senders = new addressbook::SendersTab(m_tables, m_paths.programFolder());
    m_settingsTabs->addTab(m_senders, QStringLiteral("Отправители"));
    connect(m_settingsTabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 1)
            m_senders->focusFilter();
    });
    // The senders grid marks the current sender; typing a sender on the
    // main tab changes which one that is.
    connect(&m_tables.Table1, &store::Cursor::fieldChanged, this, [this](int field) {
        const QString name = m_tables.Table1.schema().fields[field].name;
        if (name == QLatin1String("OtKogo") || name == QLatin1String("OtKuda") || name == QLatin1String("OtIndex"))
            m_senders->currentSenderChanged();
    });
    auto *formats = new envelope::FormatsTab(m_tables, m_paths.programFolder());
    formats->setEnvelopePrinter(&m_mainTab->envelopePrinter());
    m_settingsTabs->addTab(formats, QStringLiteral("Форматы конвертов"));
    m_settingsTabs->addTab(buildInterfaceTab(), QStringLiteral("Интерфейс"));
    return tab;
}

QWidget *TForm1::buildInterfaceTab()
{
    auto *tab = new QWidget;
    tab->setObjectName("TabInterface");
    m_reservShow = new store::ui::DbCheckBox(&m_tables.Table1, "ReservShow",
                                             QStringLiteral("Показывать резервные поля в списке адресатов"), tab);
    m_reservShow->setObjectName("DBCheckBoxReservShow");
    m_reservShow->setGeometry(16, 16, 500, 24);
    return tab;
}

QWidget *TForm1::buildLinkPanels(QWidget *parent)
{
    auto *question = new ClickLabel(parent, [this] { Panel4Click(); });
    question->setObjectName("Panel4");
    question->setText(QStringLiteral("  Есть вопросы по программе? Задайте!"));
    question->setWordWrap(true);
    question->setFrameStyle(QFrame::Panel | QFrame::Raised);
    question->setAlignment(Qt::AlignCenter);
    question->setGeometry(kTabsWidth + 6, 24, 156, 64);

    auto *advert = new QFrame(parent);
    advert->setObjectName("PanelRekl");
    advert->setFrameStyle(QFrame::Panel | QFrame::Raised);
    advert->setGeometry(kTabsWidth + 6, 96, 156, 230);
    auto *text = new QLabel(QStringLiteral("Печатайте конверты и бланки быстро и точно. "
                                           "Новые форматы конвертов, советы и обновления — на сайте:"),
                            advert);
    text->setWordWrap(true);
    text->setGeometry(6, 6, 144, 150);
    auto *site = new ClickLabel(advert, [this] { LabelReklSiteClick(); });
    site->setObjectName("LabelReklSite");
    site->setText(QStringLiteral("www.kuvertix.ru"));
    QFont f = site->font();
    f.setUnderline(true);
    site->setFont(f);
    site->setStyleSheet("color: #0000cc");
    site->setGeometry(6, 170, 144, 20);
    return advert;
}

QWidget *TForm1::buildChooserPage()
{
    auto *page = new QWidget;
    auto *heading = new QLabel(QStringLiteral("Выберите тип конверта"), page);
    heading->setObjectName("LabelChooser");
    QFont f = heading->font();
    f.setPointSize(16);
    f.setBold(true);
    heading->setFont(f);
    heading->setAlignment(Qt::AlignCenter);
    heading->setGeometry(0, 16, kWidth, 36);
    struct Choice { const char *name; const char *file; const char *text; void (TForm1::*click)(); int x; };
    const Choice choices[] = {
        {"Image2", "Конверт с разметкой.png", "Конверт с типографской разметкой", &TForm1::Image2Click, 40},
        {"Image3", "Конверт без разметки.png", "Конверт без разметки", &TForm1::Image3Click, 508},
    };
    for (const Choice &c : choices) {
        auto *picture = new ClickLabel(page, [this, click = c.click] { (this->*click)(); });
        picture->setObjectName(QString::fromLatin1(c.name));
        picture->setPixmap(QPixmap(m_paths.inProgramFolder(QString::fromUtf8(c.file))));
        picture->setScaledContents(true);
        picture->setGeometry(c.x, 70, 420, 216);
        picture->setToolTip(QString::fromUtf8(c.text));
        auto *label = new QLabel(QString::fromUtf8(c.text), page);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(c.x, 292, 420, 24);
    }
    return page;
}

// ---- start and close ---------------------------------------------------------

void TForm1::FormCreate()
{
    move(startPosition(QGuiApplication::primaryScreen()->geometry().size(), width()));

    m_tabs->setCurrentIndex(1);
    m_tabs->setCurrentIndex(0);
    m_tabs->setCurrentIndex(0);
    m_settingsTabs->setCurrentIndex(0);

    // The settings row stays in edit state for the whole run; every settings
    // control writes into it and it is stored when the window closes. In a
    // data folder that cannot be written the settings are shown, not edited.
    if (!m_tables.Table1.isReadOnly())
        m_tables.Table1.edit();
    // The saved print font; a missing or unreadable file keeps the default.
    m_printSettings->loadSavedFont();

    const int type = m_tables.Table1.asInteger("TypKonv");
    if (type == 1)
        Image2Click();
    else if (type == 2)
        Image3Click();
    m_mainTab->applySettingsRow();
    m_addressBook->recountSelected();
    // An import the program was killed in is told once, at the next start.
    if (!m_tables.Table2.isReadOnly())
        m_importNotice = addressbook::ImportMarker::interruptedNotice(m_tables.Table2);

    registerZipFont();
    m_mainTab->refreshZipCodeFont();
}

void TForm1::registerZipFont()
{
    m_zipFontId = QFontDatabase::addApplicationFont(m_paths.inProgramFolder(QString::fromLatin1(kZipFontFile)));
}

void TForm1::unregisterZipFont()
{
    if (m_zipFontId >= 0)
        QFontDatabase::removeApplicationFont(m_zipFontId);
    m_zipFontId = -1;
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // A note still up (the end of a blank run closes its own after two
    // seconds) would keep the program running without its window.
    messages::ClosePopUpMsg();
    FormClose();
    event->accept();
}

QStringList TForm1::startupNotices() const
{
    QStringList notices;
    if (m_tables.Table1.isReadOnly())
        notices << m_tables.Table1.readOnlyMessage();
    notices << m_tables.openingNotes();
    if (!m_importNotice.isEmpty())
        notices << m_importNotice;
    return notices;
}

void TForm1::FormClose()
{
    if (!m_abandoned) {
        storeOpenEdits();
        storeSettingsRow();
    }
    unregisterZipFont();
}

// A recipient, sender, format or offset still being edited is stored as a
// move to another row would store it: what the window showed (and "В PDF"
// may have printed) is what the book keeps. The settings of the session are
// stored too, always (a new settings row even unchanged).
void TForm1::storeOpenEdits()
{
    const std::pair<store::Cursor *, const char *> edited[] = {
        {&m_tables.Table2, "изменения адресата"}, {&m_tables.Table3, "изменения отправителя"},
        {&m_tables.Table4, "изменения формата конверта"}, {&m_tables.Table5, "изменения смещения печати"}};
    for (const auto &[cursor, what] : edited) {
        if (!cursor->isOpen())
            continue;
        store::ui::DbGrid::commitOpenEditors(cursor);
        storeAtClose(*cursor, false, QStringLiteral("Не удалось сохранить %1.").arg(QString::fromUtf8(what)),
                     QStringLiteral("без этих изменений"));
    }
}

void TForm1::storeSettingsRow()
{
    storeAtClose(m_tables.Table1, true, QStringLiteral("Не удалось сохранить настройки."),
                 QStringLiteral("без сохранения настроек"));
}

// Stores the cursor's edit (always, or only when it changed something).
// When the store refuses it the user hears why and chooses between trying
// again (after freeing space, say) and closing without it; when another
// copy's change refused it, there is nothing left to try again.
void TForm1::storeAtClose(store::Cursor &cursor, bool always, const QString &failed, const QString &without)
{
    while (cursor.isEditing()) {
        try {
            if (always || cursor.isModified())
                cursor.post();
            else
                cursor.cancel();
        } catch (const store::StoreError &e) {
            if (!cursor.isEditing()) {
                messages::ShowWarningNotice(this, windowTitle(), e.message());
                return;
            }
            const QString text = QStringLiteral("%1\n%2\n\nУстраните причину и нажмите «Повторить», или закройте "
                                                "программу %3.")
                                     .arg(failed, e.message(), without);
            if (!messages::AskRetryNotice(this, windowTitle(), text)) {
                cursor.cancel();
                return;
            }
        }
    }
}

void TForm1::abandonEdits()
{
    m_abandoned = true;
    for (store::Cursor *c : {&m_tables.Table1, &m_tables.Table2})
        if (c->isOpen() && c->isEditing())
            c->cancel();
}

void TForm1::followOtherCopies()
{
    if (m_abandoned)
        return;
    m_addressBook->followOtherCopies();
}

// ---- tabs, chooser, links -------------------------------------------------------

void TForm1::onTabChanged(int index)
{
    bool allow = true;
    TabbedNotebook1Change(index, allow);
    if (!allow) {
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(m_currentTab);
        return;
    }
    m_currentTab = index;
    if (index == 1)
        m_addressBook->focusFilter();
}

void TForm1::TabbedNotebook1Change(int newTab, bool &allowChange)
{
    if (newTab == 3) {
        allowChange = false;
        const QString help = m_paths.inProgramFolder("Kuvertix.htm");
        if (!openInDesktop(QUrl::fromLocalFile(help)))
            messages::ShowWarningNotice(this, windowTitle(),
                                        QStringLiteral("Не удалось открыть справку: на компьютере не нашлось "
                                                       "программы, которая открывает страницы HTML (например, "
                                                       "браузера). Файл справки: «%1».")
                                            .arg(QDir::toNativeSeparators(help)));
        return;
    }
    allowChange = true;
    setFixedSize(kWidth, heightOfTab(newTab));
}

void TForm1::Image1Click()
{
    m_notebook1->setCurrentIndex(1);
}

void TForm1::chooseEnvelopeType(int typKonv)
{
    const QString file = typKonv == 1 ? QStringLiteral("Конверт мини1.bmp") : QStringLiteral("Конверт мини2.bmp");
    if (!m_mainTab->chooseEnvelopeType(typKonv))
        throw std::runtime_error(
            QStringLiteral("Не удаётся открыть рисунок %1").arg(m_paths.inProgramFolder(file)).toStdString());
    m_notebook1->setCurrentIndex(0);
}

void TForm1::Image2Click()
{
    chooseEnvelopeType(1);
}

void TForm1::Image3Click()
{
    chooseEnvelopeType(2);
}

void TForm1::Panel4Click()
{
    QUrl url(QStringLiteral("mailto:") + QString::fromLatin1(kSupportAddress));
    url.setQuery(QStringLiteral("subject=") + QString::fromUtf8(QUrl::toPercentEncoding(windowTitle())));
    openInDesktop(url);
}

void TForm1::LabelReklSiteClick()
{
    auto *site = findChild<QLabel *>("LabelReklSite");
    openInDesktop(QUrl(QStringLiteral("http://") + site->text()));
}

bool TForm1::openInDesktop(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

// ---- keyboard and look ---------------------------------------------------------------

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *widget = qobject_cast<QWidget *>(watched);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && widget
            && widget->window() == this) {
            if (event->type() == QEvent::KeyPress)
                focusNextChild();
            return true;  // Enter never reaches the control: no line break in a memo
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    roundCornersOf(this);
}

} // namespace app
