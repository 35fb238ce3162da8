#include "app/mainwindow.h"
#include "app/roundcorners.h"
#include "messages/notices.h"
#include "store/errors.h"
#include "store/ui/dbcontrols.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStackedWidget>
#include <QTabWidget>
#include <QUrl>

namespace app {

namespace {

const char *const kTitle = "Kuvertix — печать конвертов и бланков";
const char *const kSupportAddress = "support@kuvertix.ru";
const char *const kZipFontFile = "Kuvertix ZIPcode.ttf";

const char *const kInformationText =
    "Вставлять конверт в принтер нужно узкой стороной(в некоторых моделях принтеров в специальный "
    "лоток для конвертов!), маркой вперёд или назад зависит от модели вашего принтера. Посмотрите "
    "инструкцию к принтеру или попробуйте на плохом конверте. Чтобы в следующий раз не забыть какой "
    "стороной нужно вставлять конверт в Ваш принтер, пометьте это в окне справа. Для выбора типа "
    "конверта(размеченный в типографии или без типографской разметки) щёлкните мышью на изображении "
    "конверта.";

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

QLabel *caption(QWidget *parent, const QString &text, int x, int y, int w = 120)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(x, y, w, 18);
    return l;
}

store::ui::DbLineEdit *boundEdit(store::Cursor &c, const char *field, QWidget *parent, QRect geometry)
{
    auto *e = new store::ui::DbLineEdit(&c, QString::fromLatin1(field), parent);
    e->setObjectName(QStringLiteral("DBEdit") + QString::fromLatin1(field));
    e->setGeometry(geometry);
    return e;
}

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
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
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
    m_tabs->setGeometry(0, 0, 800, heightOfTab(2));

    auto *mainTab = new QWidget;
    mainTab->setObjectName("TabMain");
    store::Cursor &settings = m_tables.Table1;
    caption(mainTab, QStringLiteral("Кому:"), 8, 6);
    boundEdit(settings, "Komu", mainTab, {8, 24, 370, 22});
    caption(mainTab, QStringLiteral("Куда:"), 8, 50);
    boundEdit(settings, "Kuda", mainTab, {8, 68, 370, 22});
    caption(mainTab, QStringLiteral("Индекс:"), 8, 94);
    boundEdit(settings, "Index", mainTab, {8, 112, 120, 22});
    caption(mainTab, QStringLiteral("От кого:"), 8, 142);
    boundEdit(settings, "OtKogo", mainTab, {8, 160, 370, 22});
    caption(mainTab, QStringLiteral("Откуда:"), 8, 186);
    boundEdit(settings, "OtKuda", mainTab, {8, 204, 370, 22});
    caption(mainTab, QStringLiteral("Индекс отправителя:"), 8, 230, 160);
    boundEdit(settings, "OtIndex", mainTab, {8, 248, 120, 22});

    auto *info = new QLabel(QString::fromUtf8(kInformationText), mainTab);
    info->setObjectName("LabelInfo");
    info->setWordWrap(true);
    QFont small = info->font();
    small.setPointSize(8);
    info->setFont(small);
    info->setGeometry(390, 6, 240, 150);
    auto *comment = new store::ui::DbMemo(&settings, "Comment", mainTab);
    comment->setObjectName("DBMemoComment");
    comment->setGeometry(640, 6, 148, 150);

    m_image1 = new ClickLabel(mainTab, [this] { Image1Click(); });
    m_image1->setObjectName("Image1");
    m_image1->setToolTip(QStringLiteral("Щёлкните для выбора типа конверта"));
    m_image1->setGeometry(390, 166, 264, 136);
    m_image1->setScaledContents(true);
    setThumbnail(QStringLiteral("Конверт мини2.bmp"));

    m_tabs->addTab(mainTab, QStringLiteral("Главная"));
    auto *addressTab = new QWidget;
    addressTab->setObjectName("TabAddressBook");
    m_tabs->addTab(addressTab, QStringLiteral("Список адресатов"));
    m_tabs->addTab(buildSettingsTab(), QStringLiteral("Настройки"));
    auto *about = new QWidget;
    about->setObjectName("TabAbout");
    m_tabs->addTab(about, QStringLiteral("О программе"));
    connect(m_tabs, &QTabWidget::currentChanged, this, &TForm1::onTabChanged);

    buildLinkPanels(page);
    return page;
}

QWidget *TForm1::buildSettingsTab()
{
    auto *tab = new QWidget;
    tab->setObjectName("TabSettings");
    m_settingsTabs = new QTabWidget(tab);
    m_settingsTabs->setObjectName("TabbedNotebook2");
    m_settingsTabs->setGeometry(0, 0, 796, heightOfTab(2) - 34);
    for (const char *name : {"Печать конвертов", "Отправители", "Форматы конвертов"}) {
        auto *page = new QWidget;
        m_settingsTabs->addTab(page, QString::fromUtf8(name));
    }
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
    question->setGeometry(806, 24, 156, 64);

    auto *advert = new QFrame(parent);
    advert->setObjectName("PanelRekl");
    advert->setFrameStyle(QFrame::Panel | QFrame::Raised);
    advert->setGeometry(806, 96, 156, 230);
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
    // control writes into it and it is stored when the window closes.
    m_tables.Table1.edit();

    const int type = m_tables.Table1.asInteger("TypKonv");
    if (type == 1)
        Image2Click();
    else if (type == 2)
        Image3Click();

    registerZipFont();
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
    FormClose();
    event->accept();
}

void TForm1::FormClose()
{
    if (!m_abandoned) {
        try {
            m_tables.Table1.post();
        } catch (const store::StoreError &e) {
            ShowErrorNotice(this, windowTitle(),
                            QStringLiteral("Не удалось сохранить настройки.\n%1\n\nОстальные данные "
                                           "не пострадали: адресаты, отправители и форматы были "
                                           "сохранены раньше.")
                                .arg(e.message()));
        }
    }
    unregisterZipFont();
}

void TForm1::abandonEdits()
{
    m_abandoned = true;
    for (store::Cursor *c : {&m_tables.Table1, &m_tables.Table2})
        if (c->isOpen() && c->isEditing())
            c->cancel();
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
}

void TForm1::TabbedNotebook1Change(int newTab, bool &allowChange)
{
    if (newTab == 3) {
        allowChange = false;
        openInDesktop(QUrl::fromLocalFile(m_paths.inProgramFolder("Kuvertix.htm")));
        return;
    }
    allowChange = true;
    setFixedSize(kWidth, heightOfTab(newTab));
}

void TForm1::Image1Click()
{
    m_notebook1->setCurrentIndex(1);
}

void TForm1::setThumbnail(const QString &fileName)
{
    const QString path = m_paths.inProgramFolder(fileName);
    QPixmap picture(path);
    if (picture.isNull())
        throw std::runtime_error(QStringLiteral("Не удаётся открыть рисунок %1").arg(path).toStdString());
    m_thumbnail = picture;
    m_image1->setPixmap(picture);
}

void TForm1::Image2Click()
{
    m_tables.Table1.setValue("TypKonv", 1);
    setThumbnail(QStringLiteral("Конверт мини1.bmp"));
    m_notebook1->setCurrentIndex(0);
}

void TForm1::Image3Click()
{
    m_tables.Table1.setValue("TypKonv", 2);
    setThumbnail(QStringLiteral("Конверт мини2.bmp"));
    m_notebook1->setCurrentIndex(0);
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

void TForm1::openInDesktop(const QUrl &url)
{
    // The result is not checked: a desktop without a handler simply does nothing.
    QDesktopServices::openUrl(url);
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
