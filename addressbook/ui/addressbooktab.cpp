#include "addressbook/ui/addressbooktab.h"

#include "addressbook/ui/colours.h"
#include "addressbook/filterhistory.h"
#include "addressbook/marks.h"
#include "addressbook/ui/showmessage.h"
#include "envelope/ui/printrunpanel.h"
#include "letters/ui/blankstrip.h"
#include "messages/ui/notices.h"
#include "runs/ui/summarywindow.h"
#include "store/errors.h"
#include "store/ui/dbcontrols.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolButton>

namespace addressbook {

// The filter field; opening its list first fills it from the history.
class FilterComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;
    void showPopup() override
    {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

namespace {

// Marked rows get their own background, every other row the grid's plain
// colours, also in the current row; the current row is shown by a small
// indicator at the left of its first cell.
class MarkDelegate : public QStyledItemDelegate {
public:
    MarkDelegate(store::Cursor &cursor, QObject *parent)
        : QStyledItemDelegate(parent), m_cursor(cursor), m_check(cursor.fieldIndex("Check")) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        opt.state &= ~QStyle::State_Selected;
        const bool current = index.row() == m_cursor.viewRowOfCurrent();
        const QColor background = runs::isMarked(m_cursor.valueAt(index.row(), m_check))
            ? colours::activeCaption() : opt.palette.color(QPalette::Base);
        painter->fillRect(opt.rect, background);
        opt.backgroundBrush = background;
        if (index.column() == 0)
            opt.rect.adjust(10, 0, 0, 0);
        opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        if (current && index.column() == 0) {
            const QRect r = option.rect;
            const int cy = r.center().y();
            const QPoint arrow[3] = {{r.left() + 2, cy - 4}, {r.left() + 7, cy}, {r.left() + 2, cy + 4}};
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setBrush(opt.palette.color(QPalette::Text));
            painter->setPen(Qt::NoPen);
            painter->drawPolygon(arrow, 3);
            painter->restore();
        }
    }

private:
    store::Cursor &m_cursor;
    int m_check;
};

QLabel *label(const QString &text, QWidget *parent, int x, int y)
{
    auto *l = new QLabel(text, parent);
    l->move(x, y);
    l->adjustSize();
    return l;
}

void setColours(QWidget *w, const QColor &text, const QColor &background)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::Button, background);  // buttons fill their background with this role
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QFrame *reminderBar(const QString &name, QWidget *parent)
{
    auto *bar = new QFrame(parent);
    bar->setObjectName(name);
    bar->setFrameShape(QFrame::NoFrame);
    bar->resize(20, 5);
    bar->setAutoFillBackground(true);
    QPalette p = bar->palette();
    p.setColor(QPalette::Window, colours::reminderRed());
    bar->setPalette(p);
    bar->setEnabled(false);
    bar->hide();
    return bar;
}

// A green sheet with a header row and grid lines.
QPixmap spreadsheetPicture()
{
    QPixmap pixmap(18, 18);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const QColor green(0x1d, 0x7a, 0x3a);
    p.fillRect(1, 1, 16, 16, Qt::white);
    p.fillRect(1, 1, 16, 4, green);
    p.setPen(green.lighter(150));
    for (int y = 9; y < 17; y += 4)
        p.drawLine(2, y, 16, y);
    for (int x = 6; x < 17; x += 5)
        p.drawLine(x, 5, x, 16);
    p.setPen(green);
    p.drawRect(1, 1, 15, 15);
    return pixmap;
}

// A red disc with a white cross.
QPixmap clearingPicture()
{
    QPixmap pixmap(18, 18);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd0, 0x20, 0x20));
    p.drawEllipse(QRectF(1, 1, 16, 16));
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 6), QPointF(12, 12));
    p.drawLine(QPointF(12, 6), QPointF(6, 12));
    return pixmap;
}

QToolButton *pictureButton(QWidget *parent, const QString &name, const QString &hint, const QPixmap &picture,
                           int x)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(picture);
    button->setIconSize(picture.size());
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(x, 0, 26, 26);
    return button;
}

