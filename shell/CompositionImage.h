// The notification picture: a caption band drawn under the picture with a black outline and a
// shading, and the window shape made of every pixel that is not of the transparent colour.
#pragma once

#include <QFont>
#include <QImage>
#include <QRegion>
#include <QString>

inline constexpr QRgb kCouleurLegende = 0xF0F0F0; // RGB(240, 240, 240)
inline constexpr QRgb kPasOmbrage = 0x080808;     // taken off a caption pixel per black neighbour

struct ImageComposee {
    QImage image; // Format_RGB32
    QRegion forme;
    QRgb transparent = 0; // colour of the source's pixel (0, 0), without alpha
};

// Size 14, bold, without anti-aliasing so that the caption's pixels are of one colour.
QFont policeLegende();

// The source picture alone, or, with a band, widened and heightened for the caption centred
// under it. An empty source gives an empty result.
ImageComposee composerImageAlerte(const QImage& source, bool avecLegende, const QString& legende,
                                  const QFont& police = policeLegende());

// The outline and shading passes over one rectangle of a Format_RGB32 picture: a pixel next to a
// caption pixel becomes black, then a caption pixel darkens by kPasOmbrage per black neighbour.
void contourEtOmbrage(QImage& image, const QRect& zone);

// Union of the horizontal runs of pixels that differ from the transparent colour, row by row.
QRegion formeOpaque(const QImage& image, QRgb transparent);
