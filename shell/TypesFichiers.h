// The program's file types: written at every start into the store's HKEY_CLASSES_ROOT and, on
// the Linux desktop, declared as user-level MIME types with an icon.
#pragma once

#include <QString>

void EnregistrerTypesFichiers(const QString& cheminExecutable);
// The shared-mime-info declaration under dossierDonnees (normally $XDG_DATA_HOME); rewritten
// and the MIME cache refreshed only when it changed. False when nothing could be written.
bool EnregistrerTypesMime(const QString& dossierDonnees);
QByteArray DeclarationMime();