// The page fills the tab control of the main window, left of its link
// panels.
constexpr int pageW = 794, pageH = 490;
constexpr int gridX = 8, gridY = 8, gridW = 300, gridH = 300;
constexpr int fieldsX = 316, fieldLabelW = 52, fieldW = 264;
constexpr int reserveX = 638;
// The address field wraps over five lines, enough for a whole address of
// 150 characters; everything below it moves down by the extra height.
constexpr int kudaExtra = 66;

} // namespace

AddressBookTab::AddressBookTab(store::Tables &tables, const QString &programFolder, QWidget *parent)
    : QWidget(parent), m_tables(tables), m_programFolder(programFolder),
      m_book(tables.Table2, tables.Table2_), m_exchange(this, m_book, [this] { reloadRecipients(); })
{
    setObjectName(QStringLiteral("AddressBookTab"));
    resize(pageW, pageH);
    buildGrid();
    buildFilter();
    buildEditFields();
    buildNavigator();
    buildMarkCommands();
    buildScope();
    buildReservePanel();
    buildPlacesOfOtherParts();
    buildInstruction();

    m_blinkTimer = new QTimer(this);
    m_blinkTimer->setObjectName(QStringLiteral("TimerBlink"));
    m_blinkTimer->setInterval(200);
    connect(m_blinkTimer, &QTimer::timeout, this, &AddressBookTab::blink);
    m_blinkTimer->start();

    connect(&m_book, &RecipientBook::selectedCountChanged, this,
            [this](int count) { m_scope[1]->setText(markedScopeCaption(count)); });
    connect(&m_book, &RecipientBook::savePendingChanged, m_shapePost, &QWidget::setEnabled);
    connect(&m_book, &RecipientBook::inserting, this, [this] { m_komu->setFocus(); });
    connect(&m_tables.Table1, &store::Cursor::recordChanged, this, &AddressBookTab::syncReservePanel);
    connect(&m_tables.Table1, &store::Cursor::fieldChanged, this, [this](int field) {
        if (field == m_tables.Table1.fieldIndex(QStringLiteral("ReservShow")))
            syncReservePanel();
    });
}

void AddressBookTab::buildGrid()
{
    m_grid = new store::ui::DbGrid(&m_tables.Table2,
                                   {{"Komu", QStringLiteral("Кому"), 30, true},
                                    {"Group", QStringLiteral("Группа"), 15, true}},
                                   this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->gridModel()->setReadOnly(true);
    m_grid->gridModel()->setBoldTitles(true);
    m_grid->setItemDelegate(new MarkDelegate(m_tables.Table2, m_grid));
    m_grid->setGeometry(gridX, gridY, gridW, gridH);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this] { m_book.toggleMark(); });
    // The current row's indicator moves with the cursor.
    connect(&m_tables.Table2, &store::Cursor::recordChanged, m_grid->viewport(),
            qOverload<>(&QWidget::update));
}

void AddressBookTab::buildFilter()
{
    const int y = gridY + gridH + 6;
    auto *about = new QToolButton(this);
    about->setObjectName(QStringLiteral("SBFilter"));
    about->setText(QStringLiteral("О фильтре"));
    about->setToolTip(QStringLiteral("Нажмите, чтобы узнать, как работает фильтр"));
    about->setGeometry(gridX, y, 72, 24);
    connect(about, &QToolButton::clicked, this, &AddressBookTab::showFilterHelp);

    m_filter = new FilterComboBox(this);
    m_filter->setObjectName(QStringLiteral("ComboBoxFilter"));
    m_filter->setEditable(true);
    m_filter->setInsertPolicy(QComboBox::NoInsert);
    m_filter->setCompleter(nullptr);  // a completion would change the filter unasked
    m_filter->setMaxVisibleItems(historyCapacity);
    m_filter->setGeometry(gridX + 76, y, gridW - 76 - 28, 24);
    m_filter->beforePopup = [this] { fillFilterHistory(); };
    connect(m_filter, &QComboBox::editTextChanged, this, &AddressBookTab::filterChanged);
    QPalette p = m_filter->lineEdit()->palette();
    p.setColor(QPalette::Base, colours::aqua());
    m_filter->lineEdit()->setPalette(p);

    auto *bar = new QToolButton(this);
    bar->setObjectName(QStringLiteral("SpeedButton1"));
    bar->setText(QStringLiteral("|"));
    bar->setGeometry(gridX + gridW - 24, y, 24, 24);
    bar->setFocusPolicy(Qt::NoFocus);
    connect(bar, &QToolButton::clicked, this, [this] {
        m_filter->setEditText(m_filter->currentText() + QLatin1Char('|'));
        m_filter->lineEdit()->end(false);
    });
}

