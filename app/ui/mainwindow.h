#pragma once
// The main window: the page switcher with the main page and the envelope
// type chooser, the four tabs, the settings notebook, the link panels, and
// the lifetime of the settings row (edited for the whole run, stored when
// the window closes normally).

#include "app/paths.h"
#include "store/tables.h"

#include <QPixmap>
#include <QWidget>

class QLabel;
class QStackedWidget;
class QTabWidget;
class QTimer;

namespace store::ui { class DbCheckBox; }
namespace envelope { class MainTab; class PrintSettingsTab; }
namespace addressbook { class AddressBookTab; class SendersTab; }
namespace envelope { class PrintRunPanel; }
namespace letters { class BlankStrip; class BlankRunPanel; }

namespace app {

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // Opens all eight cursors in programFolder + "base"; throws
    // store::StoreError naming the file when a table cannot be opened.
    explicit TForm1(const QString &programFolder, QWidget *parent = nullptr);
    ~TForm1() override;

    void FormCreate();
    // What the user must hear once after the start: a data folder that
    // cannot be written, table files whose indexes were rebuilt.
    QStringList startupNotices() const;

    store::Tables &tables() { return m_tables; }
    const ProgramPaths &paths() const { return m_paths; }

    // Tab switching: refuses "О программе" and opens the help page instead.
    void TabbedNotebook1Change(int newTab, bool &allowChange);
    void Image1Click();
    void Image2Click();
    void Image3Click();
    void Panel4Click();
    void LabelReklSiteClick();

    // After an unexpected error: the pending edits of the settings row and
    // of the current recipient are dropped, and closing stores nothing.
    void abandonEdits();
    // What another copy of the program stored into the data folder shows
    // here: on a short timer and whenever the program becomes active again.
    void followOtherCopies();
    static constexpr int kFollowPeriodMs = 2000;
    bool zipFontRegistered() const { return m_zipFontId >= 0; }

    static constexpr int kWidth = 968;
    // The tab control; the question and advertising panels stand right of it
    // on every tab.
    static constexpr int kTabsWidth = 800;
    static int heightOfTab(int tab);
    // The window is placed for its tallest tab, so that no tab runs off the screen.
    static QPoint startPosition(const QSize &screen, int windowWidth);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormClose();
    void storeOpenEdits();
    void storeSettingsRow();
    void storeAtClose(store::Cursor &cursor, bool always, const QString &failed, const QString &without);
    void buildPages();
    void buildPrintControls();
    QWidget *buildMainPage();
    QWidget *buildChooserPage();
    QWidget *buildSettingsTab();
    QWidget *buildInterfaceTab();
    QWidget *buildLinkPanels(QWidget *parent);
    void onTabChanged(int index);
    void chooseEnvelopeType(int typKonv);
    void registerZipFont();
    void unregisterZipFont();
    // Whether the desktop took the request.
    bool openInDesktop(const QUrl &url);

    ProgramPaths m_paths;
    store::Tables m_tables;
    QStackedWidget *m_notebook1 = nullptr;
    QTabWidget *m_tabs = nullptr;
    QTabWidget *m_settingsTabs = nullptr;
    envelope::MainTab *m_mainTab = nullptr;
    envelope::PrintSettingsTab *m_printSettings = nullptr;
    addressbook::AddressBookTab *m_addressBook = nullptr;
    addressbook::SendersTab *m_senders = nullptr;
    envelope::PrintRunPanel *m_printRun = nullptr;
    letters::BlankStrip *m_blanks = nullptr;
    letters::BlankRunPanel *m_blankRun = nullptr;
    store::ui::DbCheckBox *m_reservShow = nullptr;
    QTimer *m_followTimer = nullptr;
    int m_currentTab = 0;
    int m_zipFontId = -1;
    bool m_abandoned = false;
    QString m_importNotice;
};

} // namespace app
