#include "envelope/ui/maintab.h"

#include "envelope/envelopepage.h"
#include "envelope/logo.h"
#include "envelope/ui/envelopepreview.h"
#include "envelope/ui/errorbox.h"
#include "report/reporterror.h"
#include "store/tables.h"
#include "store/ui/dbcontrols.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace envelope {
namespace {

const QString NoteText = QStringLiteral(
    "Вставлять конверт в принтер нужно узкой стороной(в некоторых моделях принтеров в "
    "специальный лоток для конвертов!), маркой вперёд или назад зависит от модели вашего "
    "принтера. Посмотрите инструкцию к принтеру или попробуйте на плохом конверте. Чтобы в "
    "следующий раз не забыть какой стороной нужно вставлять конверт в Ваш принтер, пометьте это "
    "в окне справа. Для выбора типа конверта(размеченный в типографии или без типографской "
    "разметки) щёлкните мышью на изображении конверта.");
const QString PreviewHint = QStringLiteral("Щёлкните для выбора типа конверта");
const QSize ThumbnailSize(264, 136);
const QColor InfoBackground(255, 255, 225);  // the system colour of tooltips and notes

// The design-time thumbnail: a plain envelope outline.
QPixmap designThumbnail()
{
    QPixmap pixmap(ThumbnailSize);
    pixmap.fill(QColor(0xFB, 0xF8, 0xEE));
    QPainter p(&pixmap);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    p.drawRect(QRect(QPoint(0, 0), ThumbnailSize).adjusted(0, 0, -1, -1));
    p.drawRect(QRect(218, 8, 36, 40));
    return pixmap;
}

QLabel *caption(const QString &text, QWidget *parent, const QRect &box)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(box);
    return label;
}

} // namespace

MainTab::MainTab(store::Tables &tables, const QString &programFolder, QWidget *parent)
    : QWidget(parent), m_tables(tables), m_programFolder(programFolder), m_printer(tables)
{
    setObjectName(QStringLiteral("TabSheetMain"));
    resize(PreferredWidth, PreferredHeight);
    buildAddressGroups();
    buildNote();
    buildPreview();
    buildPrintControls();

    connect(&m_tables.Table1, &store::Cursor::fieldChanged, this, [this] { syncPreviewLabels(); });
    connect(&m_tables.Table1, &store::Cursor::recordChanged, this, [this] { syncPreviewLabels(); });
    applySettingsRow();
}

MainTab::~MainTab() = default;

void MainTab::buildAddressGroups()
{
    auto addEdit = [this](QWidget *group, const QString &field, const QString &label, int y,
                          int width) {
        caption(label, group, QRect(8, y + 3, 60, 18));
        auto *edit = new store::ui::DbLineEdit(&m_tables.Table1, field, group);
        edit->setObjectName(QStringLiteral("DBEdit") + field);
        edit->setGeometry(70, y, width, 22);
        return edit;
    };
    auto *recipient = new QGroupBox(QStringLiteral("Получатель"), this);
    recipient->setObjectName(QStringLiteral("GroupBoxRecipient"));
    recipient->setGeometry(8, 4, 472, 100);
    addEdit(recipient, QStringLiteral("Komu"), QStringLiteral("Кому"), 20, 394);
    addEdit(recipient, QStringLiteral("Kuda"), QStringLiteral("Куда"), 46, 394);
    addEdit(recipient, QStringLiteral("Index"), QStringLiteral("Индекс"), 72, 100);

    auto *sender = new QGroupBox(QStringLiteral("Отправитель"), this);
    sender->setObjectName(QStringLiteral("GroupBoxSender"));
    sender->setGeometry(8, 108, 472, 100);
    // The current sender stands on the info colour: it is chosen on the
    // senders' tab and only shown here.
    for (QWidget *edit : {addEdit(sender, QStringLiteral("OtKogo"), QStringLiteral("От кого"), 20, 394),
                          addEdit(sender, QStringLiteral("OtKuda"), QStringLiteral("Откуда"), 46, 394),
                          addEdit(sender, QStringLiteral("OtIndex"), QStringLiteral("Индекс"), 72, 100)}) {
        QPalette p = edit->palette();
        p.setColor(QPalette::Base, InfoBackground);
        edit->setPalette(p);
    }
}

void MainTab::buildNote()
{
    auto *note = new QLabel(NoteText, this);
    note->setObjectName(QStringLiteral("LabelInsertNote"));
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    note->setGeometry(8, 212, 344, 116);
    QFont small = note->font();
    small.setPixelSize(10);
    note->setFont(small);

    auto *memo = new store::ui::DbMemo(&m_tables.Table1, QStringLiteral("Comment"), this);
    memo->setObjectName(QStringLiteral("DBMemoComment"));
    memo->setGeometry(358, 214, 122, 110);
}

