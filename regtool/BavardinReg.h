// The command-line companion of the registry store, for settings set outside the program.
#pragma once

#include <QStringList>
#include <cstdio>

// Runs one call (arguments without the program name); returns the exit code. A bad call
// prints the usage line on err and writes nothing.
int ExecuterBavardinReg(const QStringList& arguments, std::FILE* out, std::FILE* err);
