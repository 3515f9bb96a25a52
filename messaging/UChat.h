// The messaging window, which lives for the whole run: it owns the presence endpoint and the
// connected-machine table, and builds the views of that table.
#pragma once

#include "PointUDP.h"
#include "Presence.h"
#include "UFormBavardin.h"

#include <QAction>
#include <QPointer>
#include <memory>

class IPrincipale;
class QListWidget;

class TForm_chat final : public TForm_Bavardin, private IHotePresence {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm_chat)

public:
    // The program gives the endpoint of port 776; tests give one on the loopback.
    TForm_chat(IPrincipale& principale, std::unique_ptr<TPointUDP> point, QWidget* parent = nullptr);
    ~TForm_chat() override;

    TPresence& presence() { return *m_presence; }
    TPointUDP& pointUDP() { return *m_udp; }

    void DiffuserOrdre(const QString& ordre) { m_presence->DiffuserOrdre(ordre); }
    void ConstruireMenuConnectes();
    void RetirerMenuConnectes();
    void FermerMessagerie(bool conserver);
    bool fermetureEnCours() const { return m_fermeture; }

    // The answers of the local status socket: "connectes" and "machines".
    QByteArray etat(const QByteArray& requete) const;

    QListWidget* ListView_ListeNom() const { return m_listeNom; }

signals:
    // A click on a machine of the tray menu: the machine's handle in ListeMachines.
    void machineChoisie(int indexMachine);

private:
    void laisserPasserEvenements() override;
    void viderCachesMessages() override;
    void ordreMiseAJour() override;
    void ordreQuitter() override;
    bool forumOuvert() const override;
    void versForum(const ChampsDatagramme& champs) override;
    void connectesModifies() override;
    void construireMenuConnectes() override { ConstruireMenuConnectes(); }
    void retirerMenuConnectes() override { RetirerMenuConnectes(); }
    void attendre(int millisecondes) override;

    int imageMenu(const TMachineConnectee& m) const;
    void arreterPointUDP();

    IPrincipale& m_principale;
    std::unique_ptr<TPointUDP> m_udp;
    std::unique_ptr<TPresence> m_presence;
    QListWidget* m_listeNom = nullptr;
    bool m_fermeture = false;
};