void MainTab::buildPreview()
{
    const QRect area(496, 10, ThumbnailSize.width(), ThumbnailSize.height());
    m_thumbnail = new QLabel(this);
    m_thumbnail->setObjectName(QStringLiteral("Image1"));
    m_thumbnail->setGeometry(area);
    m_thumbnail->setPixmap(designThumbnail());

    m_logoView = new QLabel(this);
    m_logoView->setObjectName(QStringLiteral("ImageLogo"));
    m_logoView->setGeometry(area.left() + 130, area.top() + 7, 30, 22);
    m_logoView->setScaledContents(true);  // stretched to its box

    m_zipLabel = new QLabel(QStringLiteral("-123456"), this);
    m_zipLabel->setObjectName(QStringLiteral("LabelZIPcode"));
    QFont zip(ZipCodeFontFamily);
    zip.setPixelSize(20);
    zip.setBold(true);
    m_zipLabel->setFont(zip);
    m_zipLabel->setGeometry(area.left() + 10, area.top() + 102, 110, 26);

    m_commentLabel = new store::ui::DbLabel(&m_tables.Table1, QStringLiteral("KonvertComment"), this);
    m_commentLabel->setObjectName(QStringLiteral("DBText1"));
    QFont tiny = m_commentLabel->font();
    tiny.setPixelSize(5);
    m_commentLabel->setFont(tiny);
    m_commentLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_commentLabel->setGeometry(area.left() + 140, area.top() + 44, 76, 30);

    for (QLabel *w : {m_thumbnail, m_logoView, m_zipLabel, m_commentLabel}) {
        w->setToolTip(PreviewHint);
        w->setAttribute(Qt::WA_TranslucentBackground, w != m_thumbnail);
        w->setCursor(Qt::PointingHandCursor);
        w->installEventFilter(this);
    }
}

void MainTab::buildPrintControls()
{
    const int x = 496;
    caption(QStringLiteral("Формат конверта:"), this, QRect(x, 156, 120, 20));
    m_formats = new store::ui::DbLookupComboBox(&m_tables.Table1, QStringLiteral("N_Konvert"),
                                                &m_tables.Table4, QStringLiteral("NameKonvert"),
                                                QStringLiteral("N"), this);
    m_formats->setObjectName(QStringLiteral("DBLookupComboBox1"));
    m_formats->setToolTip(QStringLiteral("Формат конверта"));
    m_formats->setGeometry(x, 176, 264, 24);

    m_logoSwitch = new store::ui::DbCheckBox(&m_tables.Table1, QStringLiteral("PrintLogo"),
                                             QStringLiteral("Логотип"), this);
    m_logoSwitch->setObjectName(QStringLiteral("DBCheckBox1"));
    m_logoSwitch->setToolTip(QStringLiteral("Печатать логотип(картинку) на конверте"));
    m_logoSwitch->setGeometry(x, 210, 90, 24);
    connect(m_logoSwitch, &QCheckBox::toggled, this, &MainTab::DBCheckBox1Click);

    auto *chooseLogo = new QPushButton(QStringLiteral("Выбор логотипа"), this);
    chooseLogo->setObjectName(QStringLiteral("BitBtn10"));
    chooseLogo->setGeometry(x + 100, 208, 164, 28);
    connect(chooseLogo, &QPushButton::clicked, this, &MainTab::BitBtn10Click);

    auto *print = new QPushButton(QStringLiteral("Печать"), this);
    print->setObjectName(QStringLiteral("BitBtnPrint"));
    print->setToolTip(QStringLiteral("Печать конверта"));
    print->setGeometry(x, 250, 264, 40);
    QFont bold = print->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    print->setFont(bold);
    connect(print, &QPushButton::clicked, this, [this] { BitBtnPrintClick(); });

    auto *preview = new QPushButton(QStringLiteral("Просмотр конверта"), this);
    preview->setObjectName(QStringLiteral("BitBtnPreview"));
    preview->setToolTip(QStringLiteral("Конверт так, как он будет напечатан"));
    preview->setGeometry(x, 296, 264, 28);
    connect(preview, &QPushButton::clicked, this, [this] { BitBtnPreviewClick(); });
}

