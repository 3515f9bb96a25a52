// The REGEDIT4 text form of registry keys: rendering of key and value lines (with the escapes
// and the line breaking of byte lists) and parsing of a whole file into a list of writes.
// Pure functions on bytes, so that the parser can be fuzzed without a store.
#pragma once

#include "Registre.h"

#include <QByteArray>
#include <QList>
#include <variant>
#include <vector>

namespace regedit4 {

QByteArray echapper(const QByteArray& texte);
QByteArray listeOctets(const QByteArray& donnees);
QByteArray ligneCle(Racine racine, const QString& chemin);
// One value as one or more lines (byte lists broken after the first comma from column 77).
QList<QByteArray> lignesValeur(const ValeurRegistre& valeur);
void couperLigne(QByteArray ligne, QList<QByteArray>& sortie);

struct OuvrirCle {
    Racine racine;
    QString chemin;
};
struct EcrireValeur {
    QString nom;
    TypeValeur type;
    QByteArray donnees;
};
using Instruction = std::variant<OuvrirCle, EcrireValeur>;

struct Analyse {
    bool estRegedit4 = false;
    std::vector<Instruction> instructions;
};

// Reads the lines of a file; a file whose first line is not "REGEDIT4" gives no instruction.
Analyse analyser(const QList<QByteArray>& lignes);

} // namespace regedit4
