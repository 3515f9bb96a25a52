#include "o_Fonctions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QByteArray Brouiller(const QByteArray& texte, const QByteArray& cle) {
    QByteArray r = texte;
    if (!cle.isEmpty() && !r.isEmpty()) {
        qsizetype k = 0;
        for (char& c : r) {
            int s = static_cast<unsigned char>(c) + static_cast<unsigned char>(cle[k]);
            if (s > 255)
                s -= 255; // end-around carry
            c = static_cast<char>(s);
            if (++k == cle.size())
                k = 0;
        }
    }
    for (char& c : r)
        c = static_cast<char>(~static_cast<unsigned char>(c));
    return r;
}

QByteArray Debrouiller(const QByteArray& texte, const QByteArray& cle) {
    QByteArray r = texte;
    for (char& c : r)
        c = static_cast<char>(~static_cast<unsigned char>(c));
    if (!cle.isEmpty() && !r.isEmpty()) {
        qsizetype k = 0;
        for (char& c : r) {
            int d = static_cast<unsigned char>(c) - static_cast<unsigned char>(cle[k]);
            if (d < 0)
                d += 255;
            c = static_cast<char>(d);
            if (++k == cle.size())
                k = 0;
        }
    }
    return r;
}

QString NomFichierValide(const QString& texte, QChar remplacement) {
    qsizetype debut = 0, fin = texte.size();
    while (debut < fin && texte[debut].unicode() <= ' ')
        ++debut;
    while (fin > debut && texte[fin - 1].unicode() <= ' ')
        --fin;
    QString r = texte.mid(debut, fin - debut);
    static const QString interdits = QStringLiteral("\\/:*?<>|\"");
    for (QChar& c : r)
        if (interdits.contains(c))
            c = remplacement;
    return r;
}

bool DossierExiste(const QString& chemin) { return !chemin.isEmpty() && QFileInfo(chemin).isDir(); }

bool CreerDossiers(const QString& chemin) {
    if (chemin.isEmpty())
        return false;
    QDir().mkpath(chemin);
    return DossierExiste(chemin);
}

QString AvecBarreFichier(const QString& dossier) { return dossier.endsWith(u'/') ? dossier : dossier + u'/'; }

QString DossierProgramme() {
    const QString exe = QCoreApplication::applicationDirPath();
    if (!exe.isEmpty() && QFileInfo(exe).isWritable())
        return AvecBarreFichier(exe);
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString dossier = data + QStringLiteral("/Bavardin/");
    QDir().mkpath(dossier);
    return dossier;
}

QStringList DossiersLangues() {
    QStringList dossiers{DossierProgramme()};
    const QString partage =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/bavardin")) + u'/';
    if (QFileInfo(partage).isDir() && !dossiers.contains(partage))
        dossiers << partage;
    return dossiers;
}

QByteArray lireFichier(const QString& chemin) {
    QFile f(chemin);
    if (!f.exists())
        return {};
    if (!f.open(QIODevice::ReadOnly))
        throw EEntreeSortie(QStringLiteral("Impossible de lire le fichier %1 : %2").arg(chemin, f.errorString()));
    return f.readAll();
}

QList<QByteArray> decouperLignes(const QByteArray& contenu) {
    QList<QByteArray> lignes;
    qsizetype debut = 0;
    const qsizetype n = contenu.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = contenu[i];
        if (c != '\r' && c != '\n')
            continue;
        lignes << contenu.mid(debut, i - debut);
        if (c == '\r' && i + 1 < n && contenu[i + 1] == '\n')
            ++i;
        debut = i + 1;
    }
    if (debut < n)
        lignes << contenu.mid(debut);
    return lignes;
}

QList<QByteArray> lireLignes(const QString& chemin) { return decouperLignes(lireFichier(chemin)); }

QByteArray joindreLignes(const QList<QByteArray>& lignes) {
    qsizetype total = 0;
    for (const auto& l : lignes)
        total += l.size() + 2;
    QByteArray r;
    r.reserve(total);
    for (const auto& l : lignes) {
        r += l;
        r += "\r\n";
    }
    return r;
}

void ecrireFichierAtomique(const QString& chemin, const QByteArray& contenu) {
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly) || f.write(contenu) != contenu.size() || !f.commit())
        throw EEntreeSortie(QStringLiteral("Impossible d'écrire le fichier %1 : %2").arg(chemin, f.errorString()));
}
