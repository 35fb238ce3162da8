#include "envelope/ui/printsettingstab.h"

#include "envelope/calibration.h"
#include "envelope/commenttexts.h"
#include "envelope/datafiles.h"
#include "envelope/fontres.h"
#include "envelope/envelopeformat.h"
#include "envelope/ui/errorbox.h"
#include "report/page.h"
#include "report/printer.h"
#include "report/reporterror.h"
#include "store/tables.h"
#include "store/ui/dbcontrols.h"

#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QToolButton>

namespace envelope {
namespace {

const QString OffsetsInfo = QStringLiteral(
    "Разные принтеры могут печатать один и тот же документ с погрешностью его расположения на "
    "бумаге в несколько мм. Если у Вас на принтере все напечатанные элементы одинаково смещены "
    "вверх, вниз, влево или вправо на какую-то одинаковую для всех элементов величину от "
    "ожидаемого положения, то вы можете ввести это смещение здесь и программа будет учитывать "
    "это и печатать корректно на любом принтере. Смещения задаются в миллиметрах. Если "
    "напечатанное смещено влево или вверх от желаемого результата, смещения задаются с "
    "положительным знаком, если вправо или вниз - то с отрицательным.");
const QString ZipInfo = QStringLiteral(
    "Включать эту опцию при печати на конвертах, на которых нанесена разметка для индекса "
    "типографским способом, не рекомендуется, потому, что по ГОСТу на конверты, это поле может "
    "\"плавать\" относительно краёв конверта на 5 мм и Вам придётся подстраивать печать этого "
    "индекса под каждую партию конвертов. Кроме того, современные сортировочные системы вполне "
    "справляются с индексами, размещёнными в полях \"Откуда\" и \"Куда\".");

QLabel *infoText(const QString &text, QWidget *parent, const QRect &box)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFrameShape(QFrame::StyledPanel);
    label->setMargin(4);
    label->setGeometry(box);
    QFont small = label->font();
    small.setPixelSize(11);
    label->setFont(small);
    return label;
}

QPushButton *button(const QString &name, const QString &text, QWidget *parent, const QRect &box)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(box);
    return b;
}

} // namespace

PrintSettingsTab::PrintSettingsTab(store::Tables &tables, const QString &programFolder,
                                   QWidget *parent)
    : QWidget(parent), m_tables(tables), m_dataFolder(dataFolderOf(programFolder))
{
    setObjectName(QStringLiteral("TabSheetPrintSettings"));
    resize(PreferredWidth, PreferredHeight);
    m_dialog = new QFontDialog(this);
    m_dialog->setObjectName(QStringLiteral("FontDialog1"));
    m_chooser = [this](const QFont &current) { return runFontDialog(current); };
    buildFontGroup();
    buildOffsetsGroup();
    buildZipCodeGroup();
    buildCommentGroup();
    showSample(m_panelFont1, m_font);
    showSample(m_panelFont2, m_font);
}

PrintSettingsTab::~PrintSettingsTab() = default;

void PrintSettingsTab::buildFontGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Шрифт"), this);
    group->setObjectName(QStringLiteral("GroupBoxFont"));
    group->setGeometry(8, 2, 944, 96);
    auto *choose = button(QStringLiteral("BitBtn7"), QStringLiteral("Выбор шрифта для текущего сеанса работы"),
                          group, QRect(10, 22, 300, 30));
    connect(choose, &QPushButton::clicked, this, &PrintSettingsTab::BitBtn7Click);
    auto *save = button(QStringLiteral("BitBtn8"), QStringLiteral("Сохранить шрифт для следующего сеанса"),
                        group, QRect(10, 58, 300, 30));
    connect(save, &QPushButton::clicked, this, &PrintSettingsTab::BitBtn8Click);

    auto panel = [group](const QString &name, const QRect &box) {
        auto *label = new QLabel(group);
        label->setObjectName(name);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        QPalette p = label->palette();
        p.setColor(QPalette::Window, Qt::white);
        label->setPalette(p);
        label->setGeometry(box);
        return label;
    };
    m_panelFont1 = panel(QStringLiteral("PanelFont1"), QRect(320, 22, 300, 66));
    m_panelFont1->setText(QStringLiteral("Пример установленного шрифта"));
    m_panelFont2 = panel(QStringLiteral("PanelFont2"), QRect(630, 22, 304, 66));
    m_panelFont2->setText(QStringLiteral("Пример сохранённого шрифта"));
}

