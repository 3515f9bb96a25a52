// Shared test helpers: a private HOME per test binary, readable failure output for Qt types.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <iosfwd>

void PrintTo(const QString& s, std::ostream* os);
void PrintTo(const QByteArray& b, std::ostream* os);

namespace testsupport {

// Points HOME and the XDG folders at a fresh temporary folder so that no test touches real
// settings. Called once by each test main before anything reads the settings.
void isolerEnvironnement();

// Folder of the current test binary's private HOME.
QString dossierMaison();

// Reads a whole file, or an empty array when it does not exist.
QByteArray lireFichier(const QString& chemin);
void ecrireFichier(const QString& chemin, const QByteArray& contenu);

} // namespace testsupport
