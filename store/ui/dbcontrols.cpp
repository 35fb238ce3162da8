#include "store/ui/dbcontrols.h"
#include "store/errors.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QPointer>
#include <QStyle>
#include <QStyledItemDelegate>

namespace store::ui {

// ---- FieldLink ------------------------------------------------------------

FieldLink::FieldLink(Cursor *cursor, const QString &field, QObject *parent)
    : QObject(parent), m_cursor(cursor), m_field(cursor->fieldIndex(field))
{
    connect(cursor, &Cursor::recordChanged, this, [this] {
        if (!m_writing)
            emit changed();
    });
    connect(cursor, &Cursor::fieldChanged, this, [this](int f) {
        if (f == m_field && !m_writing)
            emit changed();
    });
    connect(cursor, &Cursor::stateChanged, this, [this] {
        if (!m_writing)
            emit changed();
    });
}

void FieldLink::write(const QVariant &value)
{
    if (m_loading || !m_cursor->isOpen())
        return;
    m_writing = true;
    try {
        m_cursor->setValue(m_field, value);
    } catch (const StoreError &) {
        m_writing = false;
        emit changed();  // a refused write (read-only folder): show what is stored
        throw;
    } catch (...) {
        m_writing = false;
        throw;
    }
    m_writing = false;
}

void FieldLink::reload(const std::function<void()> &load)
{
    m_loading = true;
    load();
    m_loading = false;
}

// ---- DbLineEdit -------------------------------------------------------------

namespace {

// Characters a number may be typed with; anything else is refused as typed.
QValidator *numberCharacters(FieldType type, QObject *parent)
{
    QString allowed = "0-9+\\-";
    if (type == FieldType::Real)
        allowed += "eE.,";
    auto *v = new QRegularExpressionValidator(QRegularExpression("[" + allowed + "]*"), parent);
    return v;
}

// A single-line text takes no control characters (NUL, tab, ...): typed or
// pasted, a text holding one is refused as a whole.
QValidator *noControlCharacters(QObject *parent)
{
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\\x{0}-\\x{1F}\\x{7F}-\\x{9F}]*")),
                                           parent);
}

} // namespace

DbLineEdit::DbLineEdit(Cursor *cursor, const QString &field, QWidget *parent)
    : QLineEdit(parent), m_link(new FieldLink(cursor, field, this))
{
    if (m_link->def().type == FieldType::Text) {
        setMaxLength(m_link->def().capacity);
        setValidator(noControlCharacters(this));
    }
    if (numeric())
        setValidator(numberCharacters(m_link->def().type, this));
    connect(m_link, &FieldLink::changed, this, &DbLineEdit::load);
    connect(this, &QLineEdit::textEdited, this, &DbLineEdit::store);
    if (cursor->isOpen())
        load();
}

bool DbLineEdit::numeric() const
{
    const FieldType t = m_link->def().type;
    return t == FieldType::Int || t == FieldType::Real || t == FieldType::AutoInc;
}

void DbLineEdit::load()
{
    m_link->reload([this] {
        const QString t = m_link->text();
        if (t != text()) {
            setText(t);
            // A text longer than the box shows its beginning, not its end.
            if (!hasFocus())
                setCursorPosition(0);
        }
    });
}

void DbLineEdit::store(const QString &value)
{
    if (!numeric()) {
        m_link->write(value);
        return;
    }
    // A half-typed number ("1e", "-") stays in the box and reaches the row
    // once it converts; leaving the box shows the value the row holds.
    try {
        m_link->write(m_link->cursor()->convertText(m_link->field(), value));
    } catch (const ConversionError &) {
    }
}

void DbLineEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // "1,5" or "--1" never reached the row: the box must not pretend it did.
    if (numeric() && m_link->cursor()->isOpen())
        load();
}

// ---- DbMemo -------------------------------------------------------------------

DbMemo::DbMemo(Cursor *cursor, const QString &field, QWidget *parent)
    : QPlainTextEdit(parent), m_link(new FieldLink(cursor, field, this))
{
    connect(m_link, &FieldLink::changed, this, &DbMemo::load);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (m_link->loading() || keepWithinCapacity())
            return;
        // The row keeps line breaks as CR LF, as the memo's users expect.
        QString text = toPlainText();
        text.replace("\r\n", "\n").replace('\n', "\r\n");
        m_link->write(text);
        const QString stored = m_link->text();
        if (stored.size() < text.size())
            load();  // cut to the field's capacity: show what is kept
    });
    if (cursor->isOpen())
        load();
}

