#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <memory>
#include <ostream>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << "bytes(" << b.size() << ") \"";
    for (unsigned char c : b) {
        if (c >= 0x20 && c < 0x7f && c != '\\')
            *os << c;
        else {
            static const char* hex = "0123456789abcdef";
            *os << "\\x" << hex[c >> 4] << hex[c & 15];
        }
    }
    *os << '"';
}

namespace testsupport {

namespace {
std::unique_ptr<QTemporaryDir>& maison() {
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
} // namespace

void isolerEnvironnement() {
    maison() = std::make_unique<QTemporaryDir>();
    const QString home = maison()->path();
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());
    qputenv("XDG_DATA_HOME", (home + "/.local/share").toUtf8());
    qputenv("XDG_RUNTIME_DIR", (home + "/run").toUtf8());
    QDir().mkpath(home + "/run");
    QFile::setPermissions(home + "/run", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QStandardPaths::setTestModeEnabled(true);
}

QString dossierMaison() { return maison() ? maison()->path() : QString(); }

QByteArray lireFichier(const QString& chemin) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void ecrireFichier(const QString& chemin, const QByteArray& contenu) {
    QFile f(chemin);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(contenu);
}

} // namespace testsupport
