// The messages other windows post to the main window instead of calling it: Qt events whose
// types carry the historical message numbers (WM_USER + offset).
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

enum MessagePoste : int {
    WM_USER = 1024,
    WM_ORDRE_QUITTER = WM_USER + 10,
    WM_ORDRE_MAJ = WM_USER + 11,
    WM_FIN_HORLOGE = WM_USER + 50,
    WM_FIN_FORUM = WM_USER + 51,
    WM_FIN_PREFERENCES = WM_USER + 52,
    WM_FIN_TELEPHONE = WM_USER + 53,
    WM_FIN_APROPOS = WM_USER + 54,
    WM_FIN_CALENDRIER = WM_USER + 55,
    WM_DEBUT_ENVOI = WM_USER + 100,
    WM_FIN_ENVOI = WM_USER + 101,
};
static_assert(int(WM_USER) >= int(QEvent::User) && int(WM_FIN_ENVOI) <= int(QEvent::MaxUser));

inline void PosterMessage(QObject* principale, MessagePoste message) {
    if (principale)
        QCoreApplication::postEvent(principale, new QEvent(static_cast<QEvent::Type>(message)));
}
