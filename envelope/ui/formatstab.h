#pragma once
// The settings tab "Форматы конвертов": the list of formats, the navigator,
// the copy of a format, the measuring scheme and one group of edit boxes
// per printed element, all bound to the selected format.

#include <QWidget>

namespace store {
class Tables;
}

namespace envelope {

class FormatsTab : public QWidget {
    Q_OBJECT
public:
    static constexpr int PreferredWidth = 790;
    static constexpr int PreferredHeight = 542;

    FormatsTab(store::Tables &tables, const QString &programFolder, QWidget *parent = nullptr);
    ~FormatsTab() override;

    // "Сделать копию конверта".
    void BitBtn5Click();
    // "Пример": the measuring scheme in the desktop's picture viewer.
    void BitBtn6Click();

private:
    void buildList();
    void buildInfo();
    void buildEditGroups();

    store::Tables &m_tables;
    QString m_programFolder;
};

} // namespace envelope