// A text longer than the field holds is cut where it was typed or pasted,
// just before the text cursor, as a one-line box's maximum length cuts it:
// the text after it stays. The row counts a line break as CR LF. Returns
// whether it cut (the cut itself changes the text again).
bool DbMemo::keepWithinCapacity()
{
    const FieldDef &def = m_link->def();
    if (def.type != FieldType::Text)
        return false;
    const QString plain = toPlainText();
    qsizetype excess = plain.size() + plain.count(QLatin1Char('\n')) - def.capacity;
    QTextCursor cut = textCursor();
    const int end = cut.position();
    int start = end;
    while (excess > 0 && start > 0) {
        --start;
        excess -= plain.at(start) == QLatin1Char('\n') ? 2 : 1;
    }
    if (start > 0 && plain.at(start).isLowSurrogate())
        --start;
    if (start == end)
        return false;  // nothing typed before the cursor to take back: the store cuts the end
    cut.setPosition(start);
    cut.setPosition(end, QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    setTextCursor(cut);
    return true;
}

void DbMemo::load()
{
    m_link->reload([this] {
        QString t = m_link->text();
        t.replace("\r\n", "\n");
        if (t != toPlainText()) {
            setPlainText(t);
            moveCursor(QTextCursor::End);
        }
    });
}

// ---- DbCheckBox ---------------------------------------------------------------

DbCheckBox::DbCheckBox(Cursor *cursor, const QString &field, const QString &caption, QWidget *parent)
    : QCheckBox(caption, parent), m_link(new FieldLink(cursor, field, this))
{
    connect(m_link, &FieldLink::changed, this, &DbCheckBox::load);
    connect(this, &QCheckBox::clicked, this, [this](bool on) { m_link->write(on); });
    if (cursor->isOpen())
        load();
}

void DbCheckBox::load()
{
    m_link->reload([this] {
        const QVariant v = m_link->value();
        const bool on = !v.isNull() && v.toBool();
        if (on != isChecked())
            setChecked(on);
    });
}

// ---- DbLabel --------------------------------------------------------------------

DbLabel::DbLabel(Cursor *cursor, const QString &field, QWidget *parent)
    : QLabel(parent), m_link(new FieldLink(cursor, field, this))
{
    connect(m_link, &FieldLink::changed, this, [this] { setText(m_link->text()); });
    if (cursor->isOpen())
        setText(m_link->text());
}

// ---- DbLookupComboBox --------------------------------------------------------------

DbLookupComboBox::DbLookupComboBox(Cursor *data, const QString &dataField, Cursor *list,
                                   const QString &listField, const QString &keyField, QWidget *parent)
    : QComboBox(parent),
      m_link(new FieldLink(data, dataField, this)),
      m_list(list),
      m_listField(list->fieldIndex(listField)),
      m_keyField(list->fieldIndex(keyField))
{
    setEditable(false);
    connect(m_link, &FieldLink::changed, this, &DbLookupComboBox::selectCurrent);
    connect(list, &Cursor::rowsReset, this, &DbLookupComboBox::reloadList);
    connect(list, &Cursor::rowChanged, this, &DbLookupComboBox::reloadList);
    connect(list, &Cursor::afterPost, this, &DbLookupComboBox::reloadList);
    connect(this, QOverload<int>::of(&QComboBox::activated), this, [this](int i) {
        if (!m_filling && i >= 0)
            m_link->write(itemData(i));
    });
    reloadList();
}

void DbLookupComboBox::reloadList()
{
    m_filling = true;
    clear();
    if (m_list->isOpen()) {
        const int n = m_list->viewRowCount();
        for (int r = 0; r < n; ++r) {
            const QVariant key = m_list->valueAt(r, m_keyField);
            if (key.isNull())
                continue;  // a row still being inserted has no key yet
            addItem(m_list->displayText(m_listField, m_list->valueAt(r, m_listField)), key);
        }
    }
    m_filling = false;
    selectCurrent();
}

void DbLookupComboBox::selectCurrent()
{
    m_filling = true;
    const QVariant key = m_link->cursor()->isOpen() ? m_link->value() : QVariant();
    int found = -1;
    for (int i = 0; i < count() && !key.isNull(); ++i)
        if (itemData(i).toInt() == key.toInt()) {
            found = i;
            break;
        }
    setCurrentIndex(found);
    m_filling = false;
}

// ---- DbGridModel -----------------------------------------------------------------------

DbGridModel::DbGridModel(Cursor *cursor, const QVector<DbColumn> &columns, QObject *parent)
    : QAbstractTableModel(parent), m_cursor(cursor)
{
    for (const DbColumn &c : columns) {
        if (!c.visible)
            continue;
        m_columns << c;
        m_fields << cursor->fieldIndex(c.field);
    }
    connect(cursor, &Cursor::rowsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(cursor, &Cursor::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    // Entering edit state changes nothing shown, and a reset or a change of
    // the cells would close or refill an open cell editor, losing what is
    // typed. Leaving it may show the stored values again (after a cancel).
    // Only a row count the views do not know yet (an insert while controls
    // were disabled) needs a reset.
    connect(cursor, &Cursor::rowsReset, this, [this] { m_knownRows = rowCount(); });
    connect(cursor, &Cursor::stateChanged, this, [this](Cursor::State state) {
        if (rowCount() != m_knownRows) {
            beginResetModel();
            m_knownRows = rowCount();
            endResetModel();
        } else if (state == Cursor::State::Browse && m_knownRows > 0) {
            emit dataChanged(index(0, 0), index(m_knownRows - 1, columnCount() - 1));
        }
    });
    m_knownRows = rowCount();
    for (int f = 0; f < cursor->schema().fields.size(); ++f)
        if (cursor->schema().fields[f].type == FieldType::AutoInc) {
            m_keyField = f;
            break;
        }
}

void DbGridModel::moveToRow(int row)
{
    if (row == m_cursor->viewRowOfCurrent())
        return;
    // Storing a pending edit of the current row may move rows about: follow
    // the clicked row by its key, not by its place.
    const QVariant key = m_keyField >= 0 ? m_cursor->valueAt(row, m_keyField) : QVariant();
    m_cursor->moveTo(row);
    if (key.isNull() || m_cursor->value(m_keyField) == key)
        return;
    for (int r = 0; r < m_cursor->viewRowCount(); ++r)
        if (m_cursor->valueAt(r, m_keyField) == key) {
            m_cursor->moveTo(r);
            return;
        }
}

int DbGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_cursor->isOpen() ? 0 : m_cursor->viewRowCount();
}

int DbGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DbGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int field = m_fields[index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_cursor->displayText(field, m_cursor->valueAt(index.row(), field));
    case Qt::BackgroundRole:
    case Qt::ForegroundRole:
    case Qt::FontRole: {
        if (!m_styler)
            return {};
        CellStyle style;
        m_styler(index.row(), index.column(), style);
        return role == Qt::BackgroundRole ? style.background
               : role == Qt::ForegroundRole ? style.foreground
                                            : style.font;
    }
    default: return {};
    }
}

QVariant DbGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_columns[section].title;
    if (role == Qt::FontRole && m_boldTitles) {
        QFont f;
        f.setBold(true);
        return f;
    }
    return {};
}

