#include "messages/ui/notices.h"

#include "tests/support/modal.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QtTest>

namespace {

struct SeenNotice
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
    QString title, text;
};

// Looks at the notice box once it shows and presses its only button.
SeenNotice pressOnlyButton(const std::function<void()> &show)
{
    SeenNotice seen;
    modal::whenShown("NoticeBox", [&](QWidget *window) {
        auto *box = qobject_cast<QMessageBox *>(window);
        seen.icon = box->icon();
        seen.title = box->windowTitle();
        seen.text = box->text();
        for (QAbstractButton *button : box->buttons())
            seen.buttons.append(box->standardButton(button));
        QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
    });
    show();
    return seen;
}

} // namespace

class NoticesTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { modal::stopPolls(); }

    void errorNoticeHasOnlyCancel()
    {
        const SeenNotice seen = pressOnlyButton([] { messages::ShowErrorNotice(nullptr, "Kuvertix", "Файл не найден"); });
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Cancel});
        QCOMPARE(seen.title, QStringLiteral("Kuvertix"));
        QCOMPARE(seen.text, QStringLiteral("Файл не найден"));
    }

    void warningNoticeHasOnlyOk()
    {
        const SeenNotice seen = pressOnlyButton([] { messages::ShowWarningNotice(nullptr, "Kuvertix", "<b>{FB}</b>"); });
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QCOMPARE(seen.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
        QCOMPARE(seen.text, QStringLiteral("<b>{FB}</b>"));
    }
};

QTEST_MAIN(NoticesTest)
#include "tst_notices.moc"
