#include "StockMessages.h"

#include "UUtils.h"
#include "o_Fonctions.h"

#include <QDir>
#include <QFile>

QString DossierMessages() {
    const QString d = DossierProgramme() + NomUtilisateurWindows() + QStringLiteral("/chat/");
    CreerDossiers(d);
    return d;
}

void ViderCacheMessages(const QString& dossier) {
    QDir d(dossier);
    for (const QString& f : d.entryList({QStringLiteral("*.bavardin")}, QDir::Files | QDir::Hidden))
        QFile::remove(d.filePath(f));
}
