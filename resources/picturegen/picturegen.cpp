// Draws Bavardin's own pictures: the three tray icons, the banner of the base window and the
// strip of 108 small pictures of the main window. Run by hand when a picture changes:
//   QT_QPA_PLATFORM=offscreen bavardin_picturegen <resources folder>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <cstdio>

namespace {

QImage vide(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// A head and shoulders in a unit box of 16 scaled to s.
void personne(QPainter& p, double x, double y, double s, QColor corps, QColor tete) {
    p.save();
    p.translate(x, y);
    p.scale(s / 16.0, s / 16.0);
    p.setPen(QPen(corps.darker(160), 0.8));
    p.setBrush(corps);
    QPainterPath epaules;
    epaules.moveTo(2, 16);
    epaules.cubicTo(2, 10, 14, 10, 14, 16);
    epaules.closeSubpath();
    p.drawPath(epaules);
    p.setBrush(tete);
    p.setPen(QPen(tete.darker(150), 0.8));
    p.drawEllipse(QRectF(4.5, 1.5, 7, 7.5));
    p.restore();
}

void repondeur(QPainter& p, double s) {
    p.save();
    p.scale(s / 16.0, s / 16.0);
    p.setPen(QPen(QColor(40, 40, 40), 0.8));
    p.setBrush(QColor(70, 70, 80));
    p.drawRoundedRect(QRectF(0.5, 3.5, 15, 10), 2, 2);
    p.setBrush(QColor(220, 220, 225));
    p.drawRoundedRect(QRectF(2.5, 5.5, 11, 5), 1, 1);
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(QRectF(4, 6.5, 3, 3));
    p.drawEllipse(QRectF(9, 6.5, 3, 3));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 30, 30));
    p.drawEllipse(QRectF(12.2, 11.2, 2.2, 2.2));
    p.restore();
}

void enveloppe(QPainter& p, double s) {
    p.save();
    p.scale(s / 16.0, s / 16.0);
    p.setPen(QPen(QColor(120, 90, 30), 0.8));
    p.setBrush(QColor(250, 225, 150));
    p.drawRect(QRectF(1.5, 4.5, 13, 8));
    p.drawPolyline(QPolygonF({QPointF(1.5, 4.5), QPointF(8, 9.5), QPointF(14.5, 4.5)}));
    p.restore();
}

