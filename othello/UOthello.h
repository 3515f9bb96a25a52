// The Othello window: one board against the machine, its menus, the timer that drives the
// machine's search and the status texts of the game. Each window plays its own game.
#pragma once

#include "UFormBavardin.h"

class QAction;
class QActionGroup;
class QMenu;
class QTimer;
class TOtello;

class TForm_Othello final : public TForm_Bavardin {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm_Othello)

  public:
    explicit TForm_Othello(QWidget* parent = nullptr);
    ~TForm_Othello() override;

    TOtello* PlateauOthello() const { return m_plateau; }

    // The timer's tick: advances the machine's search.
    void TimerTimer();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QAction* ajouterNiveau(QMenu* menu, const char* nom, const QString& texte, int tag);
    void choisirNiveau(QAction* item);
    void Passer();
    void afficherTexte(const char* cle);

    TOtello* m_plateau = nullptr;
    QTimer* m_timer = nullptr;
    QActionGroup* m_niveaux = nullptr;
};
