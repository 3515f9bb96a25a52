// Who is on the network: the presence datagrams and their order words, the connected-machine
// table and the list of every machine name seen. No widget here: the messaging window supplies
// the endpoint and the views through two small interfaces.
#pragma once

#include "Erreurs.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

struct TMachineConnectee {
    QString Adresse;
    QString Surnom;
    QString Icone;
    QString Etat; // "ACTIF" or "REPONDEUR"
};

struct ChampsDatagramme {
    QString F1, F2, F3, F4;
};

// Bytes up to the first NUL; F1 before the first comma (trimmed), F2 and F3 the next pieces,
// F4 the rest with any further commas; missing pieces are empty.
ChampsDatagramme DecouperDatagramme(QByteArrayView octets);
QByteArray ConstruireDatagramme(const QString& f1, const QString& f2, const QString& f3, const QString& f4);

// A broadcast that could not be sent, with the system's text.
class EDiffusion : public EBavardin {
public:
    using EBavardin::EBavardin;
};

class IDiffuseur {
public:
    virtual ~IDiffuseur() = default;
    // Sends one datagram to every machine, this one included; raises EDiffusion on failure.
    virtual void diffuser(const QByteArray& datagramme) = 0;
};

// What the presence code asks of the program around it.
class IHotePresence {
public:
    virtual ~IHotePresence() = default;
    virtual void laisserPasserEvenements() = 0;
    virtual void viderCachesMessages() = 0;
    virtual void ordreMiseAJour() = 0;
    virtual void ordreQuitter() = 0;
    virtual bool forumOuvert() const = 0;
    virtual void versForum(const ChampsDatagramme& champs) = 0;
    virtual void connectesModifies() = 0;
    virtual void construireMenuConnectes() = 0;
    virtual void retirerMenuConnectes() = 0;
    virtual void attendre(int millisecondes) = 0;
};

class TPresence final {
public:
    using Entree = std::pair<QString, std::unique_ptr<TMachineConnectee>>;

    // nomOrdinateur is this machine's name; the nickname and icon are read from the settings
    // at each broadcast, since the preferences may change them.
    TPresence(IHotePresence& hote, IDiffuseur& diffuseur, QString nomOrdinateur);

    void TraiterOrdre(const QString& f1, const QString& f2, const QString& f3, const QString& f4,
                      const QString& source);
    void TraiterDatagramme(QByteArrayView octets, const QString& source);
    void DiffuserOrdre(const QString& ordre);
    void DiffuserQuitter(const QString& machine);
    void AnnoncerDemarrage();
    void ActualiserConnectes();

    bool EstConnecte(const QString& machine) const;
    int IconeDe(const QString& machine) const;
    QString MachineDuSurnom(const QString& surnom) const;
    const TMachineConnectee* machine(const QString& nom) const;

    // The table in place, by nickname in upper case (letters a-z only), descending.
    void TrierConnectes();
    const std::vector<Entree>& ListeConnectes() const { return m_connectes; }
    const QStringList& ListeMachines() const { return m_machines; }
    int indexMachine(const QString& nom) const { return m_indexMachines.value(nom.toLower(), -1); }
    void ViderConnectes();
    QString nomOrdinateur() const { return m_nom; }

private:
    TMachineConnectee* trouver(const QString& nom) const;
    void redireRepondeur();
    void ajouter(const QString& nom, TMachineConnectee m);
    void retirer(const QString& nom);

    IHotePresence& m_hote;
    IDiffuseur& m_diffuseur;
    QString m_nom;
    std::vector<Entree> m_connectes;
    QHash<QString, TMachineConnectee*> m_index; // lower-case name -> record of m_connectes
    QStringList m_machines;
    QHash<QString, int> m_indexMachines; // lower-case name -> handle
};
