#include "Application.h"

#include "Boites.h"
#include "Erreurs.h"

#include <cstdio>

TApplicationBavardin::TApplicationBavardin(int& argc, char** argv) : QApplication(argc, argv) {}

void TApplicationBavardin::RapportErreur(const QString& message) {
    std::fprintf(stderr, "Bavardin : %s\n", message.toLocal8Bit().constData());
    BoiteNonModale(nullptr, QMessageBox::Critical, message, QStringLiteral("_RapportErreur"));
}

bool TApplicationBavardin::notify(QObject* receveur, QEvent* e) {
    try {
        return QApplication::notify(receveur, e);
    } catch (const EBavardin& err) {
        RapportErreur(err.message());
    } catch (const std::exception& err) {
        RapportErreur(QString::fromLocal8Bit(err.what()));
    }
    return false;
}
