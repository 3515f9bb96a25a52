// Recording stand-ins for the sound player, the desktop shell and the windows a notification opens.
#pragma once

#include "Bureau.h"
#include "Notifications.h"
#include "Son.h"

#include <QStringList>

class FakeLecteurSon final : public ILecteurSon {
public:
    void DefinirFichier(const QString& fichier) override { m_fichier = fichier; }
    QString Fichier() const override { return m_fichier; }
    void Ouvrir() override { appels << "Ouvrir " + m_fichier; }
    void Jouer() override { appels << "Jouer " + m_fichier; }
    QStringList appels;

private:
    QString m_fichier;
};

class FakeBureau final : public IBureau {
public:
    bool Ouvrir(const QString& fichier) override {
        ouverts << fichier;
        return true;
    }
    QStringList ouverts;
};

class FakeProprietaire final : public IProprietaireAlertes {
public:
    void AfficherMessagesRecus() override { appels << "AfficherMessagesRecus"; }
    void AfficherMessagerie() override { appels << "AfficherMessagerie"; }
    void AfficherPageRappel() override { appels << "AfficherPageRappel"; }
    void VerifierMessagerieCourante() override { appels << "VerifierMessagerieCourante"; }
    QStringList appels;
};
