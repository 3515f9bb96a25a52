// BavardinQuit: one broadcast, then the end. No window, no message, always exit code 0.
#include "UPrincipale.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    DiffuserQuitterLocal();
    return 0;
}
