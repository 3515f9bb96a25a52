// The program as users run it: real processes, each in a network namespace made for the run so
// that its start-up broadcast reaches nothing but itself.
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <csignal>
#include <unistd.h>

namespace {

struct ProcessusTest : ::testing::Test {
    QTemporaryDir maison;

    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root to make a network namespace for each run (unshare --net)";
        QDir().mkpath(maison.filePath("run"));
    }
    QProcessEnvironment environnement(bool ecran = true) const {
        QProcessEnvironment env;
        env.insert("PATH", qEnvironmentVariable("PATH"));
        env.insert("HOME", maison.path());
        env.insert("XDG_CONFIG_HOME", maison.filePath(".config"));
        env.insert("XDG_DATA_HOME", maison.filePath(".local/share"));
        env.insert("XDG_RUNTIME_DIR", maison.filePath("run"));
        env.insert("ASAN_OPTIONS", qEnvironmentVariable("ASAN_OPTIONS"));
        if (ecran)
            env.insert("QT_QPA_PLATFORM", "offscreen");
        return env;
    }
    std::unique_ptr<QProcess> lancer(bool ecran = true) {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(environnement(ecran));
        p->start("unshare", {"--net", "--", BAVARDIN_EXE});
        EXPECT_TRUE(p->waitForStarted(5000));
        return p;
    }
    QString reg(const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(environnement());
        p.start(BAVARDINREG_EXE, args);
        p.waitForFinished(10000);
        return QString::fromLocal8Bit(p.readAllStandardOutput());
    }
    bool attendre(const std::function<bool()>& condition, int ms = 10000) {
        QElapsedTimer t;
        t.start();
        while (!condition()) {
            if (t.elapsed() > ms)
                return false;
            QThread::msleep(20);
        }
        return true;
    }
    bool pret() const { return QFile::exists(maison.filePath("run/BAVARDIN.sock")); }
    QString exporter(const QString& racine = "HKEY_CURRENT_USER") {
        const QString f = maison.filePath("export.reg");
        reg({"export", f, racine});
        return QString::fromLatin1(testsupport::lireFichier(f));
    }
};

const QString kInitial = "HKEY_CURRENT_USER\\Software\\Quidam\\Bavardin\\Initial";

} // namespace

TEST_F(ProcessusTest, WithoutADisplayItSaysSoAndFails) {
    auto p = lancer(false);
    ASSERT_TRUE(p->waitForFinished(10000));
    EXPECT_NE(p->exitCode(), 0);
    EXPECT_TRUE(QString::fromLocal8Bit(p->readAllStandardError()).contains("aucun écran"));
}

TEST_F(ProcessusTest, SigtermEndsInOrderAndASecondStartTouchesNothing) {
    reg({"set", kInitial, "RepondeurActif", "dword", "1"});
    reg({"set", kInitial, "PremierDemarrage", "sz", "NON"});
    auto premier = lancer();
    ASSERT_TRUE(attendre([&] { return pret(); })) << premier->readAllStandardError().toStdString();
    ASSERT_TRUE(attendre([&] { return exporter().contains("\"Chef\"=\"PC-QUIDAM\""); }));
    const QString avant = exporter();

    auto second = lancer();
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(exporter(), avant);
    EXPECT_EQ(premier->state(), QProcess::Running);

    ::kill(static_cast<pid_t>(premier->processId()), SIGTERM);
    ASSERT_TRUE(premier->waitForFinished(10000));
    EXPECT_EQ(premier->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(premier->exitCode(), 0);
    // Ended as a logon end: the answering machine is off, the lock is gone.
    EXPECT_EQ(reg({"get", kInitial, "RepondeurActif"}), "0\n");
    EXPECT_FALSE(QFile::exists(maison.filePath("run/BAVARDIN.lock")));
    EXPECT_TRUE(exporter("HKEY_CLASSES_ROOT").contains("[HKEY_CLASSES_ROOT\\.rdv]"));
}

TEST_F(ProcessusTest, AWrongTypedSettingIsReportedAndTheProgramRunsOn) {
    reg({"set", kInitial, "PremierDemarrage", "sz", "NON"});
    reg({"set", kInitial, "RepondeurActif", "sz", "oui"});
    reg({"set", kInitial, "Administrateur_systeme", "sz", "oui"});
    auto p = lancer();
    ASSERT_TRUE(attendre([&] { return pret(); })) << p->readAllStandardError().toStdString();
    EXPECT_TRUE(attendre([&] { return exporter().contains("\"Chef\"=\"PC-QUIDAM\""); })); // the start went on
    EXPECT_EQ(p->state(), QProcess::Running);
    ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
    ASSERT_TRUE(p->waitForFinished(10000));
    EXPECT_EQ(p->exitCode(), 0);
    EXPECT_TRUE(QString::fromLocal8Bit(p->readAllStandardError()).contains("Type de donnée incorrect"));
    EXPECT_EQ(reg({"get", kInitial, "RepondeurActif"}), "0\n"); // written again at the orderly end
}
