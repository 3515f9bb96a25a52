#include "MenuBarre.h"

#include <QLinearGradient>
#include <QPainter>

namespace {
constexpr int kLargeurBarre = 22;
}

TMenuBarre::TMenuBarre(QWidget* parent) : QMenu(parent) { setContentsMargins(kLargeurBarre, 0, 0, 0); }

void TMenuBarre::setCaptionBarre(const QString& caption) {
    m_caption = caption;
    update();
}

void TMenuBarre::paintEvent(QPaintEvent* e) {
    QMenu::paintEvent(e);
    QPainter p(this);
    const QRect barre(0, 0, kLargeurBarre, height());
    QLinearGradient g(barre.bottomLeft(), barre.topLeft());
    g.setColorAt(0, Qt::black);
    g.setColorAt(1, QColor(30, 50, 120));
    p.fillRect(barre, g);
    p.setPen(Qt::white);
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.translate(barre.width() - 6, height() - 6);
    p.rotate(-90);
    p.drawText(0, 0, m_caption);
}
