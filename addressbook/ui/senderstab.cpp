#include "addressbook/ui/senderstab.h"

#include "addressbook/ui/colours.h"
#include "store/ui/dbcontrols.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace addressbook {

SendersTab::SendersTab(store::Tables &tables, const QString &programFolder, QWidget *parent)
    : QWidget(parent), m_tables(tables)
{
    Q_UNUSED(programFolder)
    setObjectName(QStringLiteral("SendersTab"));
    resize(790, 540);
    store::Cursor &senders = m_tables.Table3;
    senders.setFilterHook(m_filter.hook());
    senders.setFiltered(true);

    auto *filterLabel = new QLabel(QStringLiteral("Фильтр:"), this);
    filterLabel->move(8, 12);
    filterLabel->adjustSize();
    m_filterEdit = new QLineEdit(this);
    m_filterEdit->setObjectName(QStringLiteral("EditFilterOtKogo"));
    m_filterEdit->setGeometry(64, 8, 300, 22);
    QPalette p = m_filterEdit->palette();
    p.setColor(QPalette::Base, colours::white());
    m_filterEdit->setPalette(p);
    connect(m_filterEdit, &QLineEdit::textChanged, this, &SendersTab::filterChanged);

    m_grid = new store::ui::DbGrid(&senders,
                                   {{"N", QStringLiteral("N"), 5, false},
                                    {"OtKogo", QStringLiteral("От кого"), 40, true},
                                    {"OtKuda", QStringLiteral("Откуда"), 50, true},
                                    {"OtIndex", QStringLiteral("Индекс"), 15, true}},
                                   this);
    m_grid->setObjectName(QStringLiteral("DBGrid2"));
    m_grid->setEditable(true);
    m_grid->setGeometry(8, 38, 774, 420);
    const int kogo = senders.fieldIndex("OtKogo");
    const int kuda = senders.fieldIndex("OtKuda");
    const int index = senders.fieldIndex("OtIndex");
    m_grid->gridModel()->setCellStyler([this, kogo, kuda, index](int row, int, store::ui::CellStyle &style) {
        store::Cursor &c = m_tables.Table3;
        if (isCurrentSender(c.valueAt(row, kogo).toString(), c.valueAt(row, kuda).toString(),
                            c.valueAt(row, index).toString(), m_tables.Table1))
            style.background = colours::activeCaption();
    });

    using Nav = store::ui::DbNavigator;
    auto *nav = new Nav(&senders, {Nav::Insert, Nav::Delete, Nav::Post, Nav::Cancel}, this);
    nav->setObjectName(QStringLiteral("DBNavigator2"));
    nav->setHint(Nav::Insert, QStringLiteral("Добавить нового отправителя"));
    nav->setHint(Nav::Delete, QStringLiteral("Удалить отправителя"));
    nav->setHint(Nav::Post, QStringLiteral("Сохранить изменения"));
    nav->setHint(Nav::Cancel, QStringLiteral("Отменить изменения"));
    nav->setGeometry(8, 466, 4 * 28, 26);

    auto *choose = new QPushButton(QStringLiteral("Выбрать отправителя"), this);
    choose->setObjectName(QStringLiteral("BitBtn4"));
    choose->setGeometry(132, 464, 180, 30);
    connect(choose, &QPushButton::clicked, this, [this] {
        chooseSender(m_tables.Table3, m_tables.Table1);
        m_grid->viewport()->update();
        emit senderChosen();
    });
}

void SendersTab::focusFilter()
{
    if (m_filterEdit->isVisible() && m_filterEdit->isEnabled())
        m_filterEdit->setFocus();
}

void SendersTab::currentSenderChanged()
{
    m_grid->viewport()->update();
}

void SendersTab::filterChanged(const QString &text)
{
    m_tables.Table3.cancel();
    QPalette p = m_filterEdit->palette();
    p.setColor(QPalette::Base, text.isEmpty() ? colours::white() : colours::lightRed());
    m_filterEdit->setPalette(p);
    m_filter.setText(text);
    m_tables.Table3.refilter();
}

} // namespace addressbook
