#include "envelope/ui/printsettingstab.h"

#include "envelope/calibration.h"
#include "envelope/commenttexts.h"
#include "envelope/datafiles.h"
#include "envelope/fontres.h"
#include "envelope/envelopeformat.h"
#include "envelope/runsettings.h"
#include "envelope/ui/errorbox.h"
#include "report/page.h"
#include "report/printer.h"
#include "report/reporterror.h"
#include "store/tables.h"
#include "store/ui/dbcontrols.h"

#include <QCheckBox>
#include <QDir>
#include <QFontDialog>
#include <QFontDatabase>
#include <cstdlib>
#include <QFontInfo>
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

// The groups fill the width the settings tabs have beside the link panels.
constexpr int GroupWidth = 774;

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

// The style of a family that is bold and slanted as asked, by the family's
// own name for it; empty when the family has none.
QString styleNameOf(const QString &family, bool bold, bool italic)
{
    const int wanted = bold ? QFont::Bold : QFont::Normal;
    QString best;
    int bestDistance = 0;
    for (const QString &style : QFontDatabase::styles(family)) {
        if (QFontDatabase::bold(family, style) != bold || QFontDatabase::italic(family, style) != italic)
            continue;
        // The plain weight, and of equal ones the plainest name ("Book", not "Condensed").
        const int distance = std::abs(QFontDatabase::weight(family, style) - wanted) * 100 + int(style.size());
        if (best.isEmpty() || distance < bestDistance) {
            best = style;
            bestDistance = distance;
        }
    }
    return best;
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
    m_dialog->setOption(QFontDialog::DontUseNativeDialog);
    connect(m_dialog, &QFontDialog::currentFontChanged, this, &PrintSettingsTab::keepStyleOverFamilies);
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
    group->setGeometry(8, 2, GroupWidth, 96);
    auto *choose = button(QStringLiteral("BitBtn7"), QStringLiteral("Выбор шрифта для текущего сеанса работы"),
                          group, QRect(10, 22, 292, 30));
    connect(choose, &QPushButton::clicked, this, &PrintSettingsTab::BitBtn7Click);
    auto *save = button(QStringLiteral("BitBtn8"), QStringLiteral("Сохранить шрифт для следующего сеанса"),
                        group, QRect(10, 58, 292, 30));
    connect(save, &QPushButton::clicked, this, &PrintSettingsTab::BitBtn8Click);

    auto panel = [group](const QString &name, const QRect &box) {
        auto *label = new QLabel(group);
        label->setObjectName(name);
        // A plain box: a sunken panel's light edges vanish on the white fill.
        label->setFrameShape(QFrame::Box);
        label->setFrameShadow(QFrame::Plain);
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        QPalette p = label->palette();
        p.setColor(QPalette::Window, Qt::white);
        label->setPalette(p);
        label->setGeometry(box);
        return label;
    };
    m_panelFont1 = panel(QStringLiteral("PanelFont1"), QRect(310, 22, 454, 32));
    m_panelFont1->setText(QStringLiteral("Пример установленного шрифта"));
    m_panelFont2 = panel(QStringLiteral("PanelFont2"), QRect(310, 58, 454, 32));
    m_panelFont2->setText(QStringLiteral("Пример сохранённого шрифта"));
}

