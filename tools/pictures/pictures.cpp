// Draws the pictures shipped in the program folder: the two envelope-type
// thumbnails of the main tab, the two large pictures of the chooser page,
// the measuring scheme of the formats tab and the program icon.
//   kuvertix-pictures <program folder>

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

const QColor kPaper(250, 247, 236);
const QColor kInk(40, 40, 40);
const QColor kMarkup(200, 40, 40);

// One envelope in landscape, size w x h pixels, with or without the
// address lines and postal-code frames that printing houses pre-print.
void drawEnvelope(QPainter &p, const QRectF &r, bool preprinted, bool sampleLines = true)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, std::max(1.0, r.width() / 200)));
    p.setBrush(kPaper);
    p.drawRect(r);
    const double u = r.width() / 220.0;  // one millimetre of a DL envelope
    auto mm = [&](double x, double y, double w, double h) {
        return QRectF(r.left() + x * u, r.top() + y * u, w * u, h * u);
    };
    // Stamp corner.
    p.setPen(QPen(kInk, u * 0.4, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(mm(185, 6, 28, 32));
    if (preprinted) {
        p.setPen(QPen(kMarkup, u * 0.5));
        for (double y : {11.0, 18.0, 25.0})
            p.drawLine(mm(25, y, 80, 0).topLeft(), mm(25, y, 80, 0).topRight());
        for (double y : {63.0, 70.0, 77.0, 84.0})
            p.drawLine(mm(120, y, 92, 0).topLeft(), mm(120, y, 92, 0).topRight());
        p.drawRect(mm(120, 92, 22, 5));
        p.drawRect(mm(10, 32, 22, 5));
        QFont f("DejaVu Sans");
        f.setPixelSize(std::max(6, int(u * 3.2)));
        f.setItalic(true);
        p.setFont(f);
        p.drawText(mm(8, 6, 17, 5), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("От кого"));
        p.drawText(mm(8, 13, 17, 5), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Откуда"));
        p.drawText(mm(108, 58, 12, 5), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Кому"));
        p.drawText(mm(108, 65, 12, 5), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Куда"));
        // The postal-code stencil in the lower left corner.
        for (int i = 0; i < 6; ++i) {
            const QRectF cell = mm(10 + i * 11, 88, 7, 14);
            p.drawRect(cell);
            p.drawLine(cell.topLeft(), cell.center());
            p.drawLine(cell.center(), cell.bottomRight());
        }
    } else if (sampleLines) {
        p.setPen(QPen(kInk.lighter(200), u * 0.5));
        p.setBrush(kInk.lighter(240));
        for (double y : {8.0, 15.0, 22.0})
            p.drawRect(mm(25, y, 60 - y, 2.5));
        for (double y : {60.0, 67.0, 74.0})
            p.drawRect(mm(120, y, 80 - (y - 60), 2.5));
    }
    p.restore();
}

QImage canvas(int w, int h, const QColor &background = Qt::white)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(background);
    return img;
}

bool save(const QImage &img, const QDir &dir, const QString &name, const char *format)
{
    if (img.save(dir.filePath(name), format))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(dir.filePath(name)));
    return false;
}

QImage envelopePicture(int w, int h, bool preprinted)
{
    QImage img = canvas(w, h, QColor(236, 233, 216));
    QPainter p(&img);
    drawEnvelope(p, QRectF(4, 4, w - 8, h - 8), preprinted);
    return img;
}

void arrow(QPainter &p, QPointF a, QPointF b, const QString &label, QPointF labelShift = {})
{
    p.drawLine(a, b);
    const QLineF line(a, b);
    for (const QPointF &end : {a, b}) {
        QLineF head = QLineF(end, end == a ? b : a);
        head.setLength(8);
        for (double angle : {25.0, -25.0}) {
            QLineF side = head;
            side.setAngle(head.angle() + angle);
            p.drawLine(side);
        }
    }
    const QPointF mid = line.center() + labelShift;
    p.drawText(QRectF(mid.x() - 100, mid.y() - 22, 200, 44), Qt::AlignHCenter | Qt::AlignTop, label);
}

QImage measuringScheme()
{
    QImage img = canvas(900, 520);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QFont title("DejaVu Sans");
    title.setPixelSize(20);
    title.setBold(true);
    p.setFont(title);
    p.setPen(kInk);
    p.drawText(QRectF(0, 8, 900, 30), Qt::AlignCenter, QStringLiteral("Как измерить конверт и поля (всё в миллиметрах)"));
    const QRectF env(90, 80, 660, 330);
    drawEnvelope(p, env, false, false);
    QFont f("DejaVu Sans");
    f.setPixelSize(15);
    p.setFont(f);
    // A sample box: the recipient name field.
    const QRectF box(env.left() + 360, env.top() + 174, 276, 15 * 1.0 + 12);
    p.setPen(QPen(kMarkup, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box);
    p.drawText(box, Qt::AlignCenter, QStringLiteral("Поле «Кому»"));
    p.setPen(QPen(QColor(30, 80, 200), 1.5));
    arrow(p, QPointF(env.left(), box.center().y()), QPointF(box.left(), box.center().y()),
          QStringLiteral("отступ слева"));
    arrow(p, QPointF(box.left() + 40, env.top()), QPointF(box.left() + 40, box.top()),
          QStringLiteral("отступ сверху"));
    arrow(p, QPointF(box.left(), box.bottom() + 18), QPointF(box.right(), box.bottom() + 18),
          QStringLiteral("длина"), QPointF(0, 24));
    arrow(p, QPointF(box.right() + 20, box.top()), QPointF(box.right() + 20, box.bottom()),
          QStringLiteral("ширина"), QPointF(0, 36));
    arrow(p, QPointF(env.left(), env.bottom() + 30), QPointF(env.right(), env.bottom() + 30),
          QStringLiteral("длина конверта"), QPointF(0, 24));
    arrow(p, QPointF(env.right() + 40, env.top()), QPointF(env.right() + 40, env.bottom()),
          QStringLiteral("ширина\nконверта"), QPointF(60, 0));
    p.setPen(kInk);
    p.drawText(QRectF(20, 470, 860, 40), Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("Конверт лежит длинной стороной горизонтально. Отступы отмеряются от "
                              "левого верхнего угла конверта до левого верхнего угла поля."));
    return img;
}

QImage icon()
{
    QImage img(256, 256, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(16, 56, 224, 144);
    p.setPen(QPen(kInk, 8));
    p.setBrush(kPaper);
    p.drawRoundedRect(r, 10, 10);
    QPainterPath flap;
    flap.moveTo(r.topLeft());
    flap.lineTo(r.center());
    flap.lineTo(r.topRight());
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
    p.setPen(QPen(kMarkup, 10));
    p.drawLine(QPointF(120, 160), QPointF(210, 160));
    p.drawLine(QPointF(120, 182), QPointF(190, 182));
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kuvertix-pictures <program folder>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());
    bool ok = save(envelopePicture(264, 136, true), dir, QStringLiteral("Конверт мини1.bmp"), "BMP")
              && save(envelopePicture(264, 136, false), dir, QStringLiteral("Конверт мини2.bmp"), "BMP")
              && save(envelopePicture(420, 216, true), dir, QStringLiteral("Конверт с разметкой.png"), "PNG")
              && save(envelopePicture(420, 216, false), dir, QStringLiteral("Конверт без разметки.png"), "PNG")
              && save(measuringScheme(), dir, QStringLiteral("Схема замеров.png"), "PNG")
              && save(icon(), dir, QStringLiteral("kuvertix.png"), "PNG");
    return ok ? 0 : 1;
}
