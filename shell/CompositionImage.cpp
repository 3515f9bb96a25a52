#include "CompositionImage.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr QRgb kRgb = 0x00FFFFFF;
constexpr QRgb kNoir = 0xFF000000;

// The eight neighbours, in the order the shading tests them.
constexpr int kVoisins[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};

class Pixels {
public:
    explicit Pixels(QImage& image) : m_image(image) {}
    bool dedans(int x, int y) const {
        return x >= 0 && y >= 0 && x < m_image.width() && y < m_image.height();
    }
    QRgb& at(int x, int y) { return reinterpret_cast<QRgb*>(m_image.scanLine(y))[x]; }
    bool est(int x, int y, QRgb couleur) { return dedans(x, y) && (at(x, y) & kRgb) == couleur; }

private:
    QImage& m_image;
};

} // namespace

// Only the caption's rectangle is walked; a pixel's outside neighbours are read, never written.
void contourEtOmbrage(QImage& image, const QRect& zone) {
    Pixels px(image);
    const QRect r = zone.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            if (px.est(x, y, kCouleurLegende))
                continue;
            for (const auto& v : kVoisins)
                if (px.est(x + v[0], y + v[1], kCouleurLegende)) {
                    px.at(x, y) = kNoir;
                    break;
                }
        }
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            if (!px.est(x, y, kCouleurLegende))
                continue;
            QRgb c = px.at(x, y);
            for (const auto& v : kVoisins)
                if (px.est(x + v[0], y + v[1], 0))
                    c -= kPasOmbrage;
            px.at(x, y) = c;
        }
}

QFont policeLegende() {
    QFont police;
    police.setPointSize(14);
    police.setBold(true);
    police.setStyleStrategy(QFont::NoAntialias);
    return police;
}

QRegion formeOpaque(const QImage& image, QRgb transparent) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    transparent &= kRgb;
    QRegion forme;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* ligne = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        int x = 0;
        while (x < rgb.width()) {
            while (x < rgb.width() && (ligne[x] & kRgb) == transparent)
                ++x;
            const int debut = x;
            while (x < rgb.width() && (ligne[x] & kRgb) != transparent)
                ++x;
            // Runs arrive in row order, left to right, so each one is appended to the region.
            if (x > debut)
                forme += QRect(debut, y, x - debut, 1);
        }
    }
    return forme;
}

ImageComposee composerImageAlerte(const QImage& source, bool avecLegende, const QString& legende,
                                  const QFont& police) {
    if (source.isNull())
        return {};
    const QImage copie = source.convertToFormat(QImage::Format_RGB32);
    const QRgb transparent = copie.pixel(0, 0) & kRgb;
    if (!avecLegende)
        return {copie, formeOpaque(copie, transparent), transparent};

    const QFontMetrics fm(police);
    const int tw = fm.horizontalAdvance(legende);
    const int th = fm.height();
    const int w = copie.width() < tw + 16 ? tw + 16 : copie.width() + 16;
    const int cx = (w - 8) / 2;
    const int h = copie.height() + th + 4;

    QImage image(w, h, QImage::Format_RGB32);
    image.fill(transparent | ~kRgb);
    {
        QPainter p(&image);
        p.drawImage(cx - copie.width() / 2, 0, copie);
        p.setFont(police);
        p.setPen(QColor::fromRgb(kCouleurLegende));
        p.drawText(cx - tw / 2, h - th - 2 + fm.ascent(), legende);
    }
    contourEtOmbrage(image, QRect(QPoint(cx - tw / 2 - 1, h - th - 2), QPoint(cx + tw / 2 + 1, h - 2)));
    return {image, formeOpaque(image, transparent), transparent};
}
