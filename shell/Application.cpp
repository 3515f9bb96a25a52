#include "Application.h"

#include "Erreurs.h"

#include <QMessageBox>
#include <cstdio>

TApplicationBavardin::TApplicationBavardin(int& argc, char** argv) : QApplication(argc, argv) {}

void TApplicationBavardin::RapportErreur(const QString& message) {
    std::fprintf(stderr, "Bavardin : %s\n", message.toLocal8Bit().constData());
    auto* boite = new QMessageBox(QMessageBox::Critical, QStringLiteral("Bavardin"), message, QMessageBox::Ok);
    boite->setObjectName(QStringLiteral("_RapportErreur"));
    boite->setAttribute(Qt::WA_DeleteOnClose);
    boite->open();
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
