#include "Regedit4.h"

#include "Cp1252.h"

#include <QtEndian>
#include <optional>

namespace regedit4 {

namespace {

constexpr char kChiffres[] = "0123456789abcdef";

QByteArray trim(const QByteArray& s) {
    qsizetype d = 0, f = s.size();
    while (d < f && static_cast<unsigned char>(s[d]) <= ' ')
        ++d;
    while (f > d && static_cast<unsigned char>(s[f - 1]) <= ' ')
        --f;
    return s.mid(d, f - d);
}

int chiffre(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Pairs of hex digits, each followed by one separator. A malformed list writes nothing.
std::optional<QByteArray> lireOctets(const QByteArray& texte) {
    const QByteArray t = trim(texte);
    if (t.isEmpty())
        return QByteArray();
    const qsizetype n = t.size() / 3 + 1;
    QByteArray r(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype p = 3 * i;
        if (p + 1 >= t.size())
            return std::nullopt;
        const int h = chiffre(t[p]), l = chiffre(t[p + 1]);
        if (h < 0 || l < 0)
            return std::nullopt;
        r[i] = static_cast<char>(h * 16 + l);
    }
    return r;
}

// The escapes of names and texts: \\, \n, \r and \" stand for one character; a backslash
// before anything else stays with it.
void ajouterEchappe(QByteArray& r, char n) {
    switch (n) {
    case '\\': r += '\\'; break;
    case 'n': r += '\n'; break;
    case 'r': r += '\r'; break;
    case '"': r += '"'; break;
    default:
        r += '\\';
        r += n;
    }
}

QByteArray desechapperTexte(const QByteArray& s) {
    QByteArray r;
    r.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c != '\\') {
            r += c;
            continue;
        }
        if (i + 1 >= s.size())
            break; // a backslash at the very end is dropped
        ajouterEchappe(r, s[++i]);
    }
    return r;
}

std::optional<EcrireValeur> valeurDe(const QString& nom, const QByteArray& d) {
    if (d.startsWith('"')) {
        const QByteArray corps = d.size() >= 2 ? d.mid(1, d.size() - 2) : QByteArray();
        return EcrireValeur{nom, TypeValeur::Sz, desechapperTexte(corps)};
    }
    if (d.size() >= 4 && d.left(3).toUpper() == "HEX") {
        if (d[3] == ':') {
            if (auto o = lireOctets(d.mid(4)))
                return EcrireValeur{nom, TypeValeur::Binary, *o};
            return std::nullopt;
        }
        if (d.size() < 5)
            return std::nullopt;
        const char t = d[4];
        if (t != '0' && t != '7' && t != '2')
            return std::nullopt;
        auto o = lireOctets(d.mid(7));
        if (!o)
            return std::nullopt;
        if (t == '2') {
            const qsizetype z = o->indexOf('\0');
            return EcrireValeur{nom, TypeValeur::ExpandSz, z < 0 ? *o : o->left(z)};
        }
        return EcrireValeur{nom, TypeValeur::Binary, *o};
    }
    if (d.size() >= 6 && d.left(5).toUpper() == "DWORD" && d[5] == ':') {
        const QByteArray h = d.mid(6, 8);
        if (h.size() != 8)
            return std::nullopt;
        quint32 v = 0;
        for (char c : h) {
            const int x = chiffre(c);
            if (x < 0)
                return std::nullopt;
            v = v * 16 + quint32(x);
        }
        QByteArray b(4, Qt::Uninitialized);
        qToLittleEndian(v, b.data());
        return EcrireValeur{nom, TypeValeur::Dword, b};
    }
    return std::nullopt;
}

} // namespace

QByteArray echapper(const QByteArray& texte) {
    QByteArray r;
    r.reserve(texte.size() + 8);
    for (char c : texte) {
        switch (c) {
        case '\\': r += "\\\\"; break;
        case '\r': r += "\\r"; break;
        case '\n': r += "\\n"; break;
        case '"': r += "\\\""; break;
        default: r += c;
        }
    }
    return r;
}

QByteArray listeOctets(const QByteArray& donnees) {
    QByteArray r;
    if (donnees.isEmpty())
        return r;
    r.resize(donnees.size() * 3 - 1);
    char* p = r.data();
    for (qsizetype i = 0; i < donnees.size(); ++i) {
        const auto b = static_cast<unsigned char>(donnees[i]);
        if (i)
            *p++ = ',';
        *p++ = kChiffres[b >> 4];
        *p++ = kChiffres[b & 15];
    }
    return r;
}

