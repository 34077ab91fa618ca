// Where the program finds its files: beside the executable (a build folder)
// or in the share folder of an installation, and what it says of a file
// that neither has.
#include "core/ProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
void put(const QString& folder, const QStringList& names) {
    QDir().mkpath(folder);
    for (const QString& name : names) {
        QFile f(QDir(folder).filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
}
} // namespace

class TestProgramFiles : public QObject {
    Q_OBJECT
    QTemporaryDir m_config; // the user's and the system's configuration folders

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", m_config.filePath(QStringLiteral("home")).toUtf8());
        qputenv("XDG_CONFIG_DIRS", m_config.filePath(QStringLiteral("xdg")).toUtf8());
    }

    void version() { QCOMPARE(programfiles::version(), QStringLiteral("1.39")); }

    void folders_data() {
        QTest::addColumn<QStringList>("besideProgram");
        QTest::addColumn<QStringList>("inShare");
        QTest::addColumn<QString>("expectedFolder"); // "bin" or "share"
        QTest::addColumn<QStringList>("expectedMissing");
        const QStringList all = programfiles::shippedFiles();
        QTest::newRow("build folder") << all << QStringList{} << "bin" << QStringList{};
        QTest::newRow("installed") << QStringList{} << all << "share" << QStringList{};
        QTest::newRow("both: beside the program wins") << all << all << "bin" << QStringList{};
        QTest::newRow("none") << QStringList{} << QStringList{} << "bin" << all;
        QTest::newRow("installed without the manual")
            << QStringList{} << QStringList{"resale.db", "salecontract.rtf", "resale_help.html"} << "share"
            << QStringList{"doc_resale.html"};
        // Files are never mixed from two folders: a stray template beside the
        // program makes that folder the program's, and the rest are missing.
        QTest::newRow("stray file beside an installed program")
            << QStringList{"salecontract.rtf"} << all << "bin"
            << QStringList{"resale.db", "resale_help.html", "doc_resale.html"};
    }
    void folders() {
        QFETCH(QStringList, besideProgram);
        QFETCH(QStringList, inShare);
        QFETCH(QString, expectedFolder);
        QFETCH(QStringList, expectedMissing);
        QTemporaryDir root;
        const QString bin = root.filePath(QStringLiteral("usr/bin"));
        const QString share = root.filePath(QStringLiteral("usr/share/resale"));
        QDir().mkpath(bin);
        put(bin, besideProgram);
        put(share, inShare);
        QCOMPARE(programfiles::searchFolders(bin), (QStringList{bin, share}));
        QCOMPARE(programfiles::folder(bin), expectedFolder == QLatin1String("bin") ? bin : share);
        QCOMPARE(programfiles::missingFiles(bin), expectedMissing);
        const QString found = programfiles::folder(bin);
        QStringList expectedReport;
        for (const QString& name : programfiles::shippedFiles())
            expectedReport.append(expectedMissing.contains(name)
                                      ? programfiles::missingText(name, bin)
                                      : QStringLiteral("%1: %2").arg(name, QDir(found).filePath(name)));
        QCOMPARE(programfiles::report(bin), expectedReport);
    }

    // A shop's own sale contract in the configuration folders is used
    // instead of the shipped one, the user's before the system's.
    void shopsOwnSaleContract() {
        QTemporaryDir root;
        const QString bin = root.filePath(QStringLiteral("usr/bin"));
        const QString share = root.filePath(QStringLiteral("usr/share/resale"));
        QDir().mkpath(bin);
        put(share, programfiles::shippedFiles());
        QCOMPARE(programfiles::saleContractFolder(bin), share);

        const QString system = m_config.filePath(QStringLiteral("xdg/resale"));
        put(system, {QStringLiteral("salecontract.rtf")});
        QCOMPARE(programfiles::saleContractFolder(bin), system);
        QCOMPARE(programfiles::report(bin).at(1),
                 QStringLiteral("salecontract.rtf: %1/salecontract.rtf (на магазина)").arg(system));
        QVERIFY(QFile::remove(QDir(share).filePath(QStringLiteral("salecontract.rtf"))));
        QVERIFY(programfiles::missingFiles(bin).isEmpty());

        const QString user = m_config.filePath(QStringLiteral("home/resale"));
        put(user, {QStringLiteral("salecontract.rtf")});
        QCOMPARE(programfiles::saleContractFolder(bin), user);
        QCOMPARE(programfiles::folder(bin), share); // the other files stay where they are

        QVERIFY(QDir(user).removeRecursively() && QDir(system).removeRecursively());
        QCOMPARE(programfiles::missingFiles(bin), QStringList{QStringLiteral("salecontract.rtf")});
    }

    void missingTextNamesTheFileAndBothFolders() {
        QCOMPARE(programfiles::missingText(QStringLiteral("doc_resale.html"), QStringLiteral("/opt/shop/bin")),
                 QStringLiteral("Файлът \"doc_resale.html\" на програмата липсва: няма го нито в /opt/shop/bin, "
                                "нито в /opt/shop/share/resale."));
    }
};

QTEST_GUILESS_MAIN(TestProgramFiles)
#include "TestProgramFiles.moc"
