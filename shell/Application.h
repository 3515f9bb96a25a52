// The application object: the general error report for errors no handler caught, so that the
// program shows them and goes on running.
#pragma once

#include "Erreurs.h"

#include <QApplication>

class TApplicationBavardin final : public QApplication {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TApplicationBavardin)

public:
    TApplicationBavardin(int& argc, char** argv);
    bool notify(QObject* receveur, QEvent* e) override;
    // Shows an error without stopping the event loop.
    static void RapportErreur(const QString& message);
};

// Runs one step of the start or the stop; an error of ours is reported and the next step runs,
// so that one bad setting never keeps the program from starting or from ending in order.
template <class Etape> void SansInterruption(Etape&& etape) {
    try {
        etape();
    } catch (const EBavardin& e) {
        TApplicationBavardin::RapportErreur(e.message());
    }
}