void AddressBookTab::buildEditFields()
{
    const struct { const char *field; const char *caption; } fields[] = {
        {"Komu", "Кому"}, {"Kuda", "Куда"}, {"Index", "Индекс"}, {"Group", "Группа"}, {"Prim", "Прим."}};
    int y = gridY;
    for (const auto &f : fields) {
        label(QString::fromUtf8(f.caption), this, fieldsX, y + 3);
        const QString field = QString::fromLatin1(f.field);
        QWidget *edit = nullptr;
        if (field == QLatin1String("Kuda")) {
            auto *memo = new store::ui::DbMemo(&m_tables.Table2, field, this);
            memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            memo->setTabChangesFocus(true);
            edit = memo;
        } else {
            edit = new store::ui::DbLineEdit(&m_tables.Table2, field, this);
        }
        edit->setObjectName(QStringLiteral("DBEdit") + field);
        const int extra = field == QLatin1String("Kuda") ? kudaExtra : 0;
        edit->setGeometry(fieldsX + fieldLabelW, y, fieldW, 22 + extra);
        if (!m_komu)
            m_komu = edit;
        y += 28 + extra;
    }
    label(QStringLiteral("Сумма"), this, fieldsX, y + 3);
    m_sumEdit = new QLineEdit(this);
    m_sumEdit->setObjectName(QStringLiteral("EditSum"));
    m_sumEdit->setGeometry(fieldsX + fieldLabelW, y, 120, 22);
    m_sumEdit->setText(m_sum.accepted());
    connect(m_sumEdit, &QLineEdit::textChanged, this, &AddressBookTab::sumChanged);
}

void AddressBookTab::buildNavigator()
{
    using Nav = store::ui::DbNavigator;
    m_navigator = new Nav(&m_tables.Table2, {Nav::Insert, Nav::Delete, Nav::Post, Nav::Cancel}, this);
    m_navigator->setObjectName(QStringLiteral("DBNavigator1"));
    m_navigator->setHint(Nav::Insert, QStringLiteral("Добавить нового адресата"));
    m_navigator->setHint(Nav::Delete, QStringLiteral("Удалить адресата"));
    m_navigator->setHint(Nav::Post, QStringLiteral("Сохранить адресата"));
    m_navigator->setHint(Nav::Cancel, QStringLiteral("Отменить изменения"));
    constexpr int buttonW = 28, navY = gridY + 6 * 28 + 4 + kudaExtra;
    m_navigator->setGeometry(fieldsX + fieldLabelW, navY, 4 * buttonW, 26);
    // Directly under the save button, the third of four.
    m_shapePost = reminderBar(QStringLiteral("ShapePost"), this);
    m_shapePost->move(fieldsX + fieldLabelW + 2 * buttonW + (buttonW - 20) / 2, navY + 27);
}