void PrintSettingsTab::buildOffsetsGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Смещения при печати"), this);
    group->setObjectName(QStringLiteral("GroupBoxOffsets"));
    group->setGeometry(8, 100, GroupWidth, 194);

    m_offsets = new store::ui::DbGrid(&m_tables.Table5,
                                      {{QStringLiteral("PrinterName"), QStringLiteral("Название"), 20},
                                       {QStringLiteral("Dx"), QStringLiteral("По гориз."), 7},
                                       {QStringLiteral("Dy"), QStringLiteral("По верт."), 7}},
                                      group);
    m_offsets->setObjectName(QStringLiteral("DBGrid4"));
    m_offsets->setGeometry(10, 22, 330, 98);
    m_offsets->setColumnWidth(0, 170);
    m_offsets->setColumnWidth(1, 75);
    m_offsets->setColumnWidth(2, 75);
    m_offsets->setEditable(true);
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
    navigator->setGeometry(10, 124, 160, 30);
    navigator->setHint(Nav::Insert, QStringLiteral("Добавить новое смещение"));
    navigator->setHint(Nav::Delete, QStringLiteral("Удалить смещение"));
    navigator->setHint(Nav::Post, QStringLiteral("Сохранить изменения"));
    navigator->setHint(Nav::Cancel, QStringLiteral("Отменить изменения"));

    auto *choose = button(QStringLiteral("BitBtn9"), QStringLiteral("Выбрать смещение"), group,
                          QRect(180, 124, 160, 30));
    connect(choose, &QPushButton::clicked, this, &PrintSettingsTab::BitBtn9Click);

    infoText(OffsetsInfo, group, QRect(348, 20, 416, 138))->setObjectName(QStringLiteral("PanelOffsetsInfo"));
    auto *sheet = button(QStringLiteral("BitBtnCalibration"), QStringLiteral("Калибровочный лист"), group,
                         QRect(10, 158, 330, 30));
    sheet->setToolTip(QStringLiteral("Печать листа с метками и шкалами на выбранном формате конверта: "
                                     "по нему измеряются смещения принтера"));
    connect(sheet, &QPushButton::clicked, this, [this] { BitBtnCalibrationClick(); });
    buildOneJobSwitch(group, QRect(352, 162, 412, 26));
}

// Whether a print run goes to the printer as one job of all its envelopes.
// The settings row has no field for it; it is kept in its own small file,
// written as soon as it changes.
void PrintSettingsTab::buildOneJobSwitch(QWidget *group, const QRect &box)
{
    m_oneJob = new QCheckBox(QStringLiteral("Отправлять всю печать одним заданием"), group);
    m_oneJob->setObjectName(QStringLiteral("CheckBoxOneJob"));
    m_oneJob->setToolTip(QStringLiteral("Выключено: каждый конверт — отдельное задание печати.\n"
                                        "Включено: все конверты уходят на принтер одним заданием; "
                                        "так намного быстрее, когда конвертов много."));
    m_oneJob->setGeometry(box);
    m_oneJob->setChecked(loadOneJobPerRun(m_dataFolder));
    connect(m_oneJob, &QCheckBox::toggled, this, [this](bool on) {
        if (saveOneJobPerRun(m_dataFolder, on))
            return;
        const QSignalBlocker block(m_oneJob);
        m_oneJob->setChecked(!on);
        ui::showErrorBox(this, QStringLiteral("Не удалось сохранить настройку в файле «%1». "
                                              "Проверьте, что папка base доступна для записи.")
                                   .arg(QDir::toNativeSeparators(runSettingsPath(m_dataFolder))));
    });
}

bool PrintSettingsTab::oneJobPerRun() const
{
    return m_oneJob->isChecked();
}

void PrintSettingsTab::buildZipCodeGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Печать индекса получателя(большой, слева внизу конверта)"), this);
    group->setObjectName(QStringLiteral("GroupBoxZIPcode"));
    group->setGeometry(8, 296, GroupWidth, 104);
    auto *zip = new store::ui::DbCheckBox(&m_tables.Table1, QStringLiteral("PrintZIPcode"),
                                          QStringLiteral("Печатать"), group);
    zip->setObjectName(QStringLiteral("DBCheckBox2"));
    zip->setGeometry(10, 24, 100, 24);
    infoText(ZipInfo, group, QRect(100, 18, 664, 80))->setObjectName(QStringLiteral("PanelZIPcodeInfo"));
}

