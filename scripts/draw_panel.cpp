// Draws the picture of the QZ7's front panel that the program shows once it has recognised the
// device: the panel, its display reading BOOT (the boot loader is talking), and its controls. It
// stays up from the banner to the end of the dialogue, so it shows only what is true all that
// time: no instruction. The background is transparent; the panel carries its own contrast.
// Usage: qz7-drawpanel OUTPUT.png  (writes OUTPUT.png at 400x180 and OUTPUT@2x.png at 800x360,
// which Qt picks on high-density screens)
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

namespace {

void Draw(QPainter& p)
{

    // Panel
    p.setPen(QPen(QColor(40, 40, 44), 2));
    p.setBrush(QColor(72, 76, 84));
    p.drawRoundedRect(QRectF(6, 30, 388, 120), 10, 10);
    p.setBrush(QColor(58, 61, 68));
    p.drawRoundedRect(QRectF(14, 38, 372, 104), 6, 6);

    // Name plate
    QFont bold("DejaVu Sans", 16, QFont::Bold);
    p.setFont(bold);
    p.setPen(QColor(235, 235, 235));
    p.drawText(QRectF(26, 46, 80, 26), Qt::AlignLeft | Qt::AlignVCenter, "QZ7");

    // Display
    p.setPen(QPen(QColor(20, 20, 20), 2));
    p.setBrush(QColor(40, 70, 50));
    p.drawRoundedRect(QRectF(26, 80, 150, 48), 4, 4);
    p.setPen(QColor(140, 230, 160));
    p.setFont(QFont("DejaVu Sans Mono", 11));
    p.drawText(QRectF(32, 84, 140, 40), Qt::AlignCenter, "BOOT");

    // Status lamps and two small keys
    const QColor lamps[] = {QColor(90, 200, 90), QColor(230, 180, 60), QColor(200, 70, 60)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(QColor(25, 25, 25), 1));
        p.setBrush(lamps[i]);
        p.drawEllipse(QPointF(200 + 18 * i, 58), 5, 5);
    }
    p.setBrush(QColor(110, 114, 122));
    p.drawRoundedRect(QRectF(194, 92, 30, 24), 4, 4);
    p.drawRoundedRect(QRectF(232, 92, 30, 24), 4, 4);

    // Run/Stop button, plain: the picture shows the QZ7 as the updater found it, in its boot
    // loader; the instruction to hold the button belongs to the directions, before the banner.
    p.setPen(QPen(QColor(90, 10, 10), 2));
    p.setBrush(QColor(215, 40, 40));
    p.drawEllipse(QPointF(330, 100), 24, 24);
    p.setPen(Qt::white);
    p.setFont(QFont("DejaVu Sans", 7, QFont::Bold));
    p.drawText(QRectF(306, 88, 48, 24), Qt::AlignCenter, "RUN\nSTOP");
}

bool Render(const QString& path, int scale)
{
    QImage image(400 * scale, 180 * scale, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    Draw(p);
    p.end();
    return image.save(path);
}

}  // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    QString doubled = path;
    doubled.insert(doubled.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
    return Render(path, 1) && Render(doubled, 2) ? 0 : 1;
}
