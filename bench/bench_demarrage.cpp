// Times the real program from its start to a running event loop (the moment it answers on its
// single-instance socket), then measures its idle resident memory and its wake-ups while idle.
// Every run happens inside a network namespace of its own (unshare --net): needs root.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

QProcessEnvironment environnement(const QString& maison) {
    QProcessEnvironment env;
    env.insert("PATH", qEnvironmentVariable("PATH"));
    env.insert("HOME", maison);
    env.insert("XDG_CONFIG_HOME", maison + "/.config");
    env.insert("XDG_DATA_HOME", maison + "/.local/share");
    env.insert("XDG_RUNTIME_DIR", maison + "/run");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

bool repond(const QString& socket) {
    QLocalSocket s;
    s.connectToServer(socket);
    if (!s.waitForConnected(50))
        return false;
    s.write("ping\n");
    return s.waitForReadyRead(200) && s.readAll().startsWith("ok");
}

// Sum over the process's threads of a numeric field of /proc/<pid>/task/*/status.
qint64 champ(qint64 pid, const QByteArray& nom) {
    qint64 total = 0;
    for (const QString& t : QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(QStringLiteral("/proc/%1/task/%2/status").arg(pid).arg(t));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& l : f.readAll().split('\n'))
            if (l.startsWith(nom + ':'))
                total += l.mid(nom.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return total;
}

qint64 rssKo(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    f.open(QIODevice::ReadOnly);
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmRSS:"))
            return l.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (geteuid() != 0) {
        std::puts("bench_demarrage: needs root for a network namespace per run (unshare --net); skipped");
        return 0;
    }
    const int tours = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    QList<qint64> temps;
    qint64 rss = 0, reveils = 0;
    for (int i = 0; i < tours; ++i) {
        QTemporaryDir maison;
        QDir().mkpath(maison.filePath("run"));
        const QProcessEnvironment env = environnement(maison.path());
        QProcess reg;
        reg.setProcessEnvironment(env);
        reg.start(BAVARDINREG_EXE, {"set", "HKEY_CURRENT_USER\\Software\\Quidam\\Bavardin\\Initial", "PremierDemarrage",
                                    "sz", "NON"});
        reg.waitForFinished();
        if (i > 0) { // a second start: the store and the desktop types exist already, as every day
            QProcess p;
            p.setProcessEnvironment(env);
            p.start("unshare", {"--net", "--", BAVARDIN_EXE});
            p.waitForStarted();
            while (!repond(maison.filePath("run/BAVARDIN.sock")))
                QThread::msleep(5);
            p.terminate();
            p.waitForFinished();
        }
        QProcess p;
        p.setProcessEnvironment(env);
        QElapsedTimer t;
        t.start();
        p.start("unshare", {"--net", "--", BAVARDIN_EXE});
        p.waitForStarted();
        while (!repond(maison.filePath("run/BAVARDIN.sock"))) {
            if (t.elapsed() > 20000) {
                std::puts("bench_demarrage: the program never answered");
                return 1;
            }
            QThread::usleep(500);
        }
        temps << t.elapsed();
        if (i == tours - 1) {
            QThread::msleep(1000);
            rss = rssKo(p.processId());
            const qint64 avant = champ(p.processId(), "voluntary_ctxt_switches") +
                                 champ(p.processId(), "nonvoluntary_ctxt_switches");
            QThread::msleep(5000);
            reveils = champ(p.processId(), "voluntary_ctxt_switches") +
                      champ(p.processId(), "nonvoluntary_ctxt_switches") - avant;
        }
        p.terminate();
        p.waitForFinished();
    }
    const qint64 premier = temps.takeFirst();
    if (temps.isEmpty())
        temps << premier;
    std::sort(temps.begin(), temps.end());
    std::printf("start to event loop: first start %lld ms; later starts median %lld ms, worst %lld ms (%d runs)\n",
                static_cast<long long>(premier), static_cast<long long>(temps[temps.size() / 2]),
                static_cast<long long>(temps.last()), tours);
    std::printf("idle resident memory: %lld KiB (%.1f MB)\n", static_cast<long long>(rss), rss / 1024.0);
    std::printf("wake-ups of every thread over 5 s idle: %lld\n", static_cast<long long>(reveils));
    return 0;
}
