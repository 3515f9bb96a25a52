#include "UAfficheLogo.h"

#include "Ucontexte.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>

namespace {

// The preferences show 250 for a rate never stored; below 1 the picture would be invisible.
qreal opacite(int taux) {
    return (taux < 1 ? 250 : std::min(taux, 255)) / 255.0;
}

} // namespace

TForm_Bitmap::TForm_Bitmap(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Form_Bitmap"));
    setWindowTitle(QStringLiteral("Bavardin"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    resize(131, 112);
    if (Contexte().LireBooleenInitial(QStringLiteral("ImageTransparent")))
        setWindowOpacity(opacite(Contexte().LireEntierInitial(QStringLiteral("ImageTauxTransparent"))));
}

TForm_Bitmap::~TForm_Bitmap() = default;

void TForm_Bitmap::Afficher(const QImage& image, const QRegion& forme, const QPoint& position) {
    m_image = image;
    clearMask();
    setFixedSize(image.size());
    move(position);
    setMask(forme);
    show();
    update();
}

void TForm_Bitmap::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, m_image);
}

void TForm_Bitmap::mousePressEvent(QMouseEvent* e) {
    // The window manager moves the window while the button is held.
    if (QWindow* w = windowHandle())
        w->startSystemMove();
    e->accept();
}

void TForm_Bitmap::mouseMoveEvent(QMouseEvent* e) {
    emit Survolee(pos());
    e->accept();
}

void TForm_Bitmap::mouseDoubleClickEvent(QMouseEvent* e) {
    e->accept();
    emit DoubleClic();
}
