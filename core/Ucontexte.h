// The settings store: every setting and stored list of Bavardin under one application key of the
// per-user registry store, window geometry, the REGEDIT4 export and import, and the error log.
#pragma once

#include "Registre.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// Registry paths: empty stays empty; a path ending with ":" or "\" is unchanged; else adds "\".
QString AvecSeparateur(const QString& chemin);
// Only the letters A-Z and a-z; "Generique" when none is left (post-it sub-keys).
QString LettresSeules(const QString& nom);
// The program's file name without folder and extension, lower case, first letter a-z raised.
QString NomApplicationDe(const QString& cheminProgramme);
QString NomApplication();

// The geometry of a window as the store keeps it, with the two traits that decide what applies.
struct EtatFenetre {
    int Left = 0;
    int Top = 0;
    int Height = 0;
    int Width = 0;
    bool Visible = false;
    int WindowState = 0; // 0 normal, 1 minimised, 2 maximised
    bool Redimensionnable = true; // border style none/sizeable/sizeable tool window
    bool StyleNormal = true;      // not stay-on-top
};

class TContexte final {
public:
    // nomApplication names the application key; cheminBase the database file (":memory:" too).
    explicit TContexte(const QString& nomApplication = NomApplication(),
                       const QString& cheminBase = RegistreBase::cheminParDefaut());
    ~TContexte();
    TContexte(const TContexte&) = delete;
    TContexte& operator=(const TContexte&) = delete;

    QString CheminBase() const { return m_cheminBase; }
    RegistreBase& base() { return *m_base; }

    bool OuvrirSection(const QString& section, bool creer);
    void SupprimerSection(const QString& section);
    void EcrireChaine(const QString& section, const QString& nom, const QString& valeur);
    QString LireChaine(const QString& section, const QString& nom, const QString& defaut);
    void EcrireEntier(const QString& section, const QString& nom, qint32 valeur);
    qint32 LireEntier(const QString& section, const QString& nom, qint32 defaut);

    QString LireChaineInitiale(const QString& nom) { return LireChaine(QStringLiteral("Initial"), nom, QString()); }
    void EcrireChaineInitiale(const QString& nom, const QString& valeur) {
        EcrireChaine(QStringLiteral("Initial"), nom, valeur);
    }
    qint32 LireEntierInitial(const QString& nom) { return LireEntier(QStringLiteral("Initial"), nom, 0); }
    void EcrireEntierInitial(const QString& nom, qint32 valeur) { EcrireEntier(QStringLiteral("Initial"), nom, valeur); }
    bool LireBooleenInitial(const QString& nom) { return LireEntierInitial(nom) != 0; }
    void EcrireBooleenInitial(const QString& nom, bool valeur) { EcrireEntierInitial(nom, valeur ? 1 : 0); }

    // Appends at most 1001 items "0".."1000"; false, list untouched, when the key is missing.
    bool LireListe(QStringList& liste, const QString& section, const QString& champ);
    // Replaces the key whole, in one transaction.
    void EcrireListe(const QStringList& liste, const QString& section, const QString& champ);

    // "Settings\" + the window's name (its class name without the leading T), at most 255 characters.
    static QString SectionFenetre(const QString& nomFenetre);
    static QString SectionPostIt(const QString& nomPostIt);
    void RestaurerFenetre(const QString& section, EtatFenetre& etat);
    void SauverFenetre(const QString& section, const EtatFenetre& etat);

    // REGEDIT4 text of a key tree; nothing is written when the key does not exist.
    void ExporterCle(Racine racine, const QString& chemin, const QString& fichier);
    // Deletes a key tree under HKEY_CURRENT_USER; shows "Erreur d'ouverture de clé" when missing.
    void SupprimerCle(const QString& chemin);
    // Writes a REGEDIT4 file back into the store, all of it or, on an error, nothing.
    void ImporterFichier(const QString& fichier);
    // The same, from the lines of such a file.
    void ImporterLignes(const QList<QByteArray>& lignes);

    // Appends one four-line entry to "Anomalies.log" in the folder.
    void EnregistrerAnomalie(const QString& dossier, const QString& origine, const QString& operation,
                             const QString& message);

    // Where messages meant for the user go (a message box in the program, stderr in tools).
    void definirAfficheur(std::function<void(const QString&)> afficheur) { m_afficheur = std::move(afficheur); }
    void afficher(const QString& message) const;

private:
    QString chemin(const QString& section) const { return AvecSeparateur(m_cheminBase) + section; }

    QString m_cheminBase;
    std::unique_ptr<RegistreBase> m_base;
    TRegistre m_registre;
    std::function<void(const QString&)> m_afficheur;
};

// The current store, created on first call with the program's name and the user's database.
TContexte& Contexte();
// Ends the store created by Contexte(); the program calls it after its last window is gone.
void LibererContexte();