void PrintSettingsTab::buildOffsetsGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Смещения при печати"), this);
    group->setObjectName(QStringLiteral("GroupBoxOffsets"));
    group->setGeometry(8, 100, 944, 194);

    m_offsets = new store::ui::DbGrid(&m_tables.Table5,
                                      {{QStringLiteral("PrinterName"), QStringLiteral("Название"), 20},
                                       {QStringLiteral("Dx"), QStringLiteral("По гориз."), 7},
                                       {QStringLiteral("Dy"), QStringLiteral("По верт."), 7}},
                                      group);
    m_offsets->setObjectName(QStringLiteral("DBGrid4"));
    m_offsets->setGeometry(10, 22, 360, 132);
    m_offsets->setColumnWidth(0, 180);
    m_offsets->setColumnWidth(1, 80);
    m_offsets->setColumnWidth(2, 80);
    m_offsets->gridModel()->setReadOnly(false);
    m_offsets->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                               | QAbstractItemView::AnyKeyPressed);
    // The chosen offset in the colour of an active window caption, unlike
    // the selection colour of the grid's current row.
    m_offsets->gridModel()->setCellStyler([this](int row, int, store::ui::CellStyle &style) {
        const int keyField = m_tables.Table5.fieldIndex(QStringLiteral("N"));
        const QVariant key = m_tables.Table5.valueAt(row, keyField);
        if (!key.isNull() && key.toInt() == m_tables.Table1.asInteger(QStringLiteral("Printer"))) {
            style.background = QColor(0x99, 0xB4, 0xD1);
            style.foreground = QColor(Qt::black);
        }
    });
    connect(&m_tables.Table1, &store::Cursor::fieldChanged, m_offsets, [this] {
        m_offsets->viewport()->update();
    });

    using Nav = store::ui::DbNavigator;
    auto *navigator = new Nav(&m_tables.Table5, {Nav::Insert, Nav::Delete, Nav::Post, Nav::Cancel}, group);
    navigator->setObjectName(QStringLiteral("DBNavigator4"));
    navigator->setGeometry(10, 158, 160, 30);
    navigator->setHint(Nav::Insert, QStringLiteral("Добавить новое смещение"));
    navigator->setHint(Nav::Delete, QStringLiteral("Удалить смещение"));
    navigator->setHint(Nav::Post, QStringLiteral("Сохранить изменения"));
    navigator->setHint(Nav::Cancel, QStringLiteral("Отменить изменения"));

    auto *choose = button(QStringLiteral("BitBtn9"), QStringLiteral("Выбрать смещение"), group,
                          QRect(210, 158, 160, 30));
    connect(choose, &QPushButton::clicked, this, &PrintSettingsTab::BitBtn9Click);

    infoText(OffsetsInfo, group, QRect(380, 22, 554, 130))->setObjectName(QStringLiteral("PanelOffsetsInfo"));
    auto *sheet = button(QStringLiteral("BitBtnCalibration"), QStringLiteral("Калибровочный лист"), group,
                         QRect(380, 158, 200, 30));
    sheet->setToolTip(QStringLiteral("Печать листа с метками и шкалами на выбранном формате конверта: "
                                     "по нему измеряются смещения принтера"));
    connect(sheet, &QPushButton::clicked, this, [this] { BitBtnCalibrationClick(); });
}

void PrintSettingsTab::buildZipCodeGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Печать индекса получателя(большой, слева внизу конверта)"), this);
    group->setObjectName(QStringLiteral("GroupBoxZIPcode"));
    group->setGeometry(8, 296, 944, 92);
    auto *zip = new store::ui::DbCheckBox(&m_tables.Table1, QStringLiteral("PrintZIPcode"),
                                          QStringLiteral("Печатать"), group);
    zip->setObjectName(QStringLiteral("DBCheckBox2"));
    zip->setGeometry(10, 24, 100, 24);
    infoText(ZipInfo, group, QRect(120, 20, 814, 64))->setObjectName(QStringLiteral("PanelZIPcodeInfo"));
}

