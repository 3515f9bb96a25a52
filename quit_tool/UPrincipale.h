// The quit broadcaster: tells the Bavardin instance of this machine to leave the network and
// quit, by broadcasting the quit order that names this computer.
#pragma once

#include <QByteArray>
#include <QString>

// "QUITTER,<computer name>,CHEF,0" as single-byte text.
QByteArray DatagrammeQuitter(const QString& nomOrdinateur);

// Broadcasts the quit order for this computer once to 255.255.255.255:776. Every failure (no
// network, no permission) is silent; the result only says whether the whole datagram left.
bool DiffuserQuitterLocal();