Qt::ItemFlags DbGridModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!m_readOnly)
        f |= Qt::ItemIsEditable;
    return f;
}

bool DbGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (m_readOnly || role != Qt::EditRole || !index.isValid())
        return false;
    // An edit belongs to its own row: the cursor goes there first.
    if (index.row() != m_cursor->viewRowOfCurrent())
        moveToRow(index.row());
    const int field = m_fields[index.column()];
    try {
        m_cursor->setValue(field, m_cursor->convertText(field, value.toString()));
    } catch (const ConversionError &) {
        return false;  // the cell keeps its stored value, as a refused typed number does
    }
    return true;
}

// ---- DbGrid ------------------------------------------------------------------------------

namespace {

// The grids over one cursor, kept with the cursor, so that a navigator can
// take what is typed into an open cell before it acts.
class GridsOfCursor : public QObject {
public:
    using QObject::QObject;
    static GridsOfCursor *of(Cursor *cursor)
    {
        auto *grids = cursor->findChild<GridsOfCursor *>(QString(), Qt::FindDirectChildrenOnly);
        return grids ? grids : new GridsOfCursor(cursor);
    }
    QList<QPointer<DbGrid>> grids;
};

// Cell editors: a typed number keeps to the characters a number is made of,
// a text to its field's capacity, and the first key typed puts the cursor
// into edit state, so the navigator's save button is ready at once.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(DbGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        auto *editor = new QLineEdit(parent);
        editor->setFrame(false);
        const int field = m_grid->gridModel()->fieldOfColumn(index.column());
        Cursor *cursor = m_grid->cursor();
        if (field >= 0) {
            const FieldDef &def = cursor->schema().fields[field];
            if (def.type == FieldType::Text)
                editor->setMaxLength(def.capacity);
            else if (def.type != FieldType::Bool && def.type != FieldType::Date && def.type != FieldType::Time)
                editor->setValidator(numberCharacters(def.type, editor));
        }
        connect(editor, &QLineEdit::textEdited, cursor, [cursor] {
            if (cursor->isOpen() && !cursor->isEditing())
                cursor->edit();
        });
        return editor;
    }

