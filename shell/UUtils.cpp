#include "UUtils.h"

#include "Cp1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <pwd.h>
#include <unistd.h>

#ifndef BAVARDIN_VERSION
#error "BAVARDIN_VERSION must name the four-part version"
#endif

// The version record another instance reads from this file (the marker is upper case here and
// searched for from a lower-case spelling, so the search itself never matches).
extern "C" [[gnu::used]] const char bavardin_enregistrement_version[] = "BAVARDIN_VERSION_RECORD:" BAVARDIN_VERSION ";";

QString NomUtilisateurWindows() {
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name).left(256);
    return qEnvironmentVariable("USER").left(256);
}

QString NomOrdinateur() {
    char nom[257] = {};
    if (gethostname(nom, sizeof nom - 1) != 0)
        return {};
    return QString::fromUtf8(nom).left(256);
}

QString NettoyerNom(const QString& texte) {
    QString r;
    for (QChar c : texte) {
        if (c == u' ')
            r += u'_';
        else if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
            r += c;
    }
    return r.isEmpty() ? QStringLiteral("Generique") : r;
}

QString DossierTemporaire() {
    const QString t = QDir::tempPath();
    return t.isEmpty() ? QString() : (t.endsWith(u'/') ? t : t + u'/');
}

std::optional<NumeroVersion> LireVersionFichier(const QString& chemin) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray marque = QByteArray("bavardin_version_record:").toUpper();
    const qint64 taille = f.size();
    const uchar* carte = taille > 0 ? f.map(0, taille) : nullptr;
    const QByteArray lu = carte ? QByteArray() : f.readAll();
    const QByteArrayView contenu = carte ? QByteArrayView(carte, taille) : QByteArrayView(lu);
    const qsizetype p = contenu.indexOf(marque);
    if (p < 0)
        return std::nullopt;
    const qsizetype debut = p + marque.size();
    const QByteArrayView suite = contenu.sliced(debut, std::min<qsizetype>(48, contenu.size() - debut));
    const qsizetype fin = suite.indexOf(';');
    if (fin < 0)
        return std::nullopt;
    const QList<QByteArray> n = suite.first(fin).toByteArray().split('.');
    if (n.size() != 4)
        return std::nullopt;
    NumeroVersion v;
    bool ok[4];
    v.majeur = n[0].toInt(&ok[0]);
    v.mineur = n[1].toInt(&ok[1]);
    v.version = n[2].toInt(&ok[2]);
    v.construction = n[3].toInt(&ok[3]);
    if (!(ok[0] && ok[1] && ok[2] && ok[3]))
        return std::nullopt;
    return v;
}

QString TexteVersion(const std::optional<NumeroVersion>& v) {
    if (!v)
        return QStringLiteral("Version Inconnue");
    return QStringLiteral(" V%1.%2.%3.%4").arg(v->majeur).arg(v->mineur).arg(v->version).arg(v->construction);
}

namespace {
const std::optional<NumeroVersion>& versionCourante() {
    static const std::optional<NumeroVersion> v = LireVersionFichier(QCoreApplication::applicationFilePath());
    return v;
}
} // namespace

QString VersionProgramme() { return TexteVersion(versionCourante()); }

QString VersionCourte() {
    const auto& v = versionCourante();
    return v ? QStringLiteral(" V%1.%2").arg(v->majeur).arg(v->mineur) : QStringLiteral("Version Inconnue");
}

QString VersionMiseAJour(const QString& dossierMiseAJour) {
    QString d = dossierMiseAJour;
    if (!d.endsWith(u'/'))
        d += u'/';
    return TexteVersion(LireVersionFichier(d + QStringLiteral("Bavardin")));
}
