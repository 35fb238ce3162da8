#include "envelope/ui/envelopepreview.h"

#include "envelope/envelopepage.h"
#include "report/renderer.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace envelope {
namespace {

constexpr int Margin = 8;
const QColor OutlineColour(0x1F, 0x6F, 0xD0);
const QColor ClippedColour(0xD0, 0x20, 0x20);

} // namespace

EnvelopePreview::EnvelopePreview(const report::ReportPage &page, QWidget *parent)
    : QWidget(parent), m_page(page)
{
    setObjectName(QStringLiteral("EnvelopePreview"));
    setMinimumSize(320, 180);
}

void EnvelopePreview::setOutlined(bool outlined)
{
    m_outlined = outlined;
    update();
}

// The resolution at which the paper fills the widget, keeping its shape.
double EnvelopePreview::dpi() const
{
    if (!m_page.paperProblem().isEmpty())
        return 0;
    const double w = m_page.widthMm() / 25.4;
    const double h = m_page.heightMm() / 25.4;
    return std::max(1.0, std::min((width() - 2 * Margin) / w, (height() - 2 * Margin) / h));
}

QRectF EnvelopePreview::paperRect() const
{
    const double d = dpi();
    const QSizeF size(qRound(m_page.widthMm() * d / 25.4), qRound(m_page.heightMm() * d / 25.4));
    return QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

QImage EnvelopePreview::pageImage() const
{
    const double d = dpi();
    if (d <= 0)
        return QImage();
    const QSize size = paperRect().size().toSize();
    QImage image(size, QImage::Format_RGB32);
    const int dotsPerMeter = qRound(d / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    m_clipped = report::paintReportPage(m_page, painter);
    return image;
}

void EnvelopePreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Mid));
    const QImage image = pageImage();
    if (image.isNull()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_page.paperProblem());
        return;
    }
    const QRectF paper = paperRect();
    painter.drawImage(paper.topLeft(), image);
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.drawRect(paper.adjusted(-0.5, -0.5, 0.5, 0.5));
    if (m_outlined)
        paintOutlines(painter, paper);
}