void PrintSettingsTab::buildCommentGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Печатать комментарий на конверте"), this);
    group->setObjectName(QStringLiteral("GroupBoxComment"));
    group->setGeometry(8, 390, 944, 154);
    auto *print = new store::ui::DbCheckBox(&m_tables.Table1, QStringLiteral("PrintKonvertComment"),
                                            QStringLiteral("Печатать"), group);
    print->setObjectName(QStringLiteral("DBCheckBox4"));
    print->setGeometry(10, 24, 100, 24);

    m_comment = new store::ui::DbMemo(&m_tables.Table1, QStringLiteral("KonvertComment"), group);
    m_comment->setObjectName(QStringLiteral("KonvertCommentDBMemo"));
    m_comment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_comment->setGeometry(120, 22, 420, 120);

    struct Quick { const char *name; QString caption; QString phrase; };
    const Quick quick[] = {
        {"SpeedButton5", QStringLiteral("Заказное"), QuickRegistered},
        {"SpeedButton8", QStringLiteral("Ценное"), QuickDeclaredValue},
        {"SpeedButton6", QStringLiteral("Простое уведомл."), QuickSimpleNotice},
        {"SpeedButton7", QStringLiteral("Заказное уведомл."), QuickRegisteredNotice},
    };
    int y = 22;
    auto *clear = new QToolButton(group);
    clear->setObjectName(QStringLiteral("SpeedButton4"));
    clear->setText(QStringLiteral("Очистить"));
    clear->setGeometry(550, y, 160, 22);
    connect(clear, &QToolButton::clicked, this, &PrintSettingsTab::clearComment);
    for (const Quick &q : quick) {
        y += 24;
        auto *b = new QToolButton(group);
        b->setObjectName(QString::fromLatin1(q.name));
        b->setText(q.caption);
        b->setGeometry(550, y, 160, 22);
        const QString phrase = q.phrase;
        connect(b, &QToolButton::clicked, this, [this, phrase] { appendQuickText(phrase); });
    }
}

void PrintSettingsTab::showSample(QLabel *panel, const PrintFont &font)
{
    panel->setFont(font.toQFont());
    QPalette p = panel->palette();
    p.setColor(QPalette::WindowText, font.textColor());
    panel->setPalette(p);
}

void PrintSettingsTab::setPrintFont(const PrintFont &font)
{
    m_font = font;
    emit printFontChanged(m_font);
}

void PrintSettingsTab::loadSavedFont()
{
    setPrintFont(envelope::loadSavedFont(m_dataFolder));
    showSample(m_panelFont1, m_font);
    showSample(m_panelFont2, m_font);
}

std::optional<QFont> PrintSettingsTab::runFontDialog(const QFont &current)
{
    m_dialog->setCurrentFont(current);
    if (m_dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    return m_dialog->selectedFont();
}

void PrintSettingsTab::BitBtn7Click()
{
    // The dialog works in points; the font keeps its whole-point size.
    QFont current = m_font.toQFont();
    current.setPointSize(m_font.pointSize());
    if (const std::optional<QFont> chosen = m_chooser(current)) {
        PrintFont font = m_font;
        font.assignFrom(*chosen);
        setPrintFont(font);
    }
    showSample(m_panelFont1, m_font);
}

void PrintSettingsTab::BitBtn8Click()
{
    try {
        saveFont(m_dataFolder, m_font);
    } catch (const FontFileError &e) {
        ui::showErrorBox(this, e.message());
        return;
    }
    showSample(m_panelFont2, m_font);
}

void PrintSettingsTab::BitBtn9Click()
{
    m_tables.Table1.setValue(QStringLiteral("Printer"), m_tables.Table5.asInteger(QStringLiteral("N")));
    m_tables.Table5.refresh();
    m_offsets->viewport()->update();
}

int PrintSettingsTab::BitBtnCalibrationClick()
{
    const store::Cursor &settings = m_tables.Table1;
    const EnvelopeFormat format = formatWithKey(m_tables.Table4, settings.asInteger(QStringLiteral("N_Konvert")));
    const PrintOffset offset = offsetWithKey(m_tables.Table5, settings.asInteger(QStringLiteral("Printer")));
    ReportPage page;
    buildCalibrationSheet(page, format, offset);
    try {
        const QString problem = page.paperProblem();
        if (!problem.isEmpty())
            throw ReportError(ReportError::Kind::BadPaperSize, problem);
        if (m_sheetOutput)
            return m_sheetOutput(page);
        return ReportPrinter().print(page, QStringLiteral("Kuvertix: калибровочный лист"));
    } catch (const ReportError &e) {
        ui::showErrorBox(this, e.message());
        return 0;
    }
}

void PrintSettingsTab::appendQuickText(const QString &phrase)
{
    m_tables.Table1.setValue(QStringLiteral("KonvertComment"),
                             withQuickText(m_comment->toPlainText(), phrase));
}

void PrintSettingsTab::clearComment()
{
    m_tables.Table1.setValue(QStringLiteral("KonvertComment"), QString());
}

} // namespace envelope
