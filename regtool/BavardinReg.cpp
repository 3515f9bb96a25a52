#include "BavardinReg.h"

#include "Cp1252.h"
#include "Registre.h"
#include "Ucontexte.h"
#include "o_Fonctions.h"

#include <QFileInfo>

namespace {

constexpr char kUsage[] =
    "usage : BavardinReg export FICHIER [CLE] | import FICHIER | get CLE NOM | set CLE NOM sz|dword VALEUR | "
    "delete CLE [NOM] | --help\n";

constexpr char kAide[] =
    "BavardinReg lit et modifie les réglages de Bavardin de l'utilisateur courant.\n"
    "Les clés s'écrivent comme dans un fichier REGEDIT4, par exemple\n"
    "  HKEY_CURRENT_USER\\Software\\Quidam\\Bavardin\\Initial\n"
    "\n"
    "  export FICHIER [CLE]            écrit la clé (par défaut HKEY_CURRENT_USER\\Software\\Quidam\\Bavardin)\n"
    "                                  et ses sous-clés dans FICHIER au format REGEDIT4\n"
    "  import FICHIER                  écrit dans les réglages les clés et valeurs d'un fichier REGEDIT4\n"
    "  get CLE NOM                     affiche la valeur NOM de CLE (\"\" désigne la valeur par défaut)\n"
    "  set CLE NOM sz|dword VALEUR     écrit NOM dans CLE, en texte (sz) ou en entier 32 bits (dword,\n"
    "                                  décimal ou 0x hexadécimal), en créant la clé au besoin\n"
    "  delete CLE [NOM]                supprime la valeur NOM de CLE, ou la clé entière avec ses sous-clés\n"
    "\n"
    "Exemple : BavardinReg set HKEY_CURRENT_USER\\Software\\Quidam\\Bavardin\\Initial "
    "Administrateur_systeme dword 1\n"
    "Code de sortie : 0 réussite, 1 échec, 2 appel incorrect.\n";

struct Cle {
    Racine racine;
    QString chemin; // absolute, with a leading backslash
};

// "HKEY_CURRENT_USER\Software\..." -> root and path; nothing for an unknown root.
std::optional<Cle> lireCle(const QString& texte) {
    QString t = texte;
    if (t.startsWith(u'[') && t.endsWith(u']'))
        t = t.mid(1, t.size() - 2);
    const qsizetype s = t.indexOf(u'\\');
    const auto racine = racineDuNom(s < 0 ? QStringView(t) : QStringView(t).left(s));
    if (!racine)
        return std::nullopt;
    return Cle{*racine, s < 0 ? QStringLiteral("\\") : t.mid(s)};
}

void ecrire(std::FILE* f, const QString& texte) { std::fputs(texte.toLocal8Bit().constData(), f); }

int usage(std::FILE* err, const char* pourquoi) {
    std::fprintf(err, "BavardinReg : %s\n%s", pourquoi, kUsage);
    return 2;
}

} // namespace

