#include "messages/ui/messagewindow.h"

#include "messages/colourvalue.h"
#include "messages/markupcodes.h"
#include "messages/markupdocument.h"
#include "messages/ui/placecentered.h"
#include "messages/ui/roundedcorners.h"

#include <QDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QTextEdit>

#include <array>
#include <functional>
#include <memory>

namespace messages {

void RenderMarkup(QTextEdit *view, const QString &text)
{
    QTextDocument *document = view->document();
    const auto showBackground = [&] {
        QPalette palette = view->viewport()->palette();
        palette.setColor(QPalette::Base, MarkupBackground(*document));
        view->viewport()->setPalette(palette);
        view->viewport()->setAutoFillBackground(true);
    };
    try {
        RenderMarkupDocument(*document, text, view->palette());
    } catch (...) {
        showBackground();
        throw;
    }
    showBackground();
}

namespace {

constexpr int ButtonCount = 5;
constexpr int FrameWidth = 8;

const QColor WindowGrey(128, 128, 128);

QFont tahoma13(bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    font.setBold(bold);
    return font;
}

// A caption that reports any mouse button pressed on it.
class CaptionLabel : public QLabel
{
public:
    CaptionLabel(QWidget *parent, std::function<void()> onPress)
        : QLabel(parent), onPress_(std::move(onPress))
    {
    }

protected:
    void mousePressEvent(QMouseEvent *) override { onPress_(); }

private:
    std::function<void()> onPress_;
};

// A raised panel with a 2-pixel bevel holding one caption label.
struct MessageButton
{
    QFrame *panel = nullptr;
    CaptionLabel *label = nullptr;

    // The label takes the size of its text; the panel wraps it with 2 pixels.
    void setCaption(const QString &caption)
    {
        label->setText(caption);
        const QFontMetrics metrics(label->font());
        const int width = caption.isEmpty() ? 0 : metrics.horizontalAdvance(caption);
        label->resize(width, metrics.height());
        panel->resize(label->width() + 4, label->height() + 4);
    }
};

class MessageWindow : public QDialog
{
public:
    MessageWindow()
    {
        setObjectName(QStringLiteral("TForm1001"));
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                       | Qt::MSWindowsFixedSizeDialogHint);
        setFont(tahoma13(false));
        QPalette grey = palette();
        grey.setColor(QPalette::Window, WindowGrey);
        setPalette(grey);
        setAutoFillBackground(true);
        createTextArea();
        for (int k = 0; k < ButtonCount; ++k)
            createButton(k);
        KeepRoundedCorners(this);
    }

    int result() const { return result_; }
    QTextEdit *textArea() const { return text_; }
    MessageButton &button(int index) { return buttons_[std::size_t(index)]; }

    // The outer size; the frame the window system adds is known once shown.
    void setOuterSize(int width, int height)
    {
        const QSize frame = frameGeometry().size() - geometry().size();
        setFixedSize(std::max(width - frame.width(), 0), std::max(height - frame.height(), 0));
    }

protected:
    // The window system's close command and the Escape key both end here:
    // the window stays until a button is pressed.
    void reject() override
    {
        if (result_ != 0)
            QDialog::reject();
    }

    void keyPressEvent(QKeyEvent *event) override { event->accept(); }

private:
    void createTextArea()
    {
        text_ = new QTextEdit(this);
        text_->setObjectName(QStringLiteral("RichEdit1"));
        text_->setReadOnly(true);
        text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text_->setFrameShape(QFrame::NoFrame);
        text_->setFocusPolicy(Qt::NoFocus);
        text_->setLineWrapMode(QTextEdit::WidgetWidth);
        text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        text_->document()->setDocumentMargin(2);
        KeepRoundedCorners(text_);
    }

    void createButton(int index)
    {
        const int number = index + 1;
        MessageButton &button = buttons_[std::size_t(index)];
        button.panel = new QFrame(this);
        button.panel->setObjectName(QStringLiteral("Panel%1").arg(number));
        button.panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        button.panel->setLineWidth(2);
        button.panel->setFocusPolicy(Qt::NoFocus);
        QPalette face = button.panel->palette();
        face.setColor(QPalette::Window, ColorFromValue(SystemColor::ButtonFace, face));
        button.panel->setPalette(face);
        button.panel->setAutoFillBackground(true);

        button.label = new CaptionLabel(button.panel, [this, number] { press(number); });
        button.label->setObjectName(QStringLiteral("Label%1").arg(number));
        button.label->setFont(tahoma13(true));
        button.label->setTextFormat(Qt::PlainText);
        button.label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        button.label->move(2, 2);
        QPalette text = button.label->palette();
        text.setColor(QPalette::WindowText, ColorFromValue(SystemColor::WindowText, text));
        button.label->setPalette(text);
    }

