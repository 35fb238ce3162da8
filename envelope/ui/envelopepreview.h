#pragma once
// The envelope as it will print, drawn by the same renderer as the printed
// page and scaled to the window; on request every box outlined and named,
// boxes whose text does not fit outlined in red. A window around it follows
// the settings live and steps through the envelopes a run will print.

#include "envelope/envelopelayout.h"
#include "report/page.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QComboBox;

namespace envelope {

// Paints a page; does not own it.
class EnvelopePreview : public QWidget {
    Q_OBJECT
public:
    explicit EnvelopePreview(const report::ReportPage &page, QWidget *parent = nullptr);

    void setOutlined(bool outlined);
    bool isOutlined() const { return m_outlined; }
    // Text objects the last painting clipped.
    const QStringList &clipped() const { return m_clipped; }
    // The page as the widget shows it: its picture (white paper) and where
    // the paper lies in the widget.
    QImage pageImage() const;
    QRectF paperRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double dpi() const;
    void paintOutlines(QPainter &painter, const QRectF &paper) const;

    const report::ReportPage &m_page;
    bool m_outlined = false;
    mutable QStringList m_clipped;
};

// What the preview window shows: the format, offset and settings, and the
// envelope of the one-off recipient; and, when given, the run's envelopes.
struct PreviewSource {
    std::function<EnvelopeFormat()> format;
    std::function<PrintOffset()> offset;
    std::function<EnvelopeOptions()> options;
    std::function<EnvelopeTexts()> texts;
    std::function<QList<EnvelopeTexts>()> runEnvelopes;  // empty: no stepping
};

// A tool window over the main window; refresh() is cheap to call on every
// change (it redraws once the events are handled).
class EnvelopePreviewWindow : public QWidget {
    Q_OBJECT
public:
    EnvelopePreviewWindow(const QString &title, PreviewSource source, bool outlined,
                          QWidget *parent = nullptr);

    void refresh();
    // Stepping through the run's envelopes (0-based); showRun(false) goes
    // back to the one-off envelope.
    void showRun(bool run);
    void step(int delta);
    int runPosition() const { return m_position; }
    int runLength() const { return m_run.size(); }

    EnvelopePreview *preview() const { return m_preview; }
    const report::ReportPage &page() const { return m_page; }

private:
    void rebuild();
    void showStatus();

    PreviewSource m_source;
    report::ReportPage m_page;
    EnvelopePreview *m_preview = nullptr;
    QLabel *m_status = nullptr;
    QComboBox *m_which = nullptr;
    QPushButton *m_previous = nullptr;
    QPushButton *m_next = nullptr;
    QLabel *m_position_label = nullptr;
    QList<EnvelopeTexts> m_run;
    int m_position = 0;
    bool m_pending = false;
};

} // namespace envelope
