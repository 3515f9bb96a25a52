// The hidden main window: tray icon and menu, the bookkeeping of open windows, the posted
// messages from other windows, and the three ways the program stops.
#pragma once

#include "UFormBavardin.h"

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QStringList>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;
class TMenuBarre;

// The windows whose single instance the main window tracks.
enum class FenetreUnique { Horloge, Forum, Preferences, Telephone, Apropos, Calendrier };

class TForm_Principale final : public TForm_Bavardin {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm_Principale)

public:
    explicit TForm_Principale(QWidget* parent = nullptr);
    ~TForm_Principale() override;

    // Start-up: the start-time check, then the end of the start once the services exist.
    void ControleDemarrage();
    void FinDemarrage();

    // Stops the network and timed services in order, letting pending events run in between.
    void ArreterServices(bool conserverMessages);
    // "Quitter" and the end of the desktop logon.
    void Quitter();
    // The network's quit order.
    void QuitterParOrdre();

    void ChangerIcone(int code);
    // "Othellbavardin...": each use opens a window of its own.
    void OuvrirOthello();
    // Another start of the program in this logon asked for attention.
    void PremierPlan();

    bool EnvoiEnCours = false;
    int EtatAvantEnvoi = 0;
    int EtatAlerte = 0;
    int IconeExpediteur = 0;
    QString TexteAlerte;
    QStringList FileAlertes;
    QList<QWidget*> ListePostIt;
    bool ConnectesModifies = false;

    bool ouverte(FenetreUnique f) const { return m_ouvertes[static_cast<int>(f)]; }
    void marquerOuverte(FenetreUnique f, bool ouverte) { m_ouvertes[static_cast<int>(f)] = ouverte; }

    QSystemTrayIcon* Tray() const { return m_tray; }
    TMenuBarre* BcBarPopupMenu() const { return m_menu; }
    QMenu* menuAdministrateur() const { return m_admin; }
    const QList<QPixmap>& ImageList_Popup() const { return m_personnages; }
    // True once a stop has begun: later triggers do nothing.
    bool arretEnCours() const { return m_arret; }

protected:
    bool event(QEvent* e) override;

private:
    void construireMenu();
    void afficherBienvenue();
    void SauverPostItActifs();
    void FermerTousPostIt();

    QSystemTrayIcon* m_tray = nullptr;
    TMenuBarre* m_menu = nullptr;
    QMenu* m_admin = nullptr;
    QAction* m_apropos = nullptr;
    QList<QPixmap> m_personnages;
    bool m_ouvertes[6] = {};
    bool m_arret = false;
};
