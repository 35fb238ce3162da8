#pragma once
// Widgets bound to fields of a table cursor. They know nothing of the
// program's features: each shows one field of the current row (or the rows
// of a cursor) and writes what the user types back into the cursor, which
// enters edit state on the first write.

#include "store/cursor.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QMap>
#include <QTableView>
#include <QToolButton>
#include <functional>

namespace store::ui {

// Keeps a control in step with one field of a cursor's current row.
class FieldLink : public QObject {
    Q_OBJECT
public:
    FieldLink(Cursor *cursor, const QString &field, QObject *parent);
    Cursor *cursor() const { return m_cursor; }
    int field() const { return m_field; }
    const FieldDef &def() const { return m_cursor->schema().fields[m_field]; }
    QVariant value() const { return m_cursor->value(m_field); }
    QString text() const { return m_cursor->displayText(m_field, value()); }
    // Writes unless the control is being loaded from the cursor.
    void write(const QVariant &value);
    bool loading() const { return m_loading; }
    // Runs the control's reload with the write path closed.
    void reload(const std::function<void()> &load);

signals:
    void changed();  // the value shown must be reloaded

private:
    Cursor *m_cursor;
    int m_field;
    bool m_loading = false;
    bool m_writing = false;
};

class DbLineEdit : public QLineEdit {
    Q_OBJECT
public:
    DbLineEdit(Cursor *cursor, const QString &field, QWidget *parent = nullptr);
    FieldLink *link() const { return m_link; }

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void load();
    void store(const QString &text);
    bool numeric() const;
    FieldLink *m_link;
};

class DbMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    DbMemo(Cursor *cursor, const QString &field, QWidget *parent = nullptr);
    FieldLink *link() const { return m_link; }

private:
    void load();
    bool keepWithinCapacity();
    FieldLink *m_link;
};

// toggled() fires both when the user clicks and when a stored value is
// loaded, so a feature can follow the value whichever way it changed.
class DbCheckBox : public QCheckBox {
    Q_OBJECT
public:
    DbCheckBox(Cursor *cursor, const QString &field, const QString &caption, QWidget *parent = nullptr);
    FieldLink *link() const { return m_link; }

private:
    void load();
    FieldLink *m_link;
};

class DbLabel : public QLabel {
    Q_OBJECT
public:
    DbLabel(Cursor *cursor, const QString &field, QWidget *parent = nullptr);

private:
    FieldLink *m_link;
};

// Lists listField of every row of the list cursor; choosing one stores its
// keyField into dataField of the data cursor.
class DbLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    DbLookupComboBox(Cursor *data, const QString &dataField, Cursor *list,
                     const QString &listField, const QString &keyField, QWidget *parent = nullptr);
    void reloadList();

private:
    void selectCurrent();
    FieldLink *m_link;
    Cursor *m_list;
    int m_listField;
    int m_keyField;
    bool m_filling = false;
};

struct DbColumn {
    QString field;
    QString title;
    int widthChars = 10;
    bool visible = true;
};

// What a grid may change in the look of one cell.
struct CellStyle {
    QVariant background;  // QColor or QBrush
    QVariant foreground;
    QVariant font;
};

class DbGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using CellStyler = std::function<void(int viewRow, int column, CellStyle &style)>;

    DbGridModel(Cursor *cursor, const QVector<DbColumn> &columns, QObject *parent = nullptr);
    Cursor *cursor() const { return m_cursor; }
    int fieldOfColumn(int column) const { return m_fields.value(column, -1); }
    void setReadOnly(bool on) { m_readOnly = on; }
    void setBoldTitles(bool on) { m_boldTitles = on; }
    void setCellStyler(CellStyler styler) { m_styler = std::move(styler); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    // Makes a view row current; a row moved by storing the pending edit is
    // followed by its key.
    void moveToRow(int row);

private:
    Cursor *m_cursor;
    QVector<DbColumn> m_columns;  // visible ones only
    QVector<int> m_fields;
    bool m_readOnly = true;
    bool m_boldTitles = false;
    CellStyler m_styler;
    int m_knownRows = 0;  // the row count the views were last told
    int m_keyField = -1;  // the auto-increment key, when the table has one
};

// A grid whose current row is the cursor's current row, in the cursor's
// order and through its filter.
class DbGrid : public QTableView {
    Q_OBJECT
public:
    DbGrid(Cursor *cursor, const QVector<DbColumn> &columns, QWidget *parent = nullptr);
    DbGridModel *gridModel() const { return m_model; }
    // Cells open an editor on a double click, F2 or any key typed.
    void setEditable(bool on);
    Cursor *cursor() const { return m_model->cursor(); }
    // Stores what is typed into an open cell editor and closes it, as
    // leaving the cell does; for all grids over a cursor at once.
    void commitOpenEditor();
    static void commitOpenEditors(Cursor *cursor);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void followCursor();
    void applyColumnWidths();
    DbGridModel *m_model;
    QVector<int> m_widths;       // from the column definitions
    QMap<int, int> m_userWidths; // columns the user has resized
    bool m_applyingWidths = false;
    bool m_following = false;
};

class DbNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh, ButtonCount };
    DbNavigator(Cursor *cursor, const QVector<Button> &buttons, QWidget *parent = nullptr);
    QToolButton *button(Button b) const { return m_buttons[b]; }
    void setHint(Button b, const QString &hint);
    // Asks before a delete; the default asks "Удалить запись?" in a message
    // box under the title of the window the navigator is in.
    void setDeleteConfirmation(std::function<bool(QWidget *)> ask) { m_ask = std::move(ask); }
    static bool askDeleteRecord(QWidget *parent);

signals:
    void clicked(store::ui::DbNavigator::Button button);

private:
    void press(Button b);
    void updateEnabled();
    Cursor *m_cursor;
    QToolButton *m_buttons[ButtonCount] = {};
    std::function<bool(QWidget *)> m_ask;
};

} // namespace store::ui
