#include "UPrincipale.h"

#include "UUtils.h"

#include <QHostAddress>
#include <QUdpSocket>

namespace {
constexpr quint16 portPresence = 776;
}

QByteArray DatagrammeQuitter(const QString& nomOrdinateur) {
    // Host names are ASCII; toLatin1 turns anything beyond Latin-1 into '?'.
    return QByteArrayLiteral("QUITTER,") + nomOrdinateur.toLatin1() + QByteArrayLiteral(",CHEF,0");
}

bool DiffuserQuitterLocal() {
    const QByteArray datagramme = DatagrammeQuitter(NomOrdinateur());
    QUdpSocket socket;
    // Any local port; Qt enables SO_BROADCAST on every UDP socket it creates.
    if (!socket.bind(QHostAddress::AnyIPv4, 0))
        return false;
    const qint64 ecrits = socket.writeDatagram(datagramme, QHostAddress::Broadcast, portPresence);
    socket.close();
    return ecrits == datagramme.size();
}