void AddressBookTab::buildMarkCommands()
{
    const int y = gridY + gridH + 36;
    m_markAll = new QCheckBox(QStringLiteral("Выдел.всех"), this);
    m_markAll->setObjectName(QStringLiteral("CheckBoxCheck"));
    m_markAll->setToolTip(QStringLiteral("Выделить всех"));
    m_markAll->setChecked(true);
    m_markAll->move(gridX, y);
    m_markAll->adjustSize();
    connect(m_markAll, &QCheckBox::clicked, this, [this] {
        m_markAll->setChecked(true);
        m_book.setAllMarks(true);
    });

    m_unmarkAll = new QCheckBox(QStringLiteral("Снять все выдел."), this);
    m_unmarkAll->setObjectName(QStringLiteral("CheckBoxUnCheck"));
    m_unmarkAll->setToolTip(QStringLiteral("Снять все выделения"));
    m_unmarkAll->setChecked(false);
    m_unmarkAll->move(gridX + 110, y);
    m_unmarkAll->adjustSize();
    connect(m_unmarkAll, &QCheckBox::clicked, this, [this] {
        m_unmarkAll->setChecked(false);
        m_book.setAllMarks(false);
    });

    m_sortByMarks = new QCheckBox(QStringLiteral("Сортировка по выделенным"), this);
    m_sortByMarks->setObjectName(QStringLiteral("CheckBox1"));
    m_sortByMarks->move(gridX, y + 22);
    m_sortByMarks->adjustSize();
    connect(m_sortByMarks, &QCheckBox::toggled, &m_book, &RecipientBook::setSortByMarks);
}

void AddressBookTab::buildScope()
{
    const int y = gridY + 7 * 28 + 24 + kudaExtra;
    label(QStringLiteral("Печатать адресатов:"), this, fieldsX, y);
    const QString captions[3] = {QStringLiteral("текущего"), markedScopeCaption(0), QStringLiteral("всех")};
    for (int i = 0; i < 3; ++i) {
        auto *r = new QRadioButton(captions[i], this);
        r->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        r->setGeometry(fieldsX + 8, y + 20 + 22 * i, 140, 20);
        connect(r, &QRadioButton::clicked, this, [this, i] { chooseScope(i); });
        m_scope[i] = r;
    }
    m_scope[0]->setChecked(true);
    setColours(m_scope[1], colours::grayText(), colours::btnFace());
    setColours(m_scope[2], colours::grayText(), colours::btnFace());
}

void AddressBookTab::buildReservePanel()
{
    m_reservePanel = new QFrame(this);
    m_reservePanel->setObjectName(QStringLiteral("PanelReserv"));
    static_cast<QFrame *>(m_reservePanel)->setFrameShape(QFrame::StyledPanel);
    m_reservePanel->setGeometry(reserveX, gridY, pageW - reserveX - 6, gridH);
    for (int n = 1; n <= 6; ++n) {
        const int y = 4 + (n - 1) * 49;
        auto *name = new store::ui::DbLineEdit(&m_tables.Table1, QStringLiteral("ReservName%1").arg(n),
                                               m_reservePanel);
        name->setObjectName(QStringLiteral("DBEditReservName%1").arg(n));
        name->setToolTip(QStringLiteral("Здесь вы можете изменить название резервного поля %1").arg(n));
        name->setFrame(false);
        name->setGeometry(6, y, m_reservePanel->width() - 12, 18);
        QPalette p = name->palette();
        p.setColor(QPalette::Base, colours::btnFace());
        name->setPalette(p);
        auto *value = new store::ui::DbLineEdit(&m_tables.Table2, QStringLiteral("Reserv%1").arg(n),
                                                m_reservePanel);
        value->setObjectName(QStringLiteral("DBEditReserv%1").arg(n));
        value->setGeometry(6, y + 20, m_reservePanel->width() - 12, 22);
    }
    m_reservePanel->hide();
}

