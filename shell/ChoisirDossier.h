// The folder chooser of the desktop.
#pragma once

#include <QString>

class QWidget;

// Shows the title; starts at racine when given; preselects dossier when it names an existing
// folder (and empties it otherwise); offers folders only. On confirmation stores the chosen
// folder's full path in dossier and returns true; on cancel returns false.
bool ChoisirDossier(const QString& titre, const QString& racine, QString& dossier, QWidget* parent = nullptr);
