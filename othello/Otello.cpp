// The Othello board control: painting, the mouse and the engine's reports turned into signals.
#include "Otello.h"

#include <QCursor>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

TOtello::TOtello(QWidget* parent)
    : QWidget(parent), m_engine(this), m_color(palette().color(QPalette::Window)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TOtello::~TOtello() {
    m_engine.setListener(nullptr);
}

void TOtello::setComputer(const QColor& c) {
    m_computer = c;
    update();
}

void TOtello::setHuman(const QColor& c) {
    m_human = c;
    update();
}

void TOtello::setColor(const QColor& c) {
    m_color = c;
    update();
}

void TOtello::NewGame() {
    m_engine.NewGame();
    update();
}

bool TOtello::setPosition(std::string_view rows) {
    if (!m_engine.setPosition(rows))
        return false;
    update();
    return true;
}

// The same cells the next paint draws, so that the mouse agrees with the screen even before it.
void TOtello::layoutCells() {
    m_cellWidth = width() / 8;
    m_cellHeight = height() / 8;
    m_left = (width() - 8 * m_cellWidth) / 2;
    m_top = (height() - 8 * m_cellHeight) / 2;
}

QRect TOtello::cellRect(int x, int y) const {
    return QRect(m_left + (x - 1) * m_cellWidth, m_top + (y - 1) * m_cellHeight, m_cellWidth, m_cellHeight);
}

bool TOtello::squareAt(QPoint p, int& x, int& y) const {
    if (!hasCells() || p.x() < m_left || p.y() < m_top)
        return false;
    x = (p.x() - m_left) / m_cellWidth + 1;
    y = (p.y() - m_top) / m_cellHeight + 1;
    return otello::onBoard(x, y);
}

void TOtello::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutCells();
}

void TOtello::paintEvent(QPaintEvent*) {
    layoutCells();
    QPainter painter(this);
    painter.fillRect(rect(), m_color);
    if (!hasCells())
        return;
    painter.setPen(Qt::black);
    for (int i = 0; i <= 8; ++i) {
        const int x = m_left + i * m_cellWidth;
        painter.drawLine(x, m_top, x, height() - m_top);
        const int y = m_top + i * m_cellHeight;
        painter.drawLine(m_left, y, width() - m_left, y);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    for (int y = 1; y <= 8; ++y)
        for (int x = 1; x <= 8; ++x) {
            const std::uint8_t c = m_engine.square(x, y);
            if (c != otello::kHuman && c != otello::kMachine)
                continue;
            painter.setBrush(c == otello::kHuman ? m_human : m_computer);
            painter.drawEllipse(cellRect(x, y).adjusted(2, 2, -2, -2));
        }
}

void TOtello::mousePressEvent(QMouseEvent* event) {
    // Qt keeps delivering the mouse to the pressed widget until the release, which is the capture
    // needed to take a release anywhere on the screen.
    m_captured = !m_engine.isThinking() && hasCells();
    event->accept();
}

void TOtello::mouseMoveEvent(QMouseEvent* event) {
    if (m_engine.isThinking()) {
        setCursor(Qt::BusyCursor);
    } else if (hasCells()) {
        int x = 0, y = 0;
        const bool legal =
            squareAt(event->position().toPoint(), x, y) && m_engine.isLegal(x, y, otello::kHuman);
        setCursor(legal ? Qt::CrossCursor : Qt::ArrowCursor);
    }
    event->accept();
}

void TOtello::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const QPoint p = event->position().toPoint();
    // Without the capture only a release over the control counts, as without a grab.
    const bool counts = m_captured || rect().contains(p);
    m_captured = false;
    if (m_engine.isThinking() || !counts || !hasCells())
        return;
    int x = 0, y = 0;
    if (!squareAt(p, x, y) || !m_engine.playHuman(x, y))
        emit OnBadMove();
}

void TOtello::onSquareChanged(int x, int y) {
    update(cellRect(x, y));
}

void TOtello::onHint(int x, int y) {
    const QPoint centre(m_left + x * m_cellWidth - m_cellWidth / 2,
                        m_top + y * m_cellHeight - m_cellHeight / 2);
    QCursor::setPos(mapToGlobal(centre));
}

void TOtello::onNoMove() {
    // Not modal: the box must not start an event loop inside a search step.
    auto* box = new QMessageBox(QMessageBox::Information, window()->windowTitle(),
                                QStringLiteral("Impossible de jouer :("), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
