// The one conversion point between bytes and text: every file, registry value and datagram is
// Windows-1252. All 256 bytes decode to distinct characters (the five bytes the code page leaves
// undefined map to the C1 controls, as Windows does), so any byte string survives a round trip.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace cp1252 {

QString decode(QByteArrayView bytes);
// Characters outside the code page become '?'.
QByteArray encode(QStringView text);

} // namespace cp1252
