// What the other windows may ask of the hidden main window besides its posted messages: its
// tray menu and pictures, and the flags it keeps for them.
#pragma once

#include <QList>
#include <QPixmap>

class QMenu;
class QObject;

class IPrincipale {
public:
    virtual ~IPrincipale() = default;
    // The receiver of the posted messages.
    virtual QObject* cibleMessages() = 0;
    virtual QMenu* menuTray() = 0;
    virtual const QList<QPixmap>& personnages() const = 0;
    virtual void marquerConnectesModifies() = 0;
    virtual bool forumOuvert() const = 0;
};