    void press(int number)
    {
        result_ = number;
        accept();
    }

    QTextEdit *text_ = nullptr;
    std::array<MessageButton, ButtonCount> buttons_;
    int result_ = 0;
};

// The number of buttons: up to the last non-empty caption. With all empty
// the first becomes "  Ok  ".
int countButtons(std::array<QString, ButtonCount> &captions)
{
    for (int k = ButtonCount; k >= 1; --k) {
        if (!captions[std::size_t(k - 1)].isEmpty())
            return k;
    }
    captions[0] = QStringLiteral("  Ok  ");
    return 1;
}

// A button caption takes only the codes that make sense for the whole
// caption: font name, size, colour, the added styles, and the face colour.
void styleButton(MessageButton &button, const QString &caption)
{
    const ExtractedCodes extracted = ExtractCodes(caption);
    QFont font = button.label->font();
    QPalette labelPalette = button.label->palette();
    QPalette panelPalette = button.panel->palette();
    for (const TParamFont &found : extracted.codes) {
        const MarkupCode code = ParseMarkupCode(found.Code);
        switch (code.kind) {
        case CodeKind::FontName: font.setFamilies({code.name}); break;
        case CodeKind::FontSize:
            font.setPointSize(std::clamp(code.number, MinMarkupPointSize, MaxMarkupPointSize));
            break;
        case CodeKind::FontColor:
            labelPalette.setColor(QPalette::WindowText, ColorFromValue(code.number, labelPalette));
            break;
        case CodeKind::AddBold: font.setBold(true); break;
        case CodeKind::AddItalic: font.setItalic(true); break;
        case CodeKind::AddUnderline: font.setUnderline(true); break;
        case CodeKind::Background:
            panelPalette.setColor(QPalette::Window, ColorFromValue(code.number, panelPalette));
            break;
        default: break;
        }
    }
    button.label->setFont(font);
    button.label->setPalette(labelPalette);
    button.panel->setPalette(panelPalette);
    button.setCaption(QStringLiteral("  ") + extracted.plainText + QStringLiteral("  "));
}

// Spreads the panels over the window's outer width with equal gaps and puts
// them inside the lower edge of the text area.
void arrangeButtons(MessageWindow &window, int count, int outerWidth)
{
    int free = outerWidth;
    for (int k = 0; k < count; ++k)
        free -= window.button(k).panel->width();
    const int gap = free / (count + 1);
    const QRect text = window.textArea()->geometry();
    const int top = text.top() + text.height() - window.button(0).panel->height() - FrameWidth;
    int left = gap;
    for (int k = 0; k < ButtonCount; ++k) {
        QFrame *panel = window.button(k).panel;
        panel->move(left, top);
        panel->setVisible(k < count);
        panel->raise();
        left += panel->width() + gap;
    }
}

} // namespace

int ShowMsg(const QString &caption, int width, int height, const QString &text, const QString &button1,
            const QString &button2, const QString &button3, const QString &button4, const QString &button5)
{
    auto window = std::make_unique<MessageWindow>();
    window->setOuterSize(width, height);
    window->setWindowTitle(caption);
    for (int k = 0; k < ButtonCount; ++k)
        window->button(k).setCaption(QString());
    std::array<QString, ButtonCount> captions{button1, button2, button3, button4, button5};
    const int count = countButtons(captions);
    RenderMarkup(window->textArea(), text);

    // Shown off the screen first so that the window system's frame is known,
    // and modal from the start: hiding and showing it again races with the
    // window manager, which may leave the window unmapped but still modal.
    window->setWindowModality(Qt::ApplicationModal);
    window->move(-1000, 0);
    window->show();
    window->setOuterSize(width, height);
    window->textArea()->setGeometry(FrameWidth, FrameWidth, std::max(window->width() - 2 * FrameWidth, 0),
                                    std::max(window->height() - 2 * FrameWidth, 0));
    for (int k = 0; k < count; ++k)
        styleButton(window->button(k), captions[std::size_t(k)]);
    arrangeButtons(*window, count, width);

    PlaceCentered(window.get());
    window->exec();
    return window->result();
}

} // namespace messages