EnvelopePreviewWindow *MainTab::BitBtnPreviewClick()
{
    if (!m_preview) {
        PreviewSource source;
        source.format = [this] {
            return formatWithKey(m_tables.Table4, m_tables.Table1.asInteger(QStringLiteral("N_Konvert")));
        };
        source.offset = [this] {
            return offsetWithKey(m_tables.Table5, m_tables.Table1.asInteger(QStringLiteral("Printer")));
        };
        source.options = [this] { return m_printer.settingsRowOptions(); };
        source.texts = [this] { return m_printer.settingsRowTexts(); };
        source.runEnvelopes = m_runSource;
        m_preview = new EnvelopePreviewWindow(QStringLiteral("Просмотр конверта"), source, false, this);
        m_preview->setObjectName(QStringLiteral("FormPreview"));
        m_preview->setAttribute(Qt::WA_DeleteOnClose);
        for (store::Cursor *cursor : {&m_tables.Table1, &m_tables.Table4, &m_tables.Table5}) {
            connect(cursor, &store::Cursor::fieldChanged, m_preview, &EnvelopePreviewWindow::refresh);
            connect(cursor, &store::Cursor::recordChanged, m_preview, &EnvelopePreviewWindow::refresh);
            connect(cursor, &store::Cursor::rowChanged, m_preview, &EnvelopePreviewWindow::refresh);
        }
    }
    m_preview->show();
    m_preview->raise();
    m_preview->refresh();
    return m_preview;
}

void MainTab::applySettingsRow()
{
    DBCheckBox1Click(m_tables.Table1.asBoolean(QStringLiteral("PrintLogo")));
    syncPreviewLabels();
    showEnvelopeType(m_tables.Table1.asInteger(QStringLiteral("TypKonv")));
}

void MainTab::syncPreviewLabels()
{
    m_zipLabel->setVisible(m_tables.Table1.asBoolean(QStringLiteral("PrintZIPcode")));
    m_commentLabel->setVisible(m_tables.Table1.asBoolean(QStringLiteral("PrintKonvertComment")));
}

void MainTab::setPrintFont(const PrintFont &font)
{
    m_printer.setPrintFont(font);
    if (m_preview)
        m_preview->refresh();
}

bool MainTab::showEnvelopeType(int typKonv)
{
    if (typKonv != 1 && typKonv != 2)
        return true;
    const QString file = QDir(m_programFolder)
                             .filePath(typKonv == 1 ? QStringLiteral("Конверт мини1.bmp")
                                                    : QStringLiteral("Конверт мини2.bmp"));
    // A missing thumbnail keeps the picture shown; it is no reason to stop.
    const QPixmap pixmap(file);
    if (pixmap.isNull())
        return false;
    m_thumbnail->setPixmap(pixmap.scaled(ThumbnailSize));
    return true;
}

void MainTab::refreshZipCodeFont()
{
    QFont font = m_zipLabel->font();
    font.setFamily(QStringLiteral("Arial"));
    m_zipLabel->setFont(font);
    font.setFamily(ZipCodeFontFamily);
    m_zipLabel->setFont(font);
}

bool MainTab::chooseEnvelopeType(int typKonv)
{
    // Showing the stored type at start writes nothing (the settings row may
    // be read-only).
    if (m_tables.Table1.asInteger(QStringLiteral("TypKonv")) != typKonv)
        m_tables.Table1.setValue(QStringLiteral("TypKonv"), typKonv);
    return showEnvelopeType(typKonv);
}

void MainTab::setLogo(const QImage &logo)
{
    m_logo = logo;
    m_printer.setPreviewLogo(logo);
    m_logoView->setPixmap(logo.isNull() ? QPixmap() : QPixmap::fromImage(logo));
    if (m_preview)
        m_preview->refresh();
}

void MainTab::DBCheckBox1Click(bool checked)
{
    if (!checked) {
        setLogo(QImage());
        return;
    }
    const QString path =
        logoFilePath(m_programFolder, m_tables.Table1.asString(QStringLiteral("Logo_ext")));
    // A missing, empty or unreadable file leaves the picture as it was.
    const PictureFile picture = readPicture(path);
    if (picture.ok())
        setLogo(picture.image);
}

bool MainTab::chooseLogoFile(const QString &fileName)
{
    const PictureFile picture = readPicture(fileName);
    if (!picture.ok()) {
        ui::showErrorBox(this, picture.message());
        return false;
    }
    const QString ext = logoExtension(fileName);
    // The settings follow only a logo that was stored whole.
    try {
        storeLogoFile(fileName, logoFilePath(m_programFolder, ext));
    } catch (const LogoFileError &e) {
        ui::showErrorBox(this, e.message());
        return false;
    }
    setLogo(picture.image);
    m_tables.Table1.setValue(QStringLiteral("Logo_ext"), ext);
    m_tables.Table1.setValue(QStringLiteral("PrintLogo"), true);
    return true;
}

void MainTab::BitBtn10Click()
{
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("Выбор логотипа"), QString(),
        pictureFileFilter());
    if (!file.isEmpty())
        chooseLogoFile(file);
}

bool MainTab::BitBtnPrintClick()
{
    try {
        m_printer.printFromSettingsRow();
        return true;
    } catch (const report::ReportError &e) {
        ui::showErrorBox(this, e.message());
        return false;
    }
}

bool MainTab::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
        && (watched == m_thumbnail || watched == m_logoView || watched == m_zipLabel
            || watched == m_commentLabel)) {
        emit envelopeTypeClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace envelope
