#include "messages/ui/inputbox.h"

#include "messages/colourvalue.h"
#include "messages/inputboxlayout.h"
#include "messages/ui/placecentered.h"
#include "messages/ui/roundedcorners.h"

#include <QDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

namespace messages {

QString LatinLetters()
{
    return QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
}

QString DecimalDigits()
{
    return QStringLiteral("0123456789");
}

namespace {

QFont tahoma13()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    return font;
}

// The prompt as the label shows it: its own line breaks and five empty
// lines below that make room for the edit line and the buttons.
QString labelText(const QString &prompt)
{
    QString text = prompt + QString(5, u'\r');
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QSize textSize(const QFontMetrics &metrics, const QString &text)
{
    const QStringList lines = text.split(u'\n');
    int width = 0;
    for (const QString &line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    return {width, int(lines.size()) * metrics.lineSpacing()};
}

// Passes control keys (Backspace, Enter, shortcuts) and the allowed
// characters; any other typed character is discarded.
class TypedCharacterFilter : public QObject
{
public:
    TypedCharacterFilter(QObject *parent, const QString &allowed) : QObject(parent), allowed_(allowed) {}

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const QString typed = static_cast<QKeyEvent *>(event)->text();
        if (typed.isEmpty() || typed.at(0).category() == QChar::Other_Control)
            return false;
        for (const QChar c : typed) {
            if (!allowed_.contains(c))
                return true;
        }
        return false;
    }

private:
    QString allowed_;
};

class InputBoxWindow : public QDialog
{
public:
    InputBoxWindow(const QString &allowed) : allowed_(allowed)
    {
        setObjectName(QStringLiteral("TFormInputBox"));
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        setFont(tahoma13());
        QPalette grey = palette();
        grey.setColor(QPalette::Window, QColor(128, 128, 128));
        setPalette(grey);
        setAutoFillBackground(true);

        panel_ = new QFrame(this);
        panel_->setObjectName(QStringLiteral("Panel1"));
        panel_->setFrameShape(QFrame::NoFrame);
        QPalette tip = panel_->palette();
        tip.setColor(QPalette::Window, ColorFromValue(SystemColor::InfoBackground, tip));
        panel_->setPalette(tip);
        panel_->setAutoFillBackground(true);

        label_ = new QLabel(panel_);
        label_->setObjectName(QStringLiteral("Label1"));
        label_->setTextFormat(Qt::PlainText);
        label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

        edit_ = new QLineEdit(panel_);
        edit_->setObjectName(QStringLiteral("MaskEdit1"));
        edit_->installEventFilter(new TypedCharacterFilter(edit_, allowed_));
        connect(edit_, &QLineEdit::textChanged, this, [this] { keepAllowedCharacters(); });

        ok_ = makeButton(QStringLiteral("BitBtn1"), QStringLiteral("Ok"), 1);
        ok_->setDefault(true);
        cancel_ = makeButton(QStringLiteral("BitBtn2"), QStringLiteral("Отмена"), 2);

        KeepRoundedCorners(this);
        KeepRoundedCorners(panel_);
    }

    int outcome() const { return outcome_; }
    QString resultText() const { return resultText_; }

    void setUp(const QString &caption, const QString &prompt, const QString &value, int maxLength, int editWidth)
    {
        edit_->setMaxLength(maxLength > 0 ? maxLength : 32767);
        edit_->setText(value);
        setWindowTitle(caption);
        label_->setText(labelText(prompt));
        label_->resize(textSize(QFontMetrics(label_->font()), label_->text()));
        const InputBoxLayout layout = LayOutInputBox(label_->size(), editWidth);
        resize(layout.clientSize);
        panel_->setGeometry(layout.panel);
        label_->setGeometry(layout.label);
        edit_->setGeometry(layout.edit);
        ok_->setGeometry(layout.okButton);
        cancel_->setGeometry(layout.cancelButton);
    }

protected:
    // The window system's close command and the Escape key end here: the
    // window is left only through its buttons.
    void reject() override
    {
        if (outcome_ != 0)
            QDialog::reject();
    }

private:
    QPushButton *makeButton(const QString &name, const QString &text, int outcome)
    {
        auto *button = new QPushButton(text, panel_);
        button->setObjectName(name);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, outcome] { finish(outcome); });
        return button;
    }

    void finish(int outcome)
    {
        outcome_ = outcome;
        resultText_ = outcome == 1 ? edit_->text() : QString();
        accept();
    }

    // After any change (typing or pasting) only the allowed characters stay,
    // in their order; the cursor stays behind the same kept characters.
    void keepAllowedCharacters()
    {
        const QString text = edit_->text();
        QString kept;
        int cursor = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!allowed_.contains(text.at(i)))
                continue;
            kept += text.at(i);
            if (i < edit_->cursorPosition())
                ++cursor;
        }
        if (kept == text)
            return;
        edit_->setText(kept);
        edit_->setCursorPosition(cursor);
    }

    QString allowed_;
    QFrame *panel_ = nullptr;
    QLabel *label_ = nullptr;
    QLineEdit *edit_ = nullptr;
    QPushButton *ok_ = nullptr;
    QPushButton *cancel_ = nullptr;
    int outcome_ = 0;
    QString resultText_;
};

} // namespace

bool ShowInputBox(const QString &caption, const QString &prompt, QString &value, const QString &allowed,
                  int maxLength, int editWidth)
{
    auto window = std::make_unique<InputBoxWindow>(allowed);
    window->setUp(caption, prompt, value, maxLength, editWidth);
    // Shown once off the screen, so that the panel and the window take their
    // self-sized extents, without reaching the window system: a window mapped
    // and at once unmapped could be left withdrawn by the window manager and
    // then never appear.
    window->move(-1000, 0);
    window->setAttribute(Qt::WA_DontShowOnScreen, true);
    window->show();
    window->hide();
    window->setAttribute(Qt::WA_DontShowOnScreen, false);
    PlaceCentered(window.get());
    window->exec();
    value = window->resultText();
    return window->outcome() == 1;
}

} // namespace messages
