// The desktop shell's "open": starts a program or opens a document with its usual application.
#pragma once

#include <QString>

class IBureau {
public:
    virtual ~IBureau() = default;
    // Opens the file with no parameters, in a normal window; false when nothing could be started.
    virtual bool Ouvrir(const QString& fichier) = 0;
};

// Executables are started detached; other files go to the desktop's handler (xdg-open).
class TBureau final : public IBureau {
public:
    bool Ouvrir(const QString& fichier) override;
};
