// Replays the fuzzing seed corpus and every input that once crashed or hung
// the RTF reader.
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QTest>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

class FuzzReplay : public QObject {
    Q_OBJECT
private slots:
    void replay_data();
    void replay();
};

void FuzzReplay::replay_data() {
    QTest::addColumn<QString>("path");
    int count = 0;
    for (const QString& dir : QStringLiteral(RESALE_FUZZ_DIRS).split(QLatin1Char('|'))) {
        QDirIterator it(dir, QDir::Files);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.endsWith(QLatin1String(".md")))
                continue;
            QTest::newRow(qPrintable(QDir(dir).dirName() + QLatin1Char('/') + it.fileName())) << path;
            ++count;
        }
    }
    QVERIFY2(count > 0, "no fuzz inputs found");
}

void FuzzReplay::replay() {
    QFETCH(QString, path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray data = f.readAll();
    QCOMPARE(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size())), 0);
}

int main(int argc, char** argv) {
    testenv::isolateSettings();
    QGuiApplication app(argc, argv);
    FuzzReplay t;
    return QTest::qExec(&t, argc, argv);
}

#include "FuzzReplay.moc"