void EnvelopePreview::paintOutlines(QPainter &painter, const QRectF &paper) const
{
    const double scale = dpi() / 96.0;
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    for (const auto &object : m_page.objects()) {
        const QString caption = boxCaption(object->name());
        if (caption.isEmpty() || !object->isVisible())
            continue;
        const QRectF box(paper.left() + object->left() * scale, paper.top() + object->top() * scale,
                         object->width() * scale, object->height() * scale);
        const bool clipped = m_clipped.contains(object->name());
        const QColor colour = clipped ? ClippedColour : OutlineColour;
        painter.setPen(QPen(colour, clipped ? 2 : 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box);
        const QString label = clipped ? caption + QStringLiteral(" — не помещается") : caption;
        // Above the box's right end, see-through: the text under it still shows.
        const double labelWidth = painter.fontMetrics().horizontalAdvance(label) + 4;
        const QRectF labelBox(box.right() - labelWidth, box.top() - 12, labelWidth, 12);
        painter.fillRect(labelBox, QColor(255, 255, 255, 120));
        painter.setPen(colour);
        painter.drawText(labelBox.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, label);
    }
}

EnvelopePreviewWindow::EnvelopePreviewWindow(const QString &title, PreviewSource source, bool outlined,
                                             QWidget *parent)
    : QWidget(parent, Qt::Tool), m_source(std::move(source))
{
    setWindowTitle(title);
    buildEnvelopeTemplate(m_page);
    m_preview = new EnvelopePreview(m_page, this);
    m_preview->setOutlined(outlined);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("LabelPreviewStatus"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_preview, 1);
    if (m_source.runEnvelopes) {
        auto *row = new QHBoxLayout;
        m_which = new QComboBox(this);
        m_which->setObjectName(QStringLiteral("ComboBoxPreviewWhich"));
        m_which->addItems({QStringLiteral("Получатель с закладки \"Главная\""),
                           QStringLiteral("Адресаты печати конвертов")});
        m_previous = new QPushButton(QStringLiteral("◀ Предыдущий"), this);
        m_previous->setObjectName(QStringLiteral("BitBtnPreviewPrevious"));
        m_next = new QPushButton(QStringLiteral("Следующий ▶"), this);
        m_next->setObjectName(QStringLiteral("BitBtnPreviewNext"));
        m_position_label = new QLabel(this);
        m_position_label->setObjectName(QStringLiteral("LabelPreviewPosition"));
        row->addWidget(m_which);
        row->addWidget(m_previous);
        row->addWidget(m_next);
        row->addWidget(m_position_label, 1);
        layout->addLayout(row);
        connect(m_which, &QComboBox::currentIndexChanged, this, [this](int i) { showRun(i == 1); });
        connect(m_previous, &QPushButton::clicked, this, [this] { step(-1); });
        connect(m_next, &QPushButton::clicked, this, [this] { step(1); });
    }
    layout->addWidget(m_status);
    resize(720, 460);
    rebuild();
}

void EnvelopePreviewWindow::refresh()
{
    if (m_pending)
        return;
    m_pending = true;
    QTimer::singleShot(0, this, [this] {
        m_pending = false;
        rebuild();
    });
}

void EnvelopePreviewWindow::showRun(bool run)
{
    m_run = run && m_source.runEnvelopes ? m_source.runEnvelopes() : QList<EnvelopeTexts>();
    m_position = 0;
    if (m_which && m_which->currentIndex() != (run ? 1 : 0))
        m_which->setCurrentIndex(run ? 1 : 0);
    rebuild();
}

void EnvelopePreviewWindow::step(int delta)
{
    if (m_run.isEmpty())
        return;
    m_position = qBound(0, m_position + delta, int(m_run.size()) - 1);
    rebuild();
}

void EnvelopePreviewWindow::rebuild()
{
    const bool run = m_which && m_which->currentIndex() == 1;
    EnvelopeTexts texts = m_source.texts();
    if (run && !m_run.isEmpty())
        texts = m_run[m_position];
    else if (run)
        texts = EnvelopeTexts{};
    layOutEnvelope(m_page, m_source.format(), m_source.offset(), texts, m_source.options());
    if (m_previous) {
        m_previous->setEnabled(run && m_position > 0);
        m_next->setEnabled(run && m_position + 1 < m_run.size());
        m_position_label->setText(run ? (m_run.isEmpty() ? QStringLiteral("нет конвертов для печати")
                                                         : QStringLiteral("конверт %1 из %2")
                                                               .arg(m_position + 1)
                                                               .arg(m_run.size()))
                                      : QString());
    }
    m_preview->update();
    showStatus();
}

void EnvelopePreviewWindow::showStatus()
{
    m_preview->pageImage();  // brings the list of clipped boxes up to date
    QStringList names;
    for (const QString &name : m_preview->clipped())
        if (!boxCaption(name).isEmpty())
            names << boxCaption(name);
    QString problem = m_page.paperProblem();
    QStringList off;
    for (const QString &name : boxesOffTheEnvelope(m_page, m_source.format()))
        off << boxCaption(name);
    if (problem.isEmpty() && !off.isEmpty())
        problem = QStringLiteral("За краем конверта: ") + off.join(QStringLiteral(", "));
    if (!problem.isEmpty())
        m_status->setText(problem + (names.isEmpty() ? QString()
                                                     : QStringLiteral("; не помещается при печати: ")
                                                           + names.join(QStringLiteral(", "))));
    else if (names.isEmpty())
        m_status->setText(QStringLiteral("Все надписи помещаются в свои поля."));
    else
        m_status->setText(QStringLiteral("Не помещается при печати: ") + names.join(QStringLiteral(", ")));
    QPalette p = m_status->palette();
    p.setColor(QPalette::WindowText, names.isEmpty() && problem.isEmpty() ? palette().color(QPalette::WindowText)
                                                                          : ClippedColour);
    m_status->setPalette(p);
}

} // namespace envelope
