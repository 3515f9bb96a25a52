// The floating notification picture: a frameless window above all others, shaped by its
// picture, that never takes the focus when it appears and can be dragged anywhere.
#pragma once

#include <QImage>
#include <QWidget>

class TForm_Bitmap final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm_Bitmap)

public:
    // Reads ImageTransparent and ImageTauxTransparent once: a change applies at the next start.
    explicit TForm_Bitmap(QWidget* parent = nullptr);
    ~TForm_Bitmap() override;

    // Sizes the window to the picture, gives it the shape and shows it at the position without
    // activating it.
    void Afficher(const QImage& image, const QRegion& forme, const QPoint& position);
    const QImage& Image() const { return m_image; }

signals:
    // The window's position each time the mouse moves over the picture.
    void Survolee(const QPoint& position);
    void DoubleClic();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    QImage m_image;
};
