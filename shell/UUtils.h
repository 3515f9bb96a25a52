// Identity and system functions used everywhere: user, nickname and computer names, name
// cleaning, the temporary folder, the system part of the registry store, and the version texts.
#pragma once

#include "Registre.h"

#include <QString>

QString NomUtilisateurWindows();
// The setting SurnomUtilisateur, or the system user name when it is empty.
QString LireSurnom();
// The machine's name on the network (the host name).
QString NomOrdinateur();
// Spaces become "_", ASCII letters stay, everything else goes; "Generique" when nothing is left.
QString NettoyerNom(const QString& texte);
// The system's temporary folder, ending with "/", or empty.
QString DossierTemporaire();
// The program's own folder inside it (notification picture, opened attachments).
inline constexpr char kSousDossierTemporaire[] = "Bavardin/";
void EcrireCleSysteme(Racine racine, const QString& cle, const QString& nomValeur, const QString& texte);
QString LireCleSysteme(Racine racine, const QString& cle, const QString& nomValeur);

// The four numbers of a version record.
struct NumeroVersion {
    int majeur = 0, mineur = 0, version = 0, construction = 0;
    bool operator==(const NumeroVersion&) const = default;
};
// Reads the version record compiled into an executable file; nothing when it has none.
std::optional<NumeroVersion> LireVersionFichier(const QString& chemin);
// " V2.6.1.0" of the running program, or "Version Inconnue".
QString VersionProgramme();
// " V2.6" of the running program, or "Version Inconnue".
QString VersionCourte();
// Like VersionProgramme, for the update copy in a folder.
QString VersionMiseAJour(const QString& dossierMiseAJour);
QString TexteVersion(const std::optional<NumeroVersion>& v);
