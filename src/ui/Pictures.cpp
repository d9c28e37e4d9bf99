#include "ui/Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

const char* const StripEnergies[14] = {"0.07", "0.12", "0.18", "0.27", "0.38", "0.51", "0.66",
                                       "0.86", "1.15", "1.44", "1.76", "2.16", "2.61", "3.00"};

namespace {

const QColor LogoBlue(22, 74, 140);
const QColor LogoAmber(243, 156, 53);

// The mark: a hexagon with three rising bars, the program's "signal over the line".
void DrawMark(QPainter& p, const QRectF& box) {
    const double s = std::min(box.width(), box.height());
    const QPointF c = box.center();
    const double r = s / 2.0;
    QPainterPath hex;
    for (int i = 0; i < 6; ++i) {
        const double a = M_PI / 3.0 * i + M_PI / 6.0;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            hex.moveTo(pt);
        else
            hex.lineTo(pt);
    }
    hex.closeSubpath();
    QLinearGradient g(box.topLeft(), box.bottomRight());
    g.setColorAt(0, LogoBlue.lighter(130));
    g.setColorAt(1, LogoBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(hex);
    const double bw = r * 0.26, gap = r * 0.12, base = c.y() + r * 0.45;
    const double heights[3] = {r * 0.45, r * 0.75, r * 1.05};
    double x = c.x() - 1.5 * bw - gap;
    for (int i = 0; i < 3; ++i) {
        p.setBrush(i == 2 ? LogoAmber : QColor(Qt::white));
        p.drawRect(QRectF(x, base - heights[i], bw, heights[i]));
        x += bw + gap;
    }
}

} // namespace

QIcon ProgramIcon() {
    // The installed icon file, built into the program; drawn here only where Qt cannot read SVG
    // (libqt6svg6 missing).
    Q_INIT_RESOURCE(pictures);
    const QIcon file(QStringLiteral(":/icons/" HALVEX_APP_ID ".svg"));
    if (!file.pixmap(32, 32).isNull()) return file;
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        DrawMark(p, QRectF(0.5, 0.5, size - 1.0, size - 1.0));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QPixmap LogoPicture(int width, int height, bool latin) {
    QPixmap pm(width, height);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double markSize = height * 0.62;
    const QRectF mark(height * 0.12, (height - markSize) / 2.0, markSize, markSize);
    DrawMark(p, mark);

    const QString name = latin ? QStringLiteral("HALVEX") : QStringLiteral("ХАЛВЕКС");
    const QString line = latin ? QStringLiteral("dosimetry service software")
                               : QStringLiteral("сервисное ПО дозиметрии");
    const double textLeft = mark.right() + height * 0.12;
    const double textWidth = width - textLeft - height * 0.08;
    QFont nameFont(QStringLiteral("DejaVu Sans"));
    nameFont.setBold(true);
    nameFont.setPixelSize(int(height * 0.30));
    // Shrink the name until it fits beside the mark, whichever alphabet it is written in.
    while (nameFont.pixelSize() > 6 && QFontMetricsF(nameFont).horizontalAdvance(name) > textWidth)
        nameFont.setPixelSize(nameFont.pixelSize() - 1);
    QFontMetricsF nm(nameFont);
    const double nameBase = height * 0.52;
    p.setFont(nameFont);
    p.setPen(LogoBlue);
    p.drawText(QPointF(textLeft, nameBase), name);

    p.setPen(QPen(LogoAmber, std::max(1.0, height * 0.02)));
    const double ruleY = nameBase + height * 0.07;
    p.drawLine(QPointF(textLeft, ruleY), QPointF(textLeft + nm.horizontalAdvance(name), ruleY));

    QFont lineFont(QStringLiteral("DejaVu Sans"));
    lineFont.setPixelSize(std::max(6, int(height * 0.10)));
    while (lineFont.pixelSize() > 6 &&
           QFontMetricsF(lineFont).horizontalAdvance(line) > nm.horizontalAdvance(name))
        lineFont.setPixelSize(lineFont.pixelSize() - 1);
    p.setFont(lineFont);
    p.setPen(QColor(90, 90, 90));
    p.drawText(QPointF(textLeft, ruleY + QFontMetricsF(lineFont).ascent() + height * 0.04), line);
    p.end();
    return pm;
}

QPixmap PlusMinusPicture() {
    QPixmap pm(9, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(0, 3, 9, 2);  // plus, bar
    p.drawRect(3, 0, 2, 8);  // plus, stem
    p.drawRect(0, 10, 9, 2); // minus
    p.end();
    return pm;
}

QPixmap PageButtonPicture(bool forward) {
    QPixmap pm(48, 48);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(18, 16), 34);
    g.setColorAt(0, QColor(235, 235, 235));
    g.setColorAt(1, QColor(120, 120, 120));
    p.setPen(QPen(QColor(90, 90, 90), 2));
    p.setBrush(g);
    p.drawEllipse(QRectF(2, 2, 44, 44));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(34);
    p.setFont(f);
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRectF(0, -3, 48, 48), Qt::AlignCenter,
               forward ? QStringLiteral("»") : QStringLiteral("«"));
    p.end();
    return pm;
}

QPixmap EnergyStrip(int width, int height, const std::vector<double>& centres) {
    QPixmap pm(std::max(1, width), std::max(1, height));
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont f(QStringLiteral("DejaVu Sans Condensed"));
    f.setPixelSize(std::max(6, height - 2));
    p.setFont(f);
    p.setPen(Qt::black);
    const size_t n = std::min<size_t>(centres.size(), 14);
    for (size_t i = 0; i < n; ++i) {
        const QString text = QString::fromLatin1(StripEnergies[i]);
        const double w = QFontMetricsF(f).horizontalAdvance(text);
        p.drawText(QRectF(centres[i] - w / 2.0 - 1, 0, w + 2, height), Qt::AlignCenter, text);
    }
    p.end();
    return pm;
}