// Places kept for the controls the print runs, the spreadsheet exchange and
// the blank strip bring; only the blank strip's reminder bar lives here.
void AddressBookTab::buildPlacesOfOtherParts()
{
    auto *exchange = new QWidget(this);
    exchange->setObjectName(QStringLiteral("PlaceExchangeButtons"));
    exchange->setGeometry(fieldsX + fieldLabelW + 4 * 28 + 8, gridY + 6 * 28 + 4 + kudaExtra, 58, 26);
    buildExchangeButtons(exchange);

    m_printPlace = new QWidget(this);
    m_printPlace->setObjectName(QStringLiteral("PlacePrintButtons"));
    m_printPlace->setGeometry(fieldsX + 150, gridY + 7 * 28 + 24 + kudaExtra, reserveX - fieldsX - 156, 86);

    m_blankStripPlace = new QWidget(this);
    m_blankStripPlace->setObjectName(QStringLiteral("PlaceBlankStrip"));
    // Under the filter and mark commands, so that "Печать бланков" fits to its right.
    m_blankStripPlace->setGeometry(gridX, gridY + gridH + 84, 442, 56);
    m_shapeBlank = reminderBar(QStringLiteral("ShapeBlank"), m_blankStripPlace);
    // Under the right end of the template list, which will stand at 44..300.
    m_shapeBlank->move(280, 27);
}

// The spreadsheet and clearing buttons, 26 x 26, side by side.
void AddressBookTab::buildExchangeButtons(QWidget *place)
{
    QToolButton *exchange = pictureButton(place, QStringLiteral("SpeedButton2"),
                                          QStringLiteral("Выгрузка/загрузка данных из Excel"),
                                          spreadsheetPicture(), 0);
    connect(exchange, &QToolButton::clicked, this, [this] { m_exchange.SpeedButton2Click(); });
    QToolButton *clearing = pictureButton(place, QStringLiteral("SpeedButton3"),
                                          QStringLiteral("Очистка базы адресатов"), clearingPicture(), 32);
    connect(clearing, &QToolButton::clicked, this, &AddressBookTab::SpeedButton3Click);
}

void AddressBookTab::setSheetOfficeFactory(SheetExchange::OfficeFactory factory)
{
    m_exchange.setOfficeFactory(std::move(factory));
}

void AddressBookTab::SpeedButton3Click()
{
    const QStringList buttons{QStringLiteral(" Очистить "), QStringLiteral(" Нет ")};
    const QString caption = window()->windowTitle();
    if (showMessage(this, caption, 400, 100, QStringLiteral("Очистка базы адресатов"), buttons) != 1)
        return;
    if (showMessage(this, caption, 400, 100,
                    QStringLiteral("Вы уверены, что хотите полностью очистить базу адресатов?"), buttons) != 1)
        return;
    try {
        m_book.clearListed();
    } catch (const store::StoreError &e) {
        messages::ShowErrorNotice(this, caption, QStringLiteral("Адресаты не удалены: базу адресатов не удалось "
                                                      "изменить.\n\n") + e.message());
    }
}

void AddressBookTab::buildInstruction()
{
    auto *info = new QLabel(QStringLiteral(
        "Адресат выделяется двойным щелчком мыши в списке адресатов. Печать бланков "
        "осуществляется на чистых листах формата А4."), this);
    info->setObjectName(QStringLiteral("PanelInfo"));
    info->setWordWrap(true);
    info->setFrameShape(QFrame::StyledPanel);
    info->setMargin(4);
    info->setAutoFillBackground(true);
    QPalette p = info->palette();
    p.setColor(QPalette::Window, colours::infoBk());
    info->setPalette(p);
    info->setGeometry(gridX, gridY + gridH + 88 + kudaExtra, pageW - 2 * gridX, 40);
}

void AddressBookTab::recountSelected()
{
    m_book.selectedCalc();
    syncReservePanel();
}

runs::PrintScope AddressBookTab::printScope() const
{
    for (int i = 0; i < 3; ++i)
        if (m_scope[i]->isChecked())
            return runs::PrintScope(i);
    return runs::PrintScope::Current;
}

void AddressBookTab::addHistoryFilter()
{
    addressbook::addHistoryFilter(m_tables.Table6, m_book.filterText());
}

void AddressBookTab::setRunControls(const envelope::PrintRunPanel *envelopes, const letters::BlankStrip *blanks)
{
    m_envelopeRun = envelopes;
    m_blanks = blanks;
}

void AddressBookTab::followOtherCopies()
{
    try {
        if (m_tables.followFiles())
            recountSelected();
    } catch (const store::StoreError &) {
        // Not a box every few seconds: the next action that needs the file
        // says what is wrong with it.
    }
}

