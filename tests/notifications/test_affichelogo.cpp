#include "UAfficheLogo.h"
#include "Ucontexte.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

struct AfficheLogoTest : ::testing::Test {
    void SetUp() override { Contexte().SupprimerSection(""); }
};

TEST_F(AfficheLogoTest, TranslucencyIsReadOnceAtCreation) {
    struct Cas {
        bool transparent;
        int taux;
        qreal opacite;
    };
    // A rate never stored reads 0: the picture takes the 250 the preferences show for it.
    for (const Cas c : {Cas{false, 100, 1.0}, Cas{true, 100, 100 / 255.0}, Cas{true, 0, 250 / 255.0},
                        Cas{true, 1000, 1.0}}) {
        Contexte().EcrireBooleenInitial("ImageTransparent", c.transparent);
        Contexte().EcrireEntierInitial("ImageTauxTransparent", c.taux);
        TForm_Bitmap f;
        Contexte().EcrireBooleenInitial("ImageTransparent", !c.transparent);
        Contexte().EcrireEntierInitial("ImageTauxTransparent", 7);
        f.Afficher(QImage(4, 4, QImage::Format_RGB32), QRegion(0, 0, 4, 4), {0, 0});
        EXPECT_NEAR(f.windowOpacity(), c.opacite, 0.002) << c.transparent << " " << c.taux;
    }
}

TEST_F(AfficheLogoTest, ThePictureIsAFramelessTopWindowShapedAndPaintedByItsPicture) {
    TForm_Bitmap f;
    QImage image(6, 3, QImage::Format_RGB32);
    image.fill(qRgb(1, 2, 3));
    image.setPixel(4, 1, qRgb(200, 100, 50));
    const QRegion forme = QRegion(0, 0, 6, 1) + QRegion(4, 1, 1, 1);
    f.Afficher(image, forme, {40, 50});
    QApplication::processEvents();

    EXPECT_EQ(f.objectName(), "Form_Bitmap");
    EXPECT_TRUE(f.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(f.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.size(), QSize(6, 3));
    EXPECT_EQ(f.pos(), QPoint(40, 50));
    EXPECT_TRUE((f.mask() ^ forme).isEmpty());
    EXPECT_EQ(f.grab().toImage().pixel(4, 1), qRgb(200, 100, 50));

    // A new picture replaces the old shape whole.
    f.Afficher(QImage(2, 2, QImage::Format_RGB32), QRegion(1, 1, 1, 1), {0, 0});
    EXPECT_TRUE((f.mask() ^ QRegion(1, 1, 1, 1)).isEmpty());
}

} // namespace
