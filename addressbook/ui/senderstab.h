#pragma once
// The page "Отправители" of the settings: the list of senders, editable in
// place, its filter, and the choice of the current sender, which is copied
// into the settings row. Rows equal to the current sender are highlighted.

#include "addressbook/senders.h"
#include "store/tables.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace store::ui {
class DbGrid;
}

namespace addressbook {

class SendersTab : public QWidget {
    Q_OBJECT
public:
    SendersTab(store::Tables &tables, const QString &programFolder, QWidget *parent = nullptr);

    // Tab clicks of the settings notebook: focus the filter when it can.
    void focusFilter();
    // The current sender was changed elsewhere (the main page's fields):
    // repaint the highlight.
    void currentSenderChanged();

signals:
    // A sender was chosen; the main page shows the settings row anew.
    void senderChosen();

private:
    void filterChanged(const QString &text);

    store::Tables &m_tables;
    SenderFilter m_filter;
    store::ui::DbGrid *m_grid = nullptr;
    QLineEdit *m_filterEdit = nullptr;
};

} // namespace addressbook
