#include "CompositionImage.h"

#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

constexpr QRgb kFond = 0xFF0000FF; // blue: the transparent colour of the fixtures
constexpr QRgb kLegende = 0xFF000000 | kCouleurLegende;

QImage uni(int w, int h, QRgb c) {
    QImage i(w, h, QImage::Format_RGB32);
    i.fill(c);
    return i;
}

QRgb gris(int niveau) {
    return qRgb(niveau, niveau, niveau);
}

// The region as the set of its pixels, for comparisons that do not depend on how it is banded.
bool memeForme(const QRegion& a, const QRegion& b) {
    return (a ^ b).isEmpty();
}

} // namespace

TEST(ContourEtOmbrage, OneCaptionPixelGetsABlackRingAndEightShades) {
    QImage i = uni(5, 5, kFond);
    i.setPixel(2, 2, kLegende);
    contourEtOmbrage(i, i.rect());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool anneau = std::abs(x - 2) <= 1 && std::abs(y - 2) <= 1 && !(x == 2 && y == 2);
            const QRgb attendu = x == 2 && y == 2 ? gris(240 - 8 * 8) : anneau ? qRgb(0, 0, 0) : kFond;
            EXPECT_EQ(i.pixel(x, y), attendu) << x << "," << y;
        }
}

TEST(ContourEtOmbrage, NeighboursOfTheCaptionColourAreNotOutlinedAndShadesCountBlackOnly) {
    QImage i = uni(6, 5, kFond);
    i.setPixel(2, 2, kLegende);
    i.setPixel(3, 2, kLegende);
    contourEtOmbrage(i, i.rect());
    // Each has seven black neighbours; the other caption pixel does not darken it.
    EXPECT_EQ(i.pixel(2, 2), gris(240 - 7 * 8));
    EXPECT_EQ(i.pixel(3, 2), gris(240 - 7 * 8));
    EXPECT_EQ(i.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(i.pixel(4, 3), qRgb(0, 0, 0));
    EXPECT_EQ(i.pixel(5, 2), kFond);
}

TEST(ContourEtOmbrage, OnlyTheRectangleChanges) {
    QImage i = uni(7, 5, kFond);
    i.setPixel(3, 2, kLegende); // on the rectangle's right column
    i.setPixel(5, 2, kLegende); // outside it
    contourEtOmbrage(i, QRect(0, 0, 4, 5));
    EXPECT_EQ(i.pixel(2, 2), qRgb(0, 0, 0));
    EXPECT_EQ(i.pixel(4, 2), kFond) << "right of the rectangle, though next to two caption pixels";
    EXPECT_EQ(i.pixel(5, 2), kLegende) << "a caption pixel outside is not shaded";
    // Inside, it counts the black pixels the pass made there (five), not those it could not make.
    EXPECT_EQ(i.pixel(3, 2), gris(240 - 5 * 8));
}

TEST(FormeOpaque, IsTheUnionOfTheRunsOfOtherColours) {
    QImage i = uni(5, 3, kFond);
    for (const QPoint p : {QPoint(1, 0), QPoint(2, 0), QPoint(0, 1), QPoint(4, 1), QPoint(0, 2), QPoint(1, 2),
                           QPoint(2, 2), QPoint(3, 2), QPoint(4, 2)})
        i.setPixel(p, qRgb(10, 20, 30));
    const QRegion attendue =
        QRegion(1, 0, 2, 1) + QRegion(0, 1, 1, 1) + QRegion(4, 1, 1, 1) + QRegion(0, 2, 5, 1);
    EXPECT_TRUE(memeForme(formeOpaque(i, kFond), attendue));
    EXPECT_TRUE(formeOpaque(uni(4, 4, kFond), kFond).isEmpty());
}

TEST(ComposerImageAlerte, WithoutCaptionThePictureStaysAndPixelZeroIsTransparent) {
    // An 8-bit picture with its corner colour elsewhere too: those pixels are outside the shape.
    QImage source = uni(6, 4, qRgb(200, 0, 0));
    source.setPixel(3, 1, qRgb(0, 200, 0));
    source.setPixel(4, 2, qRgb(0, 200, 0));
    source = source.convertToFormat(QImage::Format_Indexed8);
    const ImageComposee c = composerImageAlerte(source, false, QStringLiteral("ignoré"));
    EXPECT_EQ(c.image.format(), QImage::Format_RGB32);
    EXPECT_EQ(c.image.size(), QSize(6, 4));
    EXPECT_EQ(c.transparent, qRgb(200, 0, 0) & 0xFFFFFF);
    EXPECT_TRUE(memeForme(c.forme, QRegion(3, 1, 1, 1) + QRegion(4, 2, 1, 1)));
    EXPECT_TRUE(composerImageAlerte(QImage(), true, "x").image.isNull());
}

struct CasLargeur {
    int largeurImage;
    const char* legende;
    bool legendePlusLarge;
};

class ComposerLargeur : public ::testing::TestWithParam<CasLargeur> {};

TEST_P(ComposerLargeur, WidthAndHeightMakeRoomForTheCaption) {
    const CasLargeur& cas = GetParam();
    const QString legende = QString::fromUtf8(cas.legende);
    const QFontMetrics fm(policeLegende());
    const int tw = fm.horizontalAdvance(legende);
    const int th = fm.height();
    ASSERT_EQ(cas.largeurImage < tw + 16, cas.legendePlusLarge) << "fixture does not fit the font, tw=" << tw;

    QImage source = uni(cas.largeurImage, 10, kFond);
    source.setPixel(1, 1, qRgb(1, 2, 3));
    const ImageComposee c = composerImageAlerte(source, true, legende);
    const int w = cas.legendePlusLarge ? tw + 16 : cas.largeurImage + 16;
    EXPECT_EQ(c.image.width(), w);
    EXPECT_EQ(c.image.height(), 10 + th + 4);
    // The copy is centred on (W - 8) div 2.
    const int gauche = (w - 8) / 2 - cas.largeurImage / 2;
    EXPECT_EQ(c.image.pixel(gauche + 1, 1), qRgb(1, 2, 3));
    EXPECT_TRUE(c.forme.contains(QPoint(gauche + 1, 1)));
}

INSTANTIATE_TEST_SUITE_P(Cas, ComposerLargeur,
                         ::testing::Values(CasLargeur{8, "Un surnom assez long", true},
                                           CasLargeur{200, "Zoé", false}, CasLargeur{120, "", false},
                                           CasLargeur{2, "", true}));

TEST(ComposerImageAlerte, APictureJustAsWideAsTheCaptionPlusSixteenStillGrowsBySixteen) {
    const QString legende = QStringLiteral("Paul");
    const int tw = QFontMetrics(policeLegende()).horizontalAdvance(legende);
    EXPECT_EQ(composerImageAlerte(uni(tw + 16, 4, kFond), true, legende).image.width(), tw + 32);
    EXPECT_EQ(composerImageAlerte(uni(tw + 15, 4, kFond), true, legende).image.width(), tw + 16);
}

TEST(ComposerImageAlerte, TheCaptionIsOutlinedShadedAndTheShapeIsItsVisiblePixels) {
    // The picture holds the caption colour itself: it must come out untouched.
    QImage source = uni(40, 20, kFond);
    QPainter(&source).fillRect(QRect(10, 5, 20, 10), QColor::fromRgb(kLegende));
    const QString legende = QStringLiteral("3 mails");
    const ImageComposee c = composerImageAlerte(source, true, legende);
    const QFontMetrics fm(policeLegende());
    const int tw = fm.horizontalAdvance(legende), th = fm.height();
    const int w = c.image.width(), h = c.image.height(), cx = (w - 8) / 2;
    const QRect zone(QPoint(cx - tw / 2 - 1, h - th - 2), QPoint(cx + tw / 2 + 1, h - 2));
    const QPoint decalage(cx - source.width() / 2, 0);

    int legendes = 0, noirs = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb p = c.image.pixel(x, y);
            const QPoint ici(x, y);
            EXPECT_EQ(c.forme.contains(ici), (p & 0xFFFFFF) != (kFond & 0xFFFFFF)) << x << "," << y;
            if (source.rect().translated(decalage).contains(ici)) {
                EXPECT_EQ(p, source.pixel(ici - decalage)) << x << "," << y;
                continue;
            }
            if (!zone.contains(ici)) {
                EXPECT_EQ(p, kFond) << x << "," << y;
                continue;
            }
            // No blended colour: background, outline, or the caption grey less 8 per black neighbour.
            const int r = qRed(p);
            const bool grisLegende =
                r == qGreen(p) && r == qBlue(p) && r <= 240 && r >= 240 - 64 && (240 - r) % 8 == 0;
            EXPECT_TRUE(p == kFond || p == qRgb(0, 0, 0) || grisLegende)
                << x << "," << y << " " << std::hex << p;
            legendes += grisLegende;
            noirs += p == qRgb(0, 0, 0);
        }
    EXPECT_GT(legendes, 0);
    EXPECT_GT(noirs, 0);
}
