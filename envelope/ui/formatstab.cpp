#include "envelope/ui/formatstab.h"

#include "envelope/envelopeformat.h"
#include "envelope/envelopeprinter.h"
#include "envelope/ui/envelopepreview.h"
#include "envelope/ui/errorbox.h"
#include "store/tables.h"
#include "store/ui/dbcontrols.h"

#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>

namespace envelope {
namespace {

const QString EditInfo = QStringLiteral(
    "В этом окне вы можете менять расположение на конвертах полей \"Кому\", \"Куда\", "
    "\"Индекс\"  и других, а также создавать свои собственные форматы конвертов с необходимым "
    "Вам расположением адресных полей. Расположение и размеры всех полей задаются в миллиметрах "
    "и отмеряются от левого верхнего угла конверта.");
const QString ChoiceInfo = QStringLiteral(
    "В этом окне осуществляется выбор конверта для редактирования размеров. Выбор конверта для "
    "печати производится на закладке \"Главная\".");

// Columns of the edit groups: "Название", "Отступ слева", "длина",
// "отступ сверху", "ширина", "межстрочное расст.".
const int ColumnX[] = {170, 286, 350, 414, 478, 542};
const int ColumnW[] = {110, 60, 60, 60, 60, 60};

// The edit groups stand right of the format list, within the width the
// settings tabs have beside the link panels.
constexpr int GroupsLeft = 174;
constexpr int GroupsWidth = 606;

struct GroupRow {
    QString caption;
    QString fields[6];  // empty: no box in that column
};

QLabel *info(const QString &text, QWidget *parent, const QRect &box, const QString &name)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFrameShape(QFrame::StyledPanel);
    label->setMargin(4);
    QFont small = label->font();
    small.setPixelSize(11);
    label->setFont(small);
    label->setGeometry(box);
    return label;
}

} // namespace

FormatsTab::FormatsTab(store::Tables &tables, const QString &programFolder, QWidget *parent)
    : QWidget(parent), m_tables(tables), m_programFolder(programFolder)
{
    setObjectName(QStringLiteral("TabSheetFormats"));
    resize(PreferredWidth, PreferredHeight);
    buildList();
    buildInfo();
    buildEditGroups();
}

FormatsTab::~FormatsTab() = default;

void FormatsTab::buildList()
{
    auto *grid = new store::ui::DbGrid(
        &m_tables.Table4, {{QStringLiteral("NameKonvert"), QStringLiteral("Название конверта"), 20}},
        this);
    grid->setObjectName(QStringLiteral("DBGrid3"));
    grid->setEditable(true);
    grid->setGeometry(8, 8, 160, 330);
    grid->horizontalHeader()->setStretchLastSection(true);

    using Nav = store::ui::DbNavigator;
    auto *navigator = new Nav(&m_tables.Table4, {Nav::Insert, Nav::Delete, Nav::Post, Nav::Cancel}, this);
    navigator->setObjectName(QStringLiteral("DBNavigator3"));
    navigator->setGeometry(8, 344, 160, 30);
    navigator->setHint(Nav::Insert, QStringLiteral("Добавить новый конверт"));
    navigator->setHint(Nav::Delete, QStringLiteral("Удалить конверт"));
    navigator->setHint(Nav::Post, QStringLiteral("Сохранить изменения"));
    navigator->setHint(Nav::Cancel, QStringLiteral("Отменить изменения"));

    auto *copy = new QPushButton(QStringLiteral("Сделать копию конверта"), this);
    copy->setObjectName(QStringLiteral("BitBtn5"));
    copy->setGeometry(8, 380, 160, 30);
    connect(copy, &QPushButton::clicked, this, &FormatsTab::BitBtn5Click);

    info(ChoiceInfo, this, QRect(8, 416, 160, 126), QStringLiteral("PanelFormatsChoice"));
}

void FormatsTab::buildInfo()
{
    info(EditInfo, this, QRect(GroupsLeft, 8, 532, 62), QStringLiteral("PanelFormatsInfo"));
    auto *example = new QPushButton(QStringLiteral("Пример"), this);
    example->setObjectName(QStringLiteral("BitBtn6"));
    example->setGeometry(GroupsLeft + 538, 8, 68, 62);
    connect(example, &QPushButton::clicked, this, &FormatsTab::BitBtn6Click);

    auto *preview = new QPushButton(QStringLiteral("Просмотр с рамками"), this);
    preview->setObjectName(QStringLiteral("BitBtnFormatPreview"));
    preview->setToolTip(QStringLiteral("Конверт этого формата, все поля обведены и подписаны"));
    preview->setGeometry(188, 70, 190, 26);
    connect(preview, &QPushButton::clicked, this, [this] { BitBtnFormatPreviewClick(); });
}