void PrintSettingsTab::buildCommentGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Печатать комментарий на конверте"), this);
    group->setObjectName(QStringLiteral("GroupBoxComment"));
    group->setGeometry(8, 402, GroupWidth, 142);
    auto *print = new store::ui::DbCheckBox(&m_tables.Table1, QStringLiteral("PrintKonvertComment"),
                                            QStringLiteral("Печатать"), group);
    print->setObjectName(QStringLiteral("DBCheckBox4"));
    print->setGeometry(10, 24, 100, 24);

    m_comment = new store::ui::DbMemo(&m_tables.Table1, QStringLiteral("KonvertComment"), group);
    m_comment->setObjectName(QStringLiteral("KonvertCommentDBMemo"));
    m_comment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_comment->setGeometry(100, 20, 420, 114);

    struct Quick { const char *name; QString caption; QString phrase; };
    const Quick quick[] = {
        {"SpeedButton5", QStringLiteral("Заказное"), QuickRegistered},
        {"SpeedButton8", QStringLiteral("Ценное"), QuickDeclaredValue},
        {"SpeedButton6", QStringLiteral("Простое уведомл."), QuickSimpleNotice},
        {"SpeedButton7", QStringLiteral("Заказное уведомл."), QuickRegisteredNotice},
    };
    int y = 20;
    auto *clear = new QToolButton(group);
    clear->setObjectName(QStringLiteral("SpeedButton4"));
    clear->setText(QStringLiteral("Очистить"));
    clear->setGeometry(530, y, 160, 22);
    connect(clear, &QToolButton::clicked, this, &PrintSettingsTab::clearComment);
    for (const Quick &q : quick) {
        y += 24;
        auto *b = new QToolButton(group);
        b->setObjectName(QString::fromLatin1(q.name));
        b->setText(q.caption);
        b->setGeometry(530, y, 160, 22);
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
    // The dialog lists installed families only: it opens on the family the
    // print font is drawn with (Arial is drawn with its metric twin
    // Liberation Sans), and a family left as it was keeps its stored name.
    const QString drawnWith = QFontInfo(current).family();
    QFont shown = current;
    shown.setFamily(drawnWith);
    shown.setStyleName(styleNameOf(drawnWith, current.bold(), current.italic()));
    m_dialog->setCurrentFont(shown);
    m_dialogStyle = {drawnWith, current.bold(), current.italic()};
    if (m_dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    QFont chosen = m_dialog->selectedFont();
    if (chosen.family() == drawnWith)
        chosen.setFamily(current.family());
    return chosen;
}

// The dialog matches styles by name, and families name them differently
// ("Regular", "Book", "Обычный"): after a change of family it may fall back
// to the family's first style. Boldness and slant are kept instead.
void PrintSettingsTab::keepStyleOverFamilies(const QFont &font)
{
    if (m_adjustingStyle)
        return;
    if (font.family() != m_dialogStyle.family
        && (font.bold() != m_dialogStyle.bold || font.italic() != m_dialogStyle.italic)) {
        const QString style = styleNameOf(font.family(), m_dialogStyle.bold, m_dialogStyle.italic);
        if (!style.isEmpty()) {
            // After the dialog has finished its own handling of the click.
            QFont kept = font;
            kept.setStyleName(style);
            m_dialogStyle.family = font.family();
            QMetaObject::invokeMethod(this, [this, kept] {
                m_adjustingStyle = true;
                m_dialog->setCurrentFont(kept);
                m_adjustingStyle = false;
            }, Qt::QueuedConnection);
            return;
        }
    }
    m_dialogStyle = {font.family(), font.bold(), font.italic()};
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
    report::ReportPage page;
    buildCalibrationSheet(page, format, offset);
    try {
        const QString problem = page.paperProblem();
        if (!problem.isEmpty())
            throw report::ReportError(report::ReportError::Kind::BadPaperSize, problem);
        if (m_sheetOutput)
            return m_sheetOutput(page);
        return report::ReportPrinter().print(page, QStringLiteral("Kuvertix: калибровочный лист"));
    } catch (const report::ReportError &e) {
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
