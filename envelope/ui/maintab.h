#pragma once
// The main tab "Главная": the one-off recipient and the current sender of
// the settings row, the printer note, the envelope preview (type thumbnail,
// logo, big postal code, comment), the format list, the logo switch and
// choice, and "Печать" for one envelope.

#include "envelope/envelopeprinter.h"
#include "envelope/printfont.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace store {
class Tables;
namespace ui {
class DbCheckBox;
class DbLookupComboBox;
}
} // namespace store

namespace envelope {

class EnvelopePreviewWindow;

class MainTab : public QWidget {
    Q_OBJECT
public:
    static constexpr int PreferredWidth = 780;
    static constexpr int PreferredHeight = 330;

    MainTab(store::Tables &tables, const QString &programFolder, QWidget *parent = nullptr);
    ~MainTab() override;

    // Brings the preview in line with the settings row (logo by PrintLogo,
    // big postal code, comment, thumbnail by TypKonv). Call once the
    // settings row is in edit state at start-up.
    void applySettingsRow();

    // The print font of the four address boxes (from the settings tab).
    void setPrintFont(const PrintFont &font);
    const PrintFont &printFont() const { return m_printer.printFont(); }

    // The envelope type chosen on the chooser page: sets TypKonv to 1
    // (markup pre-printed) or 2 (blank) and shows its thumbnail; false when
    // the thumbnail file is missing.
    bool chooseEnvelopeType(int typKonv);
    // Shows the thumbnail of a type (1 or 2; others keep the design-time
    // one). False when the thumbnail file is missing: the picture shown stays.
    bool showEnvelopeType(int typKonv);

    // Makes the sample big postal code pick up the postal-code font once
    // the font file has been registered.
    void refreshZipCodeFont();

    // The printer of envelopes, for the address-book print run as well. Its
    // page is the envelope page of the program.
    EnvelopePrinter &envelopePrinter() { return m_printer; }

    // "Печать": one envelope from the settings row. A missing printer or a
    // refused job shows an error box naming it; the program goes on.
    // Returns whether the envelope went to the printer.
    bool BitBtnPrintClick();

    // The logo switch, run on every change of the logo check box.
    void DBCheckBox1Click(bool checked);
    // "Выбор логотипа" with the file already chosen; false when the picture
    // was refused (error box shown, settings unchanged).
    bool chooseLogoFile(const QString &fileName);

    QImage logoPicture() const { return m_logo; }

    // "Просмотр конверта": the envelope as it will print, in a window that
    // follows the settings; with a run source it also steps through the
    // envelopes of the address-book run.
    using RunSource = std::function<QList<EnvelopeTexts>()>;
    void setRunSource(RunSource source) { m_runSource = std::move(source); }
    EnvelopePreviewWindow *BitBtnPreviewClick();

signals:
    // The preview was clicked: the main window shows the chooser page.
    void envelopeTypeClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildAddressGroups();
    void buildNote();
    void buildPreview();
    void buildPrintControls();
    void syncPreviewLabels();
    void setLogo(const QImage &logo);
    void BitBtn10Click();

    store::Tables &m_tables;
    QString m_programFolder;
    EnvelopePrinter m_printer;
    QImage m_logo;
    QLabel *m_thumbnail = nullptr;
    QLabel *m_logoView = nullptr;
    QLabel *m_zipLabel = nullptr;
    QLabel *m_commentLabel = nullptr;
    store::ui::DbCheckBox *m_logoSwitch = nullptr;
    store::ui::DbLookupComboBox *m_formats = nullptr;
    RunSource m_runSource;
    QPointer<EnvelopePreviewWindow> m_preview;
};

} // namespace envelope