// Personal picture n (0-based among the personal ones): a face built from a few traits so that
// every number looks different.
QImage visage(int n) {
    QImage img = vide(16, 16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor fond = QColor::fromHsv((n * 47) % 360, 90 + (n % 3) * 50, 235);
    const QColor peau[] = {QColor(255, 220, 185), QColor(230, 185, 140), QColor(180, 130, 90),
                           QColor(120, 80, 55), QColor(250, 235, 120)};
    const QColor cheveux[] = {QColor(40, 30, 20), QColor(150, 90, 30), QColor(230, 200, 90),
                              QColor(200, 60, 30), QColor(160, 160, 160), QColor(60, 60, 200)};
    p.setPen(Qt::NoPen);
    p.setBrush(fond);
    p.drawRoundedRect(QRectF(0, 0, 16, 16), 3, 3);
    const QColor c = peau[n % 5];
    p.setBrush(c);
    p.setPen(QPen(c.darker(140), 0.7));
    if ((n / 5) % 2)
        p.drawRoundedRect(QRectF(3.5, 3, 9, 10.5), 2.5, 2.5);
    else
        p.drawEllipse(QRectF(3, 2.5, 10, 11));
    // Hair
    p.setPen(Qt::NoPen);
    p.setBrush(cheveux[(n / 2) % 6]);
    switch ((n / 10) % 4) {
    case 0: p.drawChord(QRectF(3, 1.5, 10, 7), 0, 180 * 16); break;
    case 1: p.drawRect(QRectF(3.5, 1.5, 9, 2.5)); break;
    case 2:
        p.drawChord(QRectF(2.5, 1, 11, 8), 0, 180 * 16);
        p.drawRect(QRectF(2.5, 4.5, 2, 6));
        p.drawRect(QRectF(11.5, 4.5, 2, 6));
        break;
    default: break; // bald
    }
    // Eyes
    p.setBrush(QColor(20, 20, 40));
    const int yeux = (n / 3) % 3;
    if (yeux == 0) {
        p.drawEllipse(QRectF(5.2, 6.5, 1.8, 1.8));
        p.drawEllipse(QRectF(9, 6.5, 1.8, 1.8));
    } else if (yeux == 1) {
        p.drawRect(QRectF(5, 7, 2.2, 1));
        p.drawRect(QRectF(8.8, 7, 2.2, 1));
    } else {
        p.setBrush(Qt::white);
        p.setPen(QPen(QColor(20, 20, 40), 0.6));
        p.drawEllipse(QRectF(4.6, 6, 2.8, 2.8));
        p.drawEllipse(QRectF(8.6, 6, 2.8, 2.8));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 20, 40));
        p.drawEllipse(QRectF(5.6, 7, 1, 1));
        p.drawEllipse(QRectF(9.6, 7, 1, 1));
    }
    // Mouth
    p.setPen(QPen(QColor(150, 30, 30), 0.9));
    p.setBrush(Qt::NoBrush);
    switch ((n / 7) % 3) {
    case 0: p.drawArc(QRectF(5.5, 8, 5, 3.5), 200 * 16, 140 * 16); break;
    case 1: p.drawLine(QPointF(6, 11), QPointF(10, 11)); break;
    default:
        p.setBrush(QColor(150, 30, 30));
        p.drawEllipse(QRectF(7, 10, 2, 2));
    }
    // An accessory now and then
    switch ((n / 21) % 5) {
    case 1:
        p.setPen(QPen(QColor(20, 20, 20), 0.8));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(4.4, 5.8, 3.2, 3.2));
        p.drawEllipse(QRectF(8.4, 5.8, 3.2, 3.2));
        p.drawLine(QPointF(7.6, 7.3), QPointF(8.4, 7.3));
        break;
    case 2:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 30, 30));
        p.drawRect(QRectF(4, 0.5, 8, 3));
        p.drawRect(QRectF(2, 3, 12, 1.2));
        break;
    case 3:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 40, 120));
        p.drawEllipse(QRectF(11.5, 1, 3.5, 3.5));
        break;
    case 4:
        p.setPen(QPen(QColor(90, 60, 30), 1.0));
        p.drawLine(QPointF(6, 12.6), QPointF(10, 12.6));
        break;
    default: break;
    }
    return img;
}

