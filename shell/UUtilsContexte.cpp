// The identity functions that need the settings store (kept apart so that the quit tool, which
// only needs the computer name, does not carry the store).
#include "UUtils.h"
#include "Ucontexte.h"

QString LireSurnom() {
    const QString s = Contexte().LireChaineInitiale(QStringLiteral("SurnomUtilisateur"));
    return s.isEmpty() ? NomUtilisateurWindows() : s;
}

void EcrireCleSysteme(Racine racine, const QString& cle, const QString& nomValeur, const QString& texte) {
    TRegistre r(Contexte().base());
    r.RootKey = racine;
    if (r.OpenKey(cle.startsWith(u'\\') ? cle : u'\\' + cle, true))
        r.WriteString(nomValeur, texte);
}

QString LireCleSysteme(Racine racine, const QString& cle, const QString& nomValeur) {
    TRegistre r(Contexte().base());
    r.RootKey = racine;
    if (!r.OpenKey(cle.startsWith(u'\\') ? cle : u'\\' + cle, false) || !r.ValueExists(nomValeur))
        return {};
    return r.ReadString(nomValeur);
}
