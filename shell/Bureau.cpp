#include "Bureau.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

bool TBureau::Ouvrir(const QString& fichier) {
    const QFileInfo info(fichier);
    if (!info.isFile())
        return false;
    if (info.isExecutable())
        return QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath());
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}