private:
    DbGrid *m_grid;
};

} // namespace

void DbGrid::commitOpenEditor()
{
    if (state() != EditingState)
        return;
    QWidget *editor = indexWidget(currentIndex());
    if (!editor)
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void DbGrid::commitOpenEditors(Cursor *cursor)
{
    auto *grids = cursor->findChild<GridsOfCursor *>(QString(), Qt::FindDirectChildrenOnly);
    if (!grids)
        return;
    for (const QPointer<DbGrid> &grid : std::as_const(grids->grids))
        if (grid)
            grid->commitOpenEditor();
}

DbGrid::DbGrid(Cursor *cursor, const QVector<DbColumn> &columns, QWidget *parent)
    : QTableView(parent), m_model(new DbGridModel(cursor, columns, this))
{
    setModel(m_model);
    setItemDelegate(new CellDelegate(this));
    GridsOfCursor::of(cursor)->grids << this;
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    const int charWidth = fontMetrics().averageCharWidth();
    for (const DbColumn &c : columns)
        if (c.visible)
            m_widths << c.widthChars * charWidth + 8;
    applyColumnWidths();
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int size) {
        if (!m_applyingWidths)
            m_userWidths[col] = size;
    });
    connect(cursor, &Cursor::recordChanged, this, &DbGrid::followCursor);
    // A model reset gives every section the default size: put the widths back.
    connect(m_model, &QAbstractItemModel::modelReset, this, &DbGrid::applyColumnWidths);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DbGrid::followCursor);
    followCursor();
}

void DbGrid::setEditable(bool on)
{
    m_model->setReadOnly(!on);
    setEditTriggers(on ? DoubleClicked | EditKeyPressed | AnyKeyPressed : NoEditTriggers);
}

void DbGrid::applyColumnWidths()
{
    m_applyingWidths = true;
    for (int col = 0; col < m_widths.size(); ++col)
        if (m_userWidths.value(col) == 0)
            setColumnWidth(col, m_widths[col]);
        else
            setColumnWidth(col, m_userWidths[col]);
    m_applyingWidths = false;
}

void DbGrid::followCursor()
{
    if (m_following || !cursor()->isOpen())
        return;
    m_following = true;
    const int row = cursor()->viewRowOfCurrent();
    if (row >= 0 && row < m_model->rowCount()) {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        const QModelIndex idx = m_model->index(row, column);
        selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(idx);
    }
    m_following = false;
}

void DbGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_following || !current.isValid() || !cursor()->isOpen())
        return;
    if (current.row() != cursor()->viewRowOfCurrent()) {
        m_following = true;
        try {
            m_model->moveToRow(current.row());
        } catch (...) {
            m_following = false;
            throw;
        }
        m_following = false;
        followCursor();
    }
}

// ---- DbNavigator ---------------------------------------------------------------------------

