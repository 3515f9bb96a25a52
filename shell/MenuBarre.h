// A popup menu with a captioned vertical side bar on its left edge (the tray menu).
#pragma once

#include <QMenu>

class TMenuBarre final : public QMenu {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMenuBarre)

public:
    explicit TMenuBarre(QWidget* parent = nullptr);
    QString captionBarre() const { return m_caption; }
    void setCaptionBarre(const QString& caption);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QString m_caption;
};