runs::RunRequest AddressBookTab::runRequest(runs::RunKind kind)
{
    followOtherCopies();
    runs::RunRequest request;
    request.kind = kind;
    request.scope = printScope();
    request.filterText = m_book.filterText();
    request.selectedCount = m_book.selectedCount();
    request.returnEnvelope = m_envelopeRun && m_envelopeRun->returnEnvelope();
    request.blankName = m_blanks ? m_blanks->blankName() : QString();
    request.sum = m_sum.value();
    return request;
}

void AddressBookTab::rememberFilter(const runs::RunRequest &request)
{
    addressbook::addHistoryFilter(m_tables.Table6, request);
}

bool AddressBookTab::confirmRun(const runs::RunRequest &request, const runs::RunSummary &summary)
{
    return runs::ShowResume(window()->windowTitle(), request, m_tables, summary.screen, summary.findings);
}

void AddressBookTab::focusFilter()
{
    if (m_filter->isVisible() && m_filter->isEnabled())
        m_filter->setFocus();
}

void AddressBookTab::setReserveShown(bool shown)
{
    m_reservePanel->setVisible(shown);
}

void AddressBookTab::syncReservePanel()
{
    if (m_tables.Table1.isOpen())
        setReserveShown(m_tables.Table1.asBoolean(QStringLiteral("ReservShow")));
}

void AddressBookTab::setBlankReminder(bool on)
{
    m_shapeBlank->setEnabled(on);
}

void AddressBookTab::reloadRecipients()
{
    m_book.filter().clearCache();
    m_tables.Table2.refresh();
    m_tables.Table2_.refresh();
    m_book.selectedCalc();
}

void AddressBookTab::filterChanged(const QString &text)
{
    if (m_fillingHistory)
        return;
    QPalette p = m_filter->lineEdit()->palette();
    p.setColor(QPalette::Base, text.isEmpty() ? colours::aqua() : colours::lightRed());
    m_filter->lineEdit()->setPalette(p);
    m_book.setFilterText(text);
}

void AddressBookTab::fillFilterHistory()
{
    const QString text = m_filter->currentText();
    m_fillingHistory = true;
    m_filter->clear();
    m_filter->addItems(historyTexts(m_tables.Table6));
    m_filter->setCurrentIndex(-1);
    m_filter->setEditText(text);
    m_fillingHistory = false;
}

void AddressBookTab::showFilterHelp()
{
    const QStringList buttons{QStringLiteral(" Понятно "), QStringLiteral(" Непонятно ")};
    while (showMessage(this, window()->windowTitle(), 670, 500, filterHelpText(), buttons) == 2) {
    }
}

void AddressBookTab::chooseScope(int scope)
{
    for (int i = 0; i < 3; ++i) {
        const QColor text = i == scope ? colours::windowText() : colours::grayText();
        QColor background = m_scope[i]->palette().color(QPalette::Window);
        if (i == 1)
            background = scope == 1 ? colours::activeCaption() : colours::btnFace();
        if (i == 2)
            background = scope == 2 ? colours::white() : colours::btnFace();
        setColours(m_scope[i], text, background);
    }
    m_scope[0]->setAutoFillBackground(false);
}

void AddressBookTab::blink()
{
    for (QFrame *bar : {m_shapePost, m_shapeBlank}) {
        if (bar->isEnabled())
            bar->setHidden(!bar->isHidden());
        else
            bar->hide();
    }
}

void AddressBookTab::sumChanged(const QString &text)
{
    if (m_settingSum)
        return;
    const QString kept = m_sum.changed(text);
    if (kept == text)
        return;
    // Taken back: the field returns to the last text that parsed.
    const int cursor = m_sumEdit->cursorPosition();
    m_settingSum = true;
    m_sumEdit->setText(kept);
    m_settingSum = false;
    m_sumEdit->setCursorPosition(std::min(cursor, int(kept.size())));
}

} // namespace addressbook