int ExecuterBavardinReg(const QStringList& a, std::FILE* out, std::FILE* err) {
    if (a.isEmpty())
        return usage(err, "il manque la commande.");
    const QString verbe = a[0];
    if (verbe == QStringLiteral("--help") || verbe == QStringLiteral("-h") || verbe == QStringLiteral("help")) {
        std::fputs(kAide, out);
        std::fputs(kUsage, out);
        return 0;
    }
    const struct {
        const char* nom;
        int min, max;
    } verbes[] = {{"export", 2, 3}, {"import", 2, 2}, {"get", 3, 3}, {"set", 5, 5}, {"delete", 2, 3}};
    bool connu = false;
    for (const auto& v : verbes)
        if (verbe == QLatin1String(v.nom)) {
            connu = true;
            if (a.size() < v.min || a.size() > v.max)
                return usage(err, "nombre d'arguments incorrect.");
        }
    if (!connu)
        return usage(err, "commande inconnue.");

    // Every argument is checked before the store is opened: a bad call writes nothing.
    std::optional<Cle> cle;
    const int indexCle = verbe == QStringLiteral("export") ? 2 : 1;
    if (verbe != QStringLiteral("import") && a.size() > indexCle) {
        cle = lireCle(a[indexCle]);
        if (!cle)
            return usage(err, "clé incorrecte : elle doit commencer par HKEY_CURRENT_USER ou une autre racine.");
    }
    qint32 entier = 0;
    if (verbe == QStringLiteral("set")) {
        if (a[3] == QStringLiteral("dword")) {
            bool ok = false;
            const qlonglong v = a[4].startsWith(QStringLiteral("0x"), Qt::CaseInsensitive) ? a[4].mid(2).toLongLong(&ok, 16)
                                                                                               : a[4].toLongLong(&ok, 10);
            if (!ok || v < INT32_MIN || v > UINT32_MAX)
                return usage(err, "valeur dword incorrecte.");
            entier = static_cast<qint32>(static_cast<quint32>(v));
        } else if (a[3] != QStringLiteral("sz")) {
            return usage(err, "le type doit être sz ou dword.");
        }
    }
    if (verbe == QStringLiteral("import") && !QFileInfo(a[1]).isFile()) {
        std::fprintf(err, "BavardinReg : fichier introuvable : %s\n", a[1].toLocal8Bit().constData());
        return 1;
    }

    try {
        TContexte ctx(QStringLiteral("Bavardin"));
        ctx.definirAfficheur([err](const QString& m) { ecrire(err, QStringLiteral("BavardinReg : ") + m + u'\n'); });
        TRegistre reg(ctx.base());
        if (verbe == QStringLiteral("export")) {
            const Cle c = cle.value_or(Cle{Racine::CurrentUser, QStringLiteral("\\Software\\Quidam\\Bavardin")});
            reg.RootKey = c.racine;
            if (!reg.KeyExists(c.chemin)) {
                ecrire(err, QStringLiteral("BavardinReg : clé absente : %1\n").arg(a.value(2, c.chemin)));
                return 1;
            }
            ctx.ExporterCle(c.racine, c.chemin, a[1]);
            return 0;
        }
        if (verbe == QStringLiteral("import")) {
            ctx.ImporterFichier(a[1]);
            return 0;
        }
        reg.RootKey = cle->racine;
        if (verbe == QStringLiteral("get")) {
            const auto v = reg.OpenKey(cle->chemin, false) ? reg.lire(a[2]) : std::nullopt;
            if (!v) {
                ecrire(err, QStringLiteral("BavardinReg : valeur absente : %1\n").arg(a[2]));
                return 1;
            }
            if (v->type == TypeValeur::Dword && v->donnees.size() == 4)
                ecrire(out, QString::number(reg.ReadInteger(a[2])) + u'\n');
            else if (v->type == TypeValeur::Sz || v->type == TypeValeur::ExpandSz)
                ecrire(out, cp1252::decode(v->donnees) + u'\n');
            else
                ecrire(out, QString::fromLatin1(v->donnees.toHex(',')) + u'\n');
            return 0;
        }
        if (verbe == QStringLiteral("set")) {
            if (!reg.OpenKey(cle->chemin, true))
                return 1;
            if (a[3] == QStringLiteral("dword"))
                reg.WriteInteger(a[2], entier);
            else
                reg.WriteString(a[2], a[4]);
            return 0;
        }
        // delete
        if (a.size() == 3) {
            if (!reg.OpenKey(cle->chemin, false) || !reg.DeleteValue(a[2])) {
                ecrire(err, QStringLiteral("BavardinReg : valeur absente : %1\n").arg(a[2]));
                return 1;
            }
            return 0;
        }
        if (!reg.DeleteKey(cle->chemin)) {
            ecrire(err, QStringLiteral("BavardinReg : clé absente : %1\n").arg(a[1]));
            return 1;
        }
        return 0;
    } catch (const EBavardin& e) {
        ecrire(err, QStringLiteral("BavardinReg : ") + e.message() + u'\n');
    }
    return 1;
}