namespace {

QStyle::StandardPixmap iconOf(DbNavigator::Button b)
{
    switch (b) {
    case DbNavigator::First: return QStyle::SP_MediaSkipBackward;
    case DbNavigator::Prior: return QStyle::SP_MediaSeekBackward;
    case DbNavigator::Next: return QStyle::SP_MediaSeekForward;
    case DbNavigator::Last: return QStyle::SP_MediaSkipForward;
    case DbNavigator::Insert: return QStyle::SP_FileDialogNewFolder;
    case DbNavigator::Delete: return QStyle::SP_TrashIcon;
    case DbNavigator::Edit: return QStyle::SP_FileDialogDetailedView;
    case DbNavigator::Post: return QStyle::SP_DialogApplyButton;
    case DbNavigator::Cancel: return QStyle::SP_DialogCancelButton;
    case DbNavigator::Refresh: return QStyle::SP_BrowserReload;
    default: return QStyle::SP_CustomBase;
    }
}

const char *const kButtonNames[] = {"First", "Prior", "Next", "Last", "Insert",
                                    "Delete", "Edit", "Post", "Cancel", "Refresh"};
const char *const kButtonTexts[] = {"|<", "<", ">", ">|", "+", "-", "^", "\u2713", "\u00d7", "\u21bb"};

} // namespace

DbNavigator::DbNavigator(Cursor *cursor, const QVector<Button> &buttons, QWidget *parent)
    : QWidget(parent), m_cursor(cursor), m_ask(&DbNavigator::askDeleteRecord)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (Button b : buttons) {
        auto *button = new QToolButton(this);
        button->setObjectName(objectName() + kButtonNames[b]);
        button->setProperty("navigatorButton", QString::fromLatin1(kButtonNames[b]));
        button->setIcon(style()->standardIcon(iconOf(b)));
        if (button->icon().isNull())
            button->setText(QString::fromUtf8(kButtonTexts[b]));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(button, &QToolButton::clicked, this, [this, b] { press(b); });
        layout->addWidget(button);
        m_buttons[b] = button;
    }
    connect(cursor, &Cursor::stateChanged, this, &DbNavigator::updateEnabled);
    connect(cursor, &Cursor::recordChanged, this, &DbNavigator::updateEnabled);
    connect(cursor, &Cursor::fieldChanged, this, &DbNavigator::updateEnabled);
    updateEnabled();
}

void DbNavigator::setHint(Button b, const QString &hint)
{
    if (m_buttons[b])
        m_buttons[b]->setToolTip(hint);
}

bool DbNavigator::askDeleteRecord(QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, parent ? parent->window()->windowTitle() : QString(),
                    QStringLiteral("Удалить запись?"), QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("DeleteRecordBox"));
    box.button(QMessageBox::Ok)->setText(QStringLiteral("ОК"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Отмена"));
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

void DbNavigator::press(Button b)
{
    // What is typed into an open cell counts, as if the cell had been left.
    DbGrid::commitOpenEditors(m_cursor);
    switch (b) {
    case First: m_cursor->first(); break;
    case Prior: m_cursor->prior(); break;
    case Next: m_cursor->next(); break;
    case Last: m_cursor->last(); break;
    case Insert: m_cursor->insert(); break;
    case Delete:
        if (m_cursor->recordCount() > 0 || m_cursor->state() == Cursor::State::Insert) {
            if (m_ask && !m_ask(this))
                return;
            m_cursor->remove();
        }
        break;
    case Edit: m_cursor->edit(); break;
    case Post: m_cursor->post(); break;
    case Cancel: m_cursor->cancel(); break;
    case Refresh: m_cursor->refresh(); break;
    default: break;
    }
    updateEnabled();
    emit clicked(b);
}

void DbNavigator::updateEnabled()
{
    const bool open = m_cursor->isOpen();
    const bool editing = m_cursor->isEditing();
    const bool hasRows = open && m_cursor->recordCount() > 0;
    const bool atStart = !hasRows || m_cursor->recNo() <= 0;
    const bool atEnd = !hasRows || m_cursor->recNo() >= m_cursor->recordCount() - 1;
    auto set = [this](Button b, bool on) {
        if (m_buttons[b])
            m_buttons[b]->setEnabled(on);
    };
    set(First, open && !atStart);
    set(Prior, open && !atStart);
    set(Next, open && !atEnd);
    set(Last, open && !atEnd);
    set(Insert, open);
    set(Delete, open && (hasRows || editing));
    set(Edit, open && hasRows && !editing);
    set(Post, open && editing);
    set(Cancel, open && editing);
    set(Refresh, open);
}

} // namespace store::ui
