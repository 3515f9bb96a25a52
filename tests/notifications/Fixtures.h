// Small picture and icon files written by the tests, and the notification machinery on fakes.
#pragma once

#include "Doublures.h"
#include "Notifications.h"

#include <QImage>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <memory>

namespace fixtures {

// A plain picture file of one colour.
inline QString ecrireImage(const QString& chemin, QSize taille, QRgb couleur, const char* format = "BMP") {
    QImage i(taille, QImage::Format_RGB32);
    i.fill(couleur);
    i.save(chemin, format);
    return chemin;
}

// Personal icons: a coloured square inside a transparent border, colour i + 1 in green.
inline QList<QPixmap> personnages(int nombre) {
    QList<QPixmap> liste;
    for (int i = 0; i < nombre; ++i) {
        QImage im(16, 16, QImage::Format_ARGB32);
        im.fill(Qt::transparent);
        for (int y = 4; y < 12; ++y)
            for (int x = 4; x < 12; ++x)
                im.setPixel(x, y, qRgb(10, 10 * (i + 1), 10));
        liste << QPixmap::fromImage(im);
    }
    return liste;
}

} // namespace fixtures
