#pragma once
// The settings tab "Печать конвертов": the print font (choose for this
// session, save for the next), the print offsets and the chosen one, the
// big postal code switch and the envelope comment with its quick texts.

#include "envelope/printfont.h"

#include <QFont>
#include <QWidget>
#include <functional>
#include <optional>

class QCheckBox;
class QFontDialog;
namespace report { class ReportPage; }
class QLabel;

namespace store {
class Tables;
namespace ui {
class DbGrid;
class DbMemo;
}
} // namespace store

namespace envelope {

class PrintSettingsTab : public QWidget {
    Q_OBJECT
public:
    static constexpr int PreferredWidth = 790;
    static constexpr int PreferredHeight = 546;

    PrintSettingsTab(store::Tables &tables, const QString &programFolder, QWidget *parent = nullptr);
    ~PrintSettingsTab() override;

    // Start-up: reads base/Font.res (default font when missing or
    // unreadable, no message), shows it on both sample panels and emits
    // printFontChanged.
    void loadSavedFont();
    const PrintFont &printFont() const { return m_font; }
    void setPrintFont(const PrintFont &font);

    // "Выбор шрифта для текущего сеанса работы".
    void BitBtn7Click();
    // "Сохранить шрифт для следующего сеанса"; a file that cannot be
    // written shows an error box and the program goes on.
    void BitBtn8Click();
    // "Выбрать смещение".
    void BitBtn9Click();
    // "Отправлять всю печать одним заданием" (off by default).
    bool oneJobPerRun() const;
    // "Калибровочный лист": the sheet on the chosen format with the chosen
    // offset, one job; a missing printer or a refused job shows an error box.
    // Returns the job number, 0 when nothing was printed.
    int BitBtnCalibrationClick();
    // Where the sheet goes (the default printer unless set otherwise).
    using SheetOutput = std::function<int(const report::ReportPage &)>;
    void setSheetOutput(SheetOutput output) { m_sheetOutput = std::move(output); }
    // Quick texts and "Очистить".
    void appendQuickText(const QString &phrase);
    void clearComment();

    // How the font is chosen: given the current font, the chosen one or
    // nothing when cancelled. The default runs the font dialog FontDialog1.
    using FontChooser = std::function<std::optional<QFont>(const QFont &current)>;
    void setFontChooser(FontChooser chooser) { m_chooser = std::move(chooser); }

signals:
    void printFontChanged(const envelope::PrintFont &font);

private:
    void buildFontGroup();
    void buildOffsetsGroup();
    void buildOneJobSwitch(QWidget *group, const QRect &box);
    void buildZipCodeGroup();
    void buildCommentGroup();
    std::optional<QFont> runFontDialog(const QFont &current);
    void keepStyleOverFamilies(const QFont &font);
    void showSample(QLabel *panel, const PrintFont &font);

    store::Tables &m_tables;
    QString m_dataFolder;
    PrintFont m_font;
    FontChooser m_chooser;
    SheetOutput m_sheetOutput;
    QFontDialog *m_dialog = nullptr;
    struct DialogStyle {
        QString family;
        bool bold = false;
        bool italic = false;
    };
    DialogStyle m_dialogStyle;  // the style chosen in the open dialog
    bool m_adjustingStyle = false;
    QLabel *m_panelFont1 = nullptr;
    QLabel *m_panelFont2 = nullptr;
    store::ui::DbGrid *m_offsets = nullptr;
    store::ui::DbMemo *m_comment = nullptr;
    QCheckBox *m_oneJob = nullptr;
};

} // namespace envelope
