// Message boxes that do not stop the event loop: the network goes on being served while they
// wait for the user. Each deletes itself when closed.
#pragma once

#include <QMessageBox>

inline QMessageBox* BoiteNonModale(QWidget* parent, QMessageBox::Icon icone, const QString& texte,
                                   const QString& nom = QString()) {
    auto* b = new QMessageBox(icone, QStringLiteral("Bavardin"), texte, QMessageBox::Ok, parent);
    b->setObjectName(nom);
    b->setAttribute(Qt::WA_DeleteOnClose);
    b->open();
    return b;
}