QByteArray ligneCle(Racine racine, const QString& chemin) {
    QString c = chemin;
    if (c.startsWith(u'\\'))
        c.remove(0, 1);
    const QByteArray r = cp1252::encode(nomRacine(racine));
    return c.isEmpty() ? "[" + r + "]" : "[" + r + "\\" + cp1252::encode(c) + "]";
}

void couperLigne(QByteArray l, QList<QByteArray>& sortie) {
    if (l.size() <= 78) {
        sortie << l;
        return;
    }
    while (!l.isEmpty()) {
        const qsizetype p = l.indexOf(',', 76); // first comma at column 77 or later
        if (p >= 0 && p != l.size() - 1) {
            sortie << l.left(p + 1) + "\\";
            l = "  " + l.mid(p + 1);
        } else {
            sortie << l;
            l.clear();
        }
        if (l.size() <= 78) {
            if (!l.isEmpty())
                sortie << l;
            l.clear();
        }
    }
}

QList<QByteArray> lignesValeur(const ValeurRegistre& v) {
    const QByteArray nom = v.nom.isEmpty() ? QByteArray("@") : "\"" + echapper(cp1252::encode(v.nom)) + "\"";
    QList<QByteArray> lignes;
    switch (v.type) {
    case TypeValeur::Sz:
        lignes << nom + "=\"" + echapper(v.donnees) + "\"";
        return lignes;
    case TypeValeur::Dword:
        if (v.donnees.size() == 4) {
            lignes << nom + "=dword:" +
                          QByteArray::number(qFromLittleEndian<quint32>(v.donnees.constData()), 16).rightJustified(8, '0');
            return lignes;
        }
        break;
    case TypeValeur::ExpandSz:
        couperLigne(nom + "=hex(2):" + listeOctets(v.donnees + QByteArray(1, '\0')), lignes);
        return lignes;
    case TypeValeur::Binary:
        couperLigne(nom + "=hex:" + listeOctets(v.donnees), lignes);
        return lignes;
    default:
        break;
    }
    const bool court = v.donnees.size() == 4 || v.donnees.isEmpty();
    couperLigne(nom + (court ? "=hex(0):" : "=hex(7):") + listeOctets(v.donnees), lignes);
    return lignes;
}

Analyse analyser(const QList<QByteArray>& lignes) {
    Analyse a;
    if (lignes.isEmpty() || trim(lignes[0]) != "REGEDIT4")
        return a;
    a.estRegedit4 = true;
    for (qsizetype i = 1; i < lignes.size(); ++i) {
        const QByteArray& ligne = lignes[i];
        if (trim(ligne).isEmpty())
            continue;
        if (ligne[0] == '[') {
            const QString interieur = cp1252::decode(ligne.mid(1, ligne.size() - 2));
            const qsizetype s = interieur.indexOf(u'\\');
            if (s < 0) {
                a.instructions.push_back(OuvrirCle{Racine::CurrentUser, u'\\' + interieur});
            } else {
                const auto r = racineDuNom(interieur.left(s));
                a.instructions.push_back(OuvrirCle{r.value_or(Racine::CurrentUser), interieur.mid(s)});
            }
            continue;
        }
        QByteArray nom;
        QByteArray donnees;
        if (ligne.startsWith("@=")) {
            donnees = ligne.mid(2);
        } else {
            const qsizetype dernier = ligne.size() - 1; // never read as part of the name
            qsizetype j = 1;
            while (j < dernier) {
                const char c = ligne[j];
                if (c == '"')
                    break;
                if (c == '\\' && j + 1 < dernier) {
                    ajouterEchappe(nom, ligne[j + 1]);
                    j += 2;
                    continue;
                }
                nom += c;
                ++j;
            }
            donnees = ligne.mid(j + 2); // the closing quote and the "=" after it
        }
        while (donnees.endsWith('\\')) {
            donnees.chop(1);
            if (i + 1 >= lignes.size())
                break;
            donnees += trim(lignes[++i]);
        }
        if (auto v = valeurDe(cp1252::decode(nom), donnees))
            a.instructions.push_back(std::move(*v));
    }
    return a;
}

} // namespace regedit4