QImage image(int i) {
    if (i >= 3)
        return visage(i - 3);
    QImage img = vide(16, 16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (i == 0)
        personne(p, 0, 0, 16, QColor(40, 110, 210), QColor(255, 215, 170));
    else if (i == 1)
        repondeur(p, 16);
    else
        enveloppe(p, 16);
    return img;
}

QImage icone(int code, int s) {
    QImage img = vide(s, s);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (code == 9) { // idle: together
        personne(p, s * 0.28, s * 0.05, s * 0.72, QColor(40, 150, 70), QColor(255, 215, 170));
        personne(p, 0, s * 0.22, s * 0.78, QColor(40, 110, 210), QColor(255, 225, 185));
    } else if (code == 11) { // busy
        personne(p, 0, s * 0.1, s * 0.8, QColor(40, 110, 210), QColor(255, 225, 185));
        p.scale(s / 16.0, s / 16.0);
        p.setPen(QPen(QColor(120, 60, 0), 0.8));
        p.setBrush(QColor(255, 160, 20));
        p.drawPolygon(QPolygonF({QPointF(9, 6), QPointF(15, 6), QPointF(12, 11), QPointF(15, 16), QPointF(9, 16),
                                 QPointF(12, 11)}));
    } else { // answering machine
        repondeur(p, s);
    }
    return img;
}

QImage banniere() {
    QImage img(34, 321, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 321);
    g.setColorAt(0, QColor(0, 0, 0));
    g.setColorAt(1, QColor(20, 40, 110));
    p.fillRect(img.rect(), g);
    // Speech bubbles rising along the banner
    for (int k = 0; k < 5; ++k) {
        const double y = 30 + k * 32, r = 5 + k;
        p.setPen(QPen(QColor(255, 255, 255, 60 + k * 25), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(17 - r, y, 2 * r, 1.5 * r));
    }
    p.translate(24, 310);
    p.rotate(-90);
    QFont f(QStringLiteral("DejaVu Sans"), 15, QFont::Bold);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QPointF(0, 0), QStringLiteral("Bavardin"));
    return img;
}

// A .ico of 32-bit BMP entries, the form every reader takes.
QByteArray ico(const QList<QImage>& images) {
    QByteArray out;
    QDataStream d(&out, QIODevice::WriteOnly);
    d.setByteOrder(QDataStream::LittleEndian);
    d << quint16(0) << quint16(1) << quint16(images.size());
    QList<QByteArray> corps;
    for (const QImage& src : images) {
        const QImage img = src.convertToFormat(QImage::Format_ARGB32);
        QByteArray b;
        QDataStream e(&b, QIODevice::WriteOnly);
        e.setByteOrder(QDataStream::LittleEndian);
        const int w = img.width(), h = img.height();
        const int masque = ((w + 31) / 32) * 4 * h;
        e << quint32(40) << qint32(w) << qint32(2 * h) << quint16(1) << quint16(32) << quint32(0)
          << quint32(w * h * 4 + masque) << qint32(0) << qint32(0) << quint32(0) << quint32(0);
        for (int y = h - 1; y >= 0; --y)
            for (int x = 0; x < w; ++x) {
                const QRgb c = img.pixel(x, y);
                e << quint8(qBlue(c)) << quint8(qGreen(c)) << quint8(qRed(c)) << quint8(qAlpha(c));
            }
        for (int k = 0; k < masque; ++k)
            e << quint8(0);
        corps << b;
    }
    quint32 decalage = 6 + 16 * images.size();
    for (int k = 0; k < images.size(); ++k) {
        d << quint8(images[k].width()) << quint8(images[k].height()) << quint8(0) << quint8(0) << quint16(1)
          << quint16(32) << quint32(corps[k].size()) << decalage;
        decalage += corps[k].size();
    }
    for (const QByteArray& b : corps)
        d.writeRawData(b.constData(), int(b.size()));
    return out;
}

bool ecrire(const QString& chemin, const QByteArray& donnees) {
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly) && f.write(donnees) == donnees.size();
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dossier = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dossier);
    bool ok = true;
    const std::pair<int, const char*> icones[] = {{9, "Ensemble.ico"}, {11, "Occupe.ico"}, {15, "Seul.ico"}};
    for (auto [code, nom] : icones)
        ok &= ecrire(dossier + u'/' + QLatin1String(nom), ico({icone(code, 16), icone(code, 32), icone(code, 48)}));
    ok &= icone(9, 48).save(dossier + QStringLiteral("/icone48.png"));
    ok &= banniere().save(dossier + QStringLiteral("/banniere.png"));
    QImage bande = vide(16 * 108, 16);
    {
        QPainter p(&bande);
        for (int i = 0; i < 108; ++i)
            p.drawImage(16 * i, 0, image(i));
    }
    ok &= bande.save(dossier + QStringLiteral("/personnages.png"));
    // A larger sheet to look at the pictures by eye.
    QImage planche = vide(12 * 40, 9 * 40);
    {
        QPainter p(&planche);
        p.fillRect(planche.rect(), Qt::white);
        for (int i = 0; i < 108; ++i)
            p.drawImage(QRect((i % 12) * 40 + 4, (i / 12) * 40 + 4, 32, 32), image(i));
    }
    planche.save(QDir::tempPath() + QStringLiteral("/bavardin-planche.png"));
    std::puts(ok ? "ok" : "échec");
    return ok ? 0 : 1;
}