EnvelopePreviewWindow *FormatsTab::BitBtnFormatPreviewClick()
{
    if (!m_preview) {
        PreviewSource source;
        source.format = [this] { return formatOfCurrentRow(m_tables.Table4); };
        source.offset = [] { return PrintOffset{}; };
        // Every box of the format is placed, whether or not it prints now.
        source.options = [this] {
            EnvelopeOptions options = m_printer ? m_printer->settingsRowOptions() : EnvelopeOptions{};
            options.printLogo = options.printZipCode = options.printComment = true;
            return options;
        };
        source.texts = [this] { return m_printer ? m_printer->settingsRowTexts() : EnvelopeTexts{}; };
        m_preview = new EnvelopePreviewWindow(QStringLiteral("Формат конверта"), source, true, this);
        m_preview->setObjectName(QStringLiteral("FormFormatPreview"));
        m_preview->setAttribute(Qt::WA_DeleteOnClose);
        connect(&m_tables.Table4, &store::Cursor::fieldChanged, m_preview, &EnvelopePreviewWindow::refresh);
        connect(&m_tables.Table4, &store::Cursor::recordChanged, m_preview, &EnvelopePreviewWindow::refresh);
        connect(&m_tables.Table1, &store::Cursor::fieldChanged, m_preview, &EnvelopePreviewWindow::refresh);
    }
    m_preview->show();
    m_preview->raise();
    m_preview->refresh();
    return m_preview;
}

void FormatsTab::buildEditGroups()
{
    const QString titles[] = {QStringLiteral("Название"), QStringLiteral("Отступ слева"),
                              QStringLiteral("длина"),    QStringLiteral("отступ сверху"),
                              QStringLiteral("ширина"),   QStringLiteral("межстрочное расст.")};
    const int left = GroupsLeft;
    for (int c = 0; c < 6; ++c) {
        auto *title = new QLabel(titles[c], this);
        title->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        title->setWordWrap(true);
        QFont bold = title->font();
        bold.setBold(true);
        bold.setPixelSize(11);
        title->setFont(bold);
        const int extra = c == 5 ? 28 : 0;  // the longest heading
        title->setGeometry(left + ColumnX[c] - extra / 2, 72, ColumnW[c] + extra, 28);
    }
    const GroupRow rows[] = {
        {QStringLiteral("Конверт"), {"NameKonvert", "", "W", "", "H", "LinesH"}},
        {QStringLiteral("От кого"), {"", "OtkogoL", "OtkogoW", "OtkogoT", "OtkogoH", ""}},
        {QStringLiteral("Откуда"), {"", "OtkudaL", "OtkudaW", "OtkudaT", "OtkudaH", ""}},
        {QStringLiteral("Индекс отправителя"), {"", "OtindexL", "OtindexW", "OtindexT", "OtindexH", ""}},
        {QStringLiteral("Кому"), {"", "KomuL", "KomuW", "KomuT", "KomuH", ""}},
        {QStringLiteral("Куда"), {"", "KudaL", "KudaW", "KudaT", "KudaH", ""}},
        {QStringLiteral("Индекс получателя"), {"", "IndexL", "IndexW", "IndexT", "IndexH", ""}},
        {QStringLiteral("Индекс получателя(большой, слева внизу)"), {"", "ZIPcodeL", "", "ZIPcodeT", "", ""}},
        {QStringLiteral("Логотип"), {"", "LogoL", "LogoW", "LogoT", "LogoH", ""}},
        {QStringLiteral("Комментарий"), {"", "KonvertCommentL", "KonvertCommentW", "KonvertCommentT", "KonvertCommentH", ""}},
    };
    int y = 102;
    for (const GroupRow &row : rows) {
        auto *group = new QGroupBox(this);
        group->setGeometry(left, y, GroupsWidth, 40);
        // Captions in the small font of the headings, so the longest takes
        // two lines.
        auto *caption = new QLabel(row.caption, group);
        caption->setWordWrap(true);
        QFont small = caption->font();
        small.setPixelSize(11);
        caption->setFont(small);
        caption->setGeometry(6, 1, 160, 38);
        for (int c = 0; c < 6; ++c) {
            if (row.fields[c].isEmpty())
                continue;
            auto *edit = new store::ui::DbLineEdit(&m_tables.Table4, row.fields[c], group);
            edit->setObjectName(QStringLiteral("DBEdit") + row.fields[c]);
            edit->setGeometry(ColumnX[c], 9, ColumnW[c], 22);
        }
        group->setObjectName(QStringLiteral("GroupBox") + (row.fields[0].isEmpty()
                                                               ? row.fields[1].chopped(1)
                                                               : QStringLiteral("Konvert")));
        y += 42;
    }
}

void FormatsTab::BitBtn5Click()
{
    copyEnvelopeFormat(m_tables.Table4, m_tables.Table4_);
}

void FormatsTab::BitBtn6Click()
{
    ui::openWithDesktop(QDir(m_programFolder).filePath(QStringLiteral("Схема замеров.png")));
}

} // namespace envelope
