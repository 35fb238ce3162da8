#pragma once
// The settings tab "Форматы конвертов": the list of formats, the navigator,
// the copy of a format, the measuring scheme and one group of edit boxes
// per printed element, all bound to the selected format.

#include <QPointer>
#include <QWidget>

namespace store {
class Tables;
}

namespace envelope {

class EnvelopePrinter;
class EnvelopePreviewWindow;

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

    // "Просмотр с рамками": the format being edited, every box outlined and
    // named, following each typed value; texts, font and settings of the
    // printer's settings row.
    void setEnvelopePrinter(EnvelopePrinter *printer) { m_printer = printer; }
    EnvelopePreviewWindow *BitBtnFormatPreviewClick();

private:
    void buildList();
    void buildInfo();
    void buildEditGroups();

    store::Tables &m_tables;
    QString m_programFolder;
    EnvelopePrinter *m_printer = nullptr;
    QPointer<EnvelopePreviewWindow> m_preview;
};

} // namespace envelope
