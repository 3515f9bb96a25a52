// The application object: the general error report for errors no handler caught, so that the
// program shows them and goes on running.
#pragma once

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
