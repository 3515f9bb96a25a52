#include "TypesFichiers.h"

#include "Registre.h"
#include "UUtils.h"
#include "Ucontexte.h"
#include "o_Fonctions.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace {

struct TypeFichier {
    const char* extension;
    const char* classe;
    const char* description;
    const char* mime;
    const char* motif;
};

constexpr TypeFichier kTypes[] = {
    {".rdv", "Bavardin_rdv", "Bavardin : Fichier de rendez-vous", "application/x-bavardin-rdv", "*.rdv"},
    {".BavardinSave", "Bavardin_Save", "Bavardin : Fichier de sauvegarde", "application/x-bavardin-save",
     "*.bavardinsave"},
    {".Lang", "Bavardin_Lang", "Bavardin : Fichier de langage", "application/x-bavardin-lang", "*.lang"},
    {".Annuaire", "Bavardin_Annuaire", "Bavardin : Fichier Annuaire", "application/x-bavardin-annuaire",
     "*.annuaire"},
};

} // namespace

void EnregistrerTypesFichiers(const QString& exe) {
    // One transaction: thirteen small writes cost one commit at start.
    RegistreBase::Transaction t(Contexte().base());
    for (const TypeFichier& ty : kTypes) {
        const QString classe = QLatin1String(ty.classe);
        EcrireCleSysteme(Racine::ClassesRoot, QString::fromLatin1(ty.extension), QString(), classe);
        EcrireCleSysteme(Racine::ClassesRoot, classe, QString(), QString::fromUtf8(ty.description));
        EcrireCleSysteme(Racine::ClassesRoot, classe + QStringLiteral("\\DefaultIcon"), QString(), exe);
    }
    // Message files open like text files.
    EcrireCleSysteme(Racine::ClassesRoot, QStringLiteral(".Bavardin"), QString(),
                     LireCleSysteme(Racine::ClassesRoot, QStringLiteral(".txt"), QString()));
    t.valider();
    EnregistrerTypesMime(qEnvironmentVariableIsEmpty("XDG_DATA_HOME")
                             ? QDir::homePath() + QStringLiteral("/.local/share")
                             : qEnvironmentVariable("XDG_DATA_HOME"));
}

QByteArray DeclarationMime() {
    QByteArray x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (const TypeFichier& ty : kTypes) {
        x += QByteArray("  <mime-type type=\"") + ty.mime + "\">\n    <comment>" + ty.description +
             "</comment>\n    <icon name=\"bavardin\"/>\n    <glob pattern=\"" + ty.motif + "\"/>\n";
        if (QByteArrayView(ty.extension) != ".Annuaire" && QByteArrayView(ty.extension) != ".BavardinSave")
            x += "    <sub-class-of type=\"text/plain\"/>\n";
        x += "  </mime-type>\n";
    }
    x += "  <mime-type type=\"application/x-bavardin-message\">\n    <comment>Bavardin : message</comment>\n"
         "    <icon name=\"bavardin\"/>\n    <glob pattern=\"*.bavardin\"/>\n"
         "    <sub-class-of type=\"text/plain\"/>\n  </mime-type>\n";
    x += "</mime-info>\n";
    return x;
}

bool EnregistrerTypesMime(const QString& dossierDonnees) {
    const QString paquets = dossierDonnees + QStringLiteral("/mime/packages");
    const QString fichier = paquets + QStringLiteral("/bavardin.xml");
    const QString icone = dossierDonnees + QStringLiteral("/icons/hicolor/48x48/apps/bavardin.png");
    const QByteArray declaration = DeclarationMime();
    QFile existant(fichier);
    if (existant.open(QIODevice::ReadOnly) && existant.readAll() == declaration && QFile::exists(icone))
        return true; // unchanged: keep the start fast
    try {
        if (!CreerDossiers(paquets) || !CreerDossiers(QFileInfo(icone).path()))
            return false;
        QFile source(QStringLiteral(":/bavardin/icone48.png"));
        if (source.open(QIODevice::ReadOnly))
            ecrireFichierAtomique(icone, source.readAll());
        ecrireFichierAtomique(fichier, declaration);
    } catch (const EEntreeSortie&) {
        return false; // a read-only home: quietly without desktop types
    }
    const QString outil = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (!outil.isEmpty())
        QProcess::startDetached(outil, {dossierDonnees + QStringLiteral("/mime")});
    return true;
}
