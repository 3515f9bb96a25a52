// The Othello board control: draws the 8 x 8 board of an OtelloEngine, takes the human's moves
// from the mouse and reports the game through Qt signals. The owner drives the machine's search by
// calling ThinkStep.
#pragma once

#include "OtelloEngine.h"

#include <QColor>
#include <QWidget>

#include <string_view>

class TOtello final : public QWidget, private OtelloListener {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TOtello)
    Q_PROPERTY(QColor Computer READ Computer WRITE setComputer)
    Q_PROPERTY(QColor Human READ Human WRITE setHuman)
    Q_PROPERTY(QColor Color READ Color WRITE setColor)

  public:
    explicit TOtello(QWidget* parent = nullptr);
    ~TOtello() override;

    QColor Computer() const { return m_computer; }
    void setComputer(const QColor& c);
    QColor Human() const { return m_human; }
    void setHuman(const QColor& c);
    // Background of the control.
    QColor Color() const { return m_color; }
    void setColor(const QColor& c);

    TSkill Skill() const { return m_engine.Skill(); }
    void setSkill(TSkill skill) { m_engine.setSkill(skill); }

    void NewGame();
    // A game from a given position (see otello::parseBoard); false leaves the game as it was.
    bool setPosition(std::string_view rows);
    void ComputerTurn() { m_engine.ComputerTurn(); }
    void Hint() { m_engine.Hint(); }
    bool ThinkStep() { return m_engine.ThinkStep(); }
    int PlacedCount() const { return m_engine.PlacedCount(); }
    bool isThinking() const { return m_engine.isThinking(); }
    const OtelloEngine& engine() const { return m_engine; }

    // The rectangle of square (x, y) in the current layout of the cells.
    QRect cellRect(int x, int y) const;

  signals:
    void OnBadMove();
    void OnThink();
    void OnPlay();
    void OnWin();
    void OnLost();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void layoutCells();
    bool hasCells() const { return m_cellWidth > 0 && m_cellHeight > 0; }
    // The square under a point of the control; false off the 64 squares.
    bool squareAt(QPoint p, int& x, int& y) const;

    void onSquareChanged(int x, int y) override;
    void onThink() override { emit OnThink(); }
    void onPlay() override { emit OnPlay(); }
    void onWin() override { emit OnWin(); }
    void onLost() override { emit OnLost(); }
    void onHint(int x, int y) override;
    void onNoMove() override;

    OtelloEngine m_engine;
    QColor m_computer = Qt::black;
    QColor m_human = Qt::white;
    QColor m_color;
    int m_cellWidth = 0;
    int m_cellHeight = 0;
    int m_left = 0;
    int m_top = 0;
    bool m_captured = false;
};
