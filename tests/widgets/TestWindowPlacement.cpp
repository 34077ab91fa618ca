// Where the main window opens: the first-start default by screen size, and
// the saved placement brought back onto a screen that is still there.
#include "tests/support/TestEnv.h"
#include "widgets/WindowPlacement.h"

#include <QtTest>

using placement::Placement;
using placement::Screen;

namespace {
const QSize kDesigned(785, 550);
const QSize kMinimum(750, 550);
Screen screen(const char* name, QRect geometry, int taskBar = 40) {
    return {QString::fromLatin1(name), geometry, geometry.adjusted(0, 0, 0, -taskBar)};
}
} // namespace

Q_DECLARE_METATYPE(Placement)

class TestWindowPlacement : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testenv::isolateSettings(); }

    void firstStart_data() {
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QRect>("normal");
        QTest::addColumn<bool>("maximised");
        // Small screens: maximised, the designed size centred for later.
        QTest::newRow("800 x 600") << QRect(0, 0, 800, 600) << QRect(7, 5, 785, 550) << true;
        QTest::newRow("640 x 480") << QRect(0, 0, 640, 480) << QRect(-73, -55, 785, 550) << true;
        // Larger ones: four fifths of the area, centred, never below the
        // designed size.
        QTest::newRow("1024 x 768") << QRect(0, 0, 1024, 768) << QRect(102, 73, 819, 582) << false;
        QTest::newRow("1280 x 1024") << QRect(0, 0, 1280, 1024) << QRect(128, 98, 1024, 787) << false;
        QTest::newRow("1920 x 1080") << QRect(0, 0, 1920, 1080) << QRect(192, 104, 1536, 832) << false;
        QTest::newRow("900 x 600") << QRect(0, 0, 900, 600) << QRect(57, 5, 785, 550) << false;
        QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QRect(2048, 98, 1024, 787) << false;
    }
    void firstStart() {
        QFETCH(QRect, geometry);
        QFETCH(QRect, normal);
        QFETCH(bool, maximised);
        const Placement p = placement::firstStart(screen("S", geometry), kDesigned);
        QCOMPARE(p.normal, normal);
        QCOMPARE(p.maximised, maximised);
        QCOMPARE(p.screen, QStringLiteral("S"));
        QVERIFY(!p.asLeft);
    }

    void restore_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QRect>("saved");
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<QRect>("normal");
        QTest::addColumn<bool>("asLeft");
        const QRect def(128, 98, 1024, 787); // the default on the primary 1280 x 1024
        QTest::newRow("as left") << "A" << QRect(100, 50, 900, 700) << false << QRect(100, 50, 900, 700) << true;
        QTest::newRow("maximised") << "A" << QRect(100, 50, 900, 700) << true << QRect(100, 50, 900, 700) << true;
        QTest::newRow("on the second screen")
            << "B" << QRect(1400, 100, 1000, 800) << false << QRect(1400, 100, 1000, 800) << true;
        QTest::newRow("screen gone") << "C" << QRect(100, 50, 900, 700) << false << def << false;
        QTest::newRow("named screen, other place") << "A" << QRect(3000, 50, 900, 700) << false << def << false;
        // Partly off its screen: moved onto it; larger than it: shrunk.
        QTest::newRow("hanging off the right")
            << "A" << QRect(1000, 50, 900, 700) << false << QRect(380, 50, 900, 700) << true;
        QTest::newRow("above the top") << "A" << QRect(100, -300, 900, 700) << false << QRect(100, 0, 900, 700) << true;
        QTest::newRow("larger than the screen")
            << "A" << QRect(-50, -50, 2000, 1500) << false << QRect(0, 0, 1280, 984) << true;
        QTest::newRow("never below the minimum")
            << "A" << QRect(10, 10, 300, 200) << false << QRect(10, 10, 750, 550) << true;
        QTest::newRow("empty") << "A" << QRect() << false << def << false;
    }
    void restore() {
        QFETCH(QString, screen);
        QFETCH(QRect, saved);
        QFETCH(bool, maximised);
        QFETCH(QRect, normal);
        QFETCH(bool, asLeft);
        const Screen a = ::screen("A", QRect(0, 0, 1280, 1024));
        const Screen b = ::screen("B", QRect(1280, 0, 1920, 1080));
        const Placement p = placement::restore(Placement{screen, saved, maximised}, {a, b}, a, kDesigned, kMinimum);
        QCOMPARE(p.normal, normal);
        QCOMPARE(p.asLeft, asLeft);
        QCOMPARE(p.maximised, asLeft && maximised);
        QCOMPARE(p.screen, asLeft ? screen : QStringLiteral("A"));
    }

    void nothingSaved() {
        const Screen a = screen("A", QRect(0, 0, 800, 600));
        const Placement p = placement::restore(std::nullopt, {a}, a, kDesigned, kMinimum);
        QCOMPARE(p, placement::firstStart(a, kDesigned));
        QVERIFY(p.maximised);
    }
};

QTEST_MAIN(TestWindowPlacement)
#include "TestWindowPlacement.moc"
