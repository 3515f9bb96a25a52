// The hidden main window: tray icon and menu, the bookkeeping of open windows, the posted
// messages from other windows, and the three ways the program stops.
#pragma once

#include "IPrincipale.h"
#include "Notifications.h"
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
class TForm_chat;
class TPointUDP;

// The windows whose single instance the main window tracks.
enum class FenetreUnique { Horloge, Forum, Preferences, Telephone, Apropos, Calendrier };

class TForm_Principale final : public TForm_Bavardin, public IPrincipale, public IProprietaireAlertes {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm_Principale)

public:
    explicit TForm_Principale(QWidget* parent = nullptr);
    ~TForm_Principale() override;

    // Start-up: the start-time check, the long-lived windows, the announcement on the network,
    // then the end of the start once the services exist.
    void ControleDemarrage();
    void CreerFenetres(std::unique_ptr<TPointUDP> pointPresence);
    void AnnoncerDemarrage();
    void FinDemarrage();
    TForm_chat* chat() const { return m_chat.get(); }
    // The answer of the local status socket.
    QByteArray repondre(const QByteArray& requete) const;

    QObject* cibleMessages() override { return this; }
    QMenu* menuTray() override;
    const QList<QPixmap>& personnages() const override { return m_personnages; }
    void marquerConnectesModifies() override { ConnectesModifies = true; }
    bool forumOuvert() const override { return ouverte(FenetreUnique::Forum); }

    // Stops the network and timed services in order, letting pending events run in between.
    void ArreterServices(bool conserverMessages);
    // "Quitter" and the end of the desktop logon.
    void Quitter();
    // The network's quit order.
    void QuitterParOrdre();

    void ChangerIcone(int code) { m_notifications->ChangerIcone(code); }
    TNotifications& Notifications() const { return *m_notifications; }
    // "Mode répondeur": stores the new state, shows it on the tray icon and tells the network.
    void BasculerRepondeur();
    // "Othellbavardin...": each use opens a window of its own.
    void OuvrirOthello();
    // Another start of the program in this logon asked for attention.
    void PremierPlan();

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
    // The windows a notification opens arrive with their subsystems.
    void AfficherMessagesRecus() override {}
    void AfficherMessagerie() override {}
    void AfficherPageRappel() override {}
    void VerifierMessagerieCourante() override {}

    void construireMenu();
    void afficherBienvenue();
    void SauverPostItActifs();
    void FermerTousPostIt();

    QSystemTrayIcon* m_tray = nullptr;
    TMenuBarre* m_menu = nullptr;
    QMenu* m_admin = nullptr;
    QAction* m_apropos = nullptr;
    QList<QPixmap> m_personnages;
    // Before m_chat: the messaging window raises notifications until it is gone.
    std::unique_ptr<TNotifications> m_notifications;
    std::unique_ptr<TForm_chat> m_chat;
    bool m_ouvertes[6] = {};
    bool m_arret = false;
};
