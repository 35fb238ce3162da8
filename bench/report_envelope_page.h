#pragma once

// An envelope-like page for the benchmarks: the named boxes an envelope
// carries (captions, sender and recipient lines, postal codes, the big postal
// code, the comment and the logo), filled with texts of realistic length.

#include "report/page.h"

#include <QFont>
#include <QImage>

inline QFont benchFont(const QString &family, int pixels, bool italic = false, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setItalic(italic);
    font.setBold(bold);
    return font;
}

inline void addBenchText(report::ReportPage &page, const QString &name, const QRect &box, const QFont &font,
                         const QString &text)
{
    report::ReportText &object = page.addText(name, box);
    object.setFont(font);
    object.setText(text);
}

inline void buildBenchEnvelope(report::ReportPage &page, const QImage &logo)
{
    const QString arial = QStringLiteral("Arial");
    page.setCustomPaperSize(229, 162);
    page.addPicture(QStringLiteral("Logo"), QRect(34, 178, 42, 38)).setPicture(logo);
    const QFont caption = benchFont(arial, 12, true);
    addBenchText(page, QStringLiteral("otKogo_"), QRect(38, 15, 57, 19), caption, QStringLiteral("От кого"));
    addBenchText(page, QStringLiteral("otKuda_"), QRect(38, 38, 57, 19), caption, QStringLiteral("Откуда"));
    addBenchText(page, QStringLiteral("otIndex_"), QRect(38, 60, 166, 15), benchFont(arial, 9, true),
                 QStringLiteral("Индекс места отправления"));
    addBenchText(page, QStringLiteral("Komu_"), QRect(440, 280, 38, 19), caption, QStringLiteral("Кому"));
    addBenchText(page, QStringLiteral("Kuda_"), QRect(440, 330, 38, 19), caption, QStringLiteral("Куда"));
    addBenchText(page, QStringLiteral("Index_"), QRect(478, 400, 155, 15), benchFont(arial, 9, true),
                 QStringLiteral("Индекс места назначения"));
    for (const char *name : {"otKogo_", "otKuda_", "Komu_", "Kuda_"})
        page.text(QString::fromLatin1(name)).setVerticalAlignment(report::ReportText::VerticalAlignment::Bottom);

    const QFont address = benchFont(arial, 15);
    addBenchText(page, QStringLiteral("otKogo"), QRect(95, 15, 321, 19), address, QString());
    addBenchText(page, QStringLiteral("otKuda"), QRect(95, 38, 321, 19), address, QString());
    addBenchText(page, QStringLiteral("otIndex"), QRect(208, 60, 60, 15), address, QString());
    addBenchText(page, QStringLiteral("Komu"), QRect(478, 280, 340, 45), address, QString());
    addBenchText(page, QStringLiteral("Kuda"), QRect(478, 330, 340, 60), address, QString());
    addBenchText(page, QStringLiteral("Index"), QRect(478, 410, 60, 15), address, QString());
    for (const char *name : {"otIndex", "Index"})
        page.text(QString::fromLatin1(name)).setFillStyle(report::ReportText::FillStyle::Clear);
    for (const char *name : {"otKogo", "otKuda", "Komu", "Kuda"})
        page.text(QString::fromLatin1(name)).setLineGap(1.41 * (7 * 2.77 - 11));

    addBenchText(page, QStringLiteral("ZIPcode"), QRect(33, 505, 253, 64),
                 benchFont(QStringLiteral("Kuvertix ZIPcode"), 45, false, true), QString());
    addBenchText(page, QStringLiteral("KonvertComment"), QRect(610, 72, 200, 60), benchFont(arial, 12),
                 QStringLiteral("ЗАКАЗНОЕ\r\nС ПРОСТЫМ УВЕДОМЛЕНИЕМ"));
}

// Fills the address boxes for envelope number n.
inline void fillBenchEnvelope(report::ReportPage &page, int n)
{
    const QString index = QStringLiteral("%1").arg(100000 + n % 900000, 6, 10, QLatin1Char('0'));
    page.text(QStringLiteral("otKogo")).setText(QStringLiteral("ООО «Отправитель и партнёры»"));
    page.text(QStringLiteral("otKuda")).setText(
        QStringLiteral("г. Москва, ул. Большая Никитская, д. 12, офис 45"));
    page.text(QStringLiteral("otIndex")).setText(QStringLiteral("125009"));
    page.text(QStringLiteral("Komu")).setText(
        QStringLiteral("Получателеву Получателю Получателевичу № %1").arg(n));
    page.text(QStringLiteral("Kuda")).setText(
        QStringLiteral("Новосибирская обл., г. Бердск, ул. Ленина, д. %1, кв. %2").arg(n % 200 + 1).arg(n % 97 + 1));
    page.text(QStringLiteral("Index")).setText(index);
    page.text(QStringLiteral("ZIPcode")).setText(QLatin1Char('-') + index);
}

inline QImage benchLogo()
{
    QImage logo(200, 180, QImage::Format_RGB32);
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x)
            logo.setPixel(x, y, qRgb(40 + x / 2, 90, 200 - y / 2));
    return logo;
}
