// Program functions shared by every subsystem: the text scrambler, file-name cleaning, folder
// services, the program folder, and whole-file reads and atomic writes.
#pragma once

#include "Erreurs.h"

#include <QByteArray>
#include <QList>
#include <QString>


QByteArray Brouiller(const QByteArray& texte, const QByteArray& cle);
QByteArray Debrouiller(const QByteArray& texte, const QByteArray& cle);

inline constexpr char kCleMessage[] = "QUIDAM";
inline constexpr char kCleMotsDePasse[] = "CLEFMOTS";

QString NomFichierValide(const QString& texte, QChar remplacement);

bool DossierExiste(const QString& chemin);
bool CreerDossiers(const QString& chemin);

// The folder "beside the program": the executable's folder when writable, else
// $XDG_DATA_HOME/Bavardin. Always ends with "/".
QString DossierProgramme();
// Folders searched for language files: the program folder, then the installed share folder.
QStringList DossiersLangues();
// Adds "/" to a file-system folder path unless it already ends with one.
QString AvecBarreFichier(const QString& dossier);

// Whole file as bytes; raises EEntreeSortie when it exists but cannot be read.
QByteArray lireFichier(const QString& chemin);
// Lines split at CR LF, LF or CR alone; a missing file gives no line.
QList<QByteArray> lireLignes(const QString& chemin);
// Writes through a temporary file renamed over the target, so a crash never leaves half a file.
// Raises EEntreeSortie on failure.
void ecrireFichierAtomique(const QString& chemin, const QByteArray& contenu);
// The lines joined with CR LF after each one.
QByteArray joindreLignes(const QList<QByteArray>& lignes);
// Splits bytes into lines at CR LF, LF or CR alone (no empty last line for a final break).
QList<QByteArray> decouperLignes(const QByteArray& contenu);
