#include "ChoisirDossier.h"

#include "o_Fonctions.h"

#include <QDir>
#include <QFileDialog>

bool ChoisirDossier(const QString& titre, const QString& racine, QString& dossier, QWidget* parent) {
    if (!DossierExiste(dossier))
        dossier.clear();
    QFileDialog choix(parent, titre, dossier.isEmpty() ? racine : dossier);
    choix.setObjectName(QStringLiteral("_ChoixDossier"));
    choix.setFileMode(QFileDialog::Directory);
    choix.setOption(QFileDialog::ShowDirsOnly);
    if (choix.exec() != QDialog::Accepted || choix.selectedFiles().isEmpty())
        return false;
    dossier = QDir(choix.selectedFiles().first()).absolutePath();
    return true;
}
