// The window "Настройка на веригата" driven through its widgets: one whole
// set-up of a new chain in a new folder (two shops, clerks of three levels,
// the firm), after which the program's own start-up and login let each clerk
// in with the rights and shops of the level, and keep out the one without
// access.
#include "app/Startup.h"
#include "app/LoginDialog.h"
#include "core/SuiteSettings.h"
#include "db/Database.h"
#include "operations/Operations.h"
#include "register/MainWindow.h"
#include "tests/support/Controls.h"
#include "tests/support/Engines.h"
#include "tools/PrivateFiles.h"
#include "tools/setup/ui/ChainSetupWindow.h"
#include "tools/setup/ui/SetupPage.h"
#include "widgets/DesktopService.h"
#include "widgets/FileDialogService.h"
#include "widgets/MessageService.h"
#include "widgets/PrintService.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {
template <typename T> T* child(QWidget* in, const char* name) { return ui::control<T>(in, name); }

void click(QWidget* in, const char* button) {
    QTest::mouseClick(child<QPushButton>(in, button), Qt::LeftButton);
}

void type(QWidget* in, const char* field, const QString& text) {
    auto* e = child<QLineEdit>(in, field);
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    // Key by key as typed (keyClicks takes Latin-1 only).
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, e, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void choose(QWidget* in, const char* combo, const QString& text) {
    auto* c = child<QComboBox>(in, combo);
    const int i = c->findText(text);
    if (i < 0)
        qFatal("no choice %s", qPrintable(text));
    c->setCurrentIndex(i);
}

void clickRow(QTableView* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 1)).center());
}

QString message(QWidget* in, const char* field) {
    auto* m = child<QLabel>(in, (QByteArray(field) + "Message").constData());
    return m->isVisible() ? m->text() : QString();
}

// Runs action on the login dialog as soon as it is up.
void onLogin(const std::function<void(QDialog*)>& action) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dlg = qobject_cast<LoginDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dlg);
        }
    });
    timer->start();
}

void logIn(QDialog* dlg, const QString& user, const QString& password) {
    child<QLineEdit>(dlg, "Edit1")->setText(user);
    child<QLineEdit>(dlg, "Edit2")->setText(password);
    click(dlg, "btnOk");
}

// What the program's run showed once the clerk was in.
struct Session {
    bool in = false;
    QString status;
    int clerk = 0;
    QString shopFilter;
    QStringList offered; // the shops intake and transfer offer
};

// Starts the program as a clerk would, logs in, and ends it again.
Session runProgram(const QString& user, const QString& password, const QString& firstPassword = QString()) {
    Session s;
    onLogin([&](QDialog* dlg) {
        if (!firstPassword.isNull()) {
            logIn(dlg, user, firstPassword);
            QCOMPARE(MessageService::lastText(), QStringLiteral("Грешно име и/или парола!"));
        }
        logIn(dlg, user, password);
        auto* closer = new QTimer;
        closer->setInterval(20);
        QObject::connect(closer, &QTimer::timeout, [&s, closer] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* main = qobject_cast<MainWindow*>(w); main && main->isVisible()) {
                    closer->stop();
                    closer->deleteLater();
                    s.in = true;
                    s.status = main->findChild<QLabel*>(QStringLiteral("stBarText"))->text();
                    s.clerk = main->userId();
                    s.shopFilter = main->shopFilterText();
                    for (const ops::Shop& shop : ops::offeredShops(main->db(), main->filterShopId()))
                        s.offered << shop.name;
                    MessageService::queueAnswer(QMessageBox::Yes);
                    main->close();
                }
        });
        closer->start();
    });
    startup::run(QCoreApplication::applicationDirPath());
    return s;
}

int count(const QString& sql) {
    Database db;
    QString error;
    if (!db.open(SuiteSettings::value(QStringLiteral("BasePath")).toString(), &error))
        qFatal("%s", qPrintable(error));
    return db.scalar(sql).toInt();
}
} // namespace

class TestChainSetupWindow : public QObject {
    Q_OBJECT

    ChainSetupWindow* m_window = nullptr;

    void step(int i) {
        auto* steps = child<QListWidget>(m_window, "steps");
        QTest::mouseClick(steps->viewport(), Qt::LeftButton, {}, steps->visualItemRect(steps->item(i)).center());
    }
    QWidget* current() { return child<QStackedWidget>(m_window, "pages")->currentWidget(); }
    QTableView* list() { return child<QTableView>(current(), "list"); }

private slots:
    void initTestCase() {
        testenv::isolateSettings();
        MessageService::setScripted(true);
        FileDialogService::setScripted(true);
        PrintService::setScripted(true);
        DesktopService::setScripted(true);
    }

    void completeSetUpThenLogin() {
        auto dir = testenv::tempDir();
        const QString folder = QDir::toNativeSeparators(dir->filePath(QStringLiteral("veriga")));
        m_window = new ChainSetupWindow;
        m_window->openFromSettings();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Настройка на веригата"));

        // 1. The database: nothing is named yet, so only this step is open.
        QWidget* page = current();
        QCOMPARE(page->objectName(), QStringLiteral("databasePage"));
        auto* steps = child<QListWidget>(m_window, "steps");
        for (int i = 1; i < steps->count(); ++i)
            QVERIFY(!(steps->item(i)->flags() & Qt::ItemIsEnabled));
        click(page, "useFolder");
        QCOMPARE(child<QLabel>(page, "folderMessage")->text(),
                 QStringLiteral("Въведете или изберете папка за базата данни"));
        FileDialogService::queueAnswer(folder);
        click(page, "chooseFolder");
        QCOMPARE(child<QLineEdit>(page, "folder")->text(), folder);
        click(page, "useFolder");
        QCOMPARE(child<QLabel>(page, "folderMessage")->text(),
                 QStringLiteral("В папката е създадена нова база данни на веригата."));
        QCOMPARE(SuiteSettings::value(QStringLiteral("BasePath")).toString(), folder);
        QVERIFY(privatefiles::isPrivate(folder));
        for (int i = 1; i < steps->count(); ++i)
            QVERIFY(steps->item(i)->flags() & Qt::ItemIsEnabled);

        // 2. Two shops; a shop without a name is refused next to its field.
        step(1);
        page = current();
        QCOMPARE(page->objectName(), QStringLiteral("shopsPage"));
        QCOMPARE(list()->model()->rowCount(), 0);
        type(page, "Address", QStringLiteral("София, бул. Витоша 12"));
        click(page, "saveButton");
        QCOMPARE(message(page, "Name"), QStringLiteral("Въведете името на магазина"));
        QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(page, "Name"));
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM Shops")), 0);
        type(page, "Name", QStringLiteral("Център"));
        type(page, "ShopPhone", QStringLiteral("02 981 22 33"));
        click(page, "saveButton");
        QCOMPARE(message(page, "Name"), QString());
        click(page, "newButton");
        type(page, "Name", QStringLiteral("Битова техника Младост 1"));
        QVERIFY(child<QLabel>(page, "shownName")->text().contains(QStringLiteral("„Битова техника Младо“")));
        type(page, "Address", QStringLiteral("София, ж.к. Младост 1"));
        click(page, "saveButton");
        QCOMPARE(list()->model()->rowCount(), 2);
        QCOMPARE(list()->model()->index(1, 1).data().toString(), QStringLiteral("Битова техника Младост 1"));
        QCOMPARE(list()->model()->index(1, 4).data().toString(), QStringLiteral("Да"));

        // An edit left unsaved is never dropped without asking.
        clickRow(list(), 0);
        type(page, "ShopPhone", QStringLiteral("02 000"));
        MessageService::queueAnswer(QMessageBox::Cancel);
        step(2);
        QCOMPARE(MessageService::lastText(), QStringLiteral("Има незаписани промени. Да ги запиша ли?"));
        QCOMPARE(current(), page);
        QCOMPARE(child<QLineEdit>(page, "ShopPhone")->text(), QStringLiteral("02 000"));
        MessageService::queueAnswer(QMessageBox::No);

        // 3. Clerks: the login's default clerk is there; its known password is changed.
        step(2);
        page = current();
        QCOMPARE(page->objectName(), QStringLiteral("clerksPage"));
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM Shops WHERE ShopPhone = '02 000'")), 0);
        QCOMPARE(list()->model()->rowCount(), 1);
        QVERIFY(child<QLabel>(page, "pageNote")->text().contains(QStringLiteral("паролата по подразбиране")));
        clickRow(list(), 0);
        QCOMPARE(child<QLineEdit>(page, "Nick")->text(), QStringLiteral("Administrator"));
        QVERIFY(child<QLineEdit>(page, "Password")->text().isEmpty()); // never shown
        QCOMPARE(child<QComboBox>(page, "Prefs")->currentText(), QStringLiteral("Администратор"));
        type(page, "Name", QStringLiteral("Георги Петров"));
        type(page, "Password", QStringLiteral("Шеф-2024"));
        type(page, "PasswordRepeat", QStringLiteral("Шеф-2024"));
        click(page, "saveButton");
        QVERIFY(!child<QLabel>(page, "pageNote")->isVisible());

        // A sales clerk of the first shop; passwords that differ are refused first.
        click(page, "newButton");
        type(page, "Nick", QStringLiteral("maria"));
        type(page, "Name", QStringLiteral("Мария Иванова"));
        type(page, "Password", QStringLiteral("1111"));
        type(page, "PasswordRepeat", QStringLiteral("1112"));
        choose(page, "Prefs", QStringLiteral("Продажби"));
        choose(page, "ShopID", QStringLiteral("Център"));
        QVERIFY(child<QLabel>(page, "access")->text().contains(QStringLiteral("само в магазин „Център“")));
        click(page, "saveButton");
        QVERIFY(message(page, "PasswordRepeat").contains(QStringLiteral("не съвпадат")));
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM CLERKS")), 1);
        type(page, "PasswordRepeat", QStringLiteral("1111"));
        click(page, "saveButton");
        QCOMPARE(message(page, "PasswordRepeat"), QString());

        // Sales and delivery in every shop; and one without access to this program.
        click(page, "newButton");
        type(page, "Nick", QStringLiteral("stoyan"));
        type(page, "Name", QStringLiteral("Стоян Колев"));
        type(page, "Password", QStringLiteral("4444"));
        type(page, "PasswordRepeat", QStringLiteral("4444"));
        choose(page, "Prefs", QStringLiteral("Продажби и доставка"));
        click(page, "saveButton");
        click(page, "newButton");
        type(page, "Nick", QStringLiteral("MARIA"));
        type(page, "Name", QStringLiteral("Гост"));
        type(page, "Password", QStringLiteral("0000"));
        type(page, "PasswordRepeat", QStringLiteral("0000"));
        choose(page, "Prefs", QStringLiteral("Без достъп до модула"));
        click(page, "saveButton");
        QVERIFY(message(page, "Nick").contains(QStringLiteral("Вече има служител")));
        type(page, "Nick", QStringLiteral("guest"));
        click(page, "saveButton");
        QCOMPARE(list()->model()->rowCount(), 4);
        QCOMPARE(list()->model()->index(3, 3).data().toString(), QStringLiteral("Без достъп до модула"));
        QCOMPARE(list()->model()->index(1, 4).data().toString(), QStringLiteral("Център"));

        // The last administrator keeps the rights.
        clickRow(list(), 0);
        choose(page, "Prefs", QStringLiteral("Продажби"));
        click(page, "saveButton");
        QVERIFY(message(page, "Prefs").contains(QStringLiteral("поне един активен служител")));
        click(page, "revertButton");
        QCOMPARE(child<QComboBox>(page, "Prefs")->currentText(), QStringLiteral("Администратор"));

        // 4. The own firm.
        step(3);
        page = current();
        QCOMPARE(page->objectName(), QStringLiteral("firmPage"));
        QVERIFY(child<QCheckBox>(page, "Active")->isChecked()); // the first firm is the active one
        type(page, "Name", QStringLiteral("Вемка ООД"));
        type(page, "BULSTAT", QStringLiteral("13123456"));
        type(page, "DNUM", QStringLiteral("1234567890"));
        type(page, "MOL", QStringLiteral("Георги Петров"));
        type(page, "Adres", QStringLiteral("София 1000, ул. Граф Игнатиев 7"));
        click(page, "saveButton");
        QCOMPARE(message(page, "BULSTAT"), QStringLiteral("Булстатът се състои от 9 или 13 цифри"));
        type(page, "BULSTAT", QStringLiteral("131234567"));
        click(page, "saveButton");
        QCOMPARE(list()->model()->rowCount(), 1);
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM MyInfo WHERE Active = 1 AND BULSTAT = '131234567'")), 1);

        // 5. The kinds: none booked yet.
        step(4);
        page = current();
        QCOMPARE(page->objectName(), QStringLiteral("kindsPage"));
        QCOMPARE(child<QTableView>(page, "incomeKinds")->model()->rowCount(), 0);
        QCOMPARE(child<QTableView>(page, "expenseKinds")->model()->rowCount(), 0);

        click(m_window, "closeButton");
        QVERIFY(!m_window->isVisible());
        delete m_window;
        m_window = nullptr;

        // The program's login: each clerk with the rights and shops of the level.
        MessageService::clearShown();
        Session admin =
            runProgram(QStringLiteral("Administrator"), QStringLiteral("Шеф-2024"), QStringLiteral("vemka"));
        QVERIFY(admin.in);
        QCOMPARE(admin.status, QStringLiteral("Потребител: Георги Петров"));
        QCOMPARE(admin.clerk, 1);
        QCOMPARE(admin.shopFilter, QStringLiteral("active=true and away=false"));
        QCOMPARE(admin.offered, (QStringList{QStringLiteral("Битова техника Младост 1"), QStringLiteral("Център")}));

        Session maria = runProgram(QStringLiteral("maria"), QStringLiteral("1111"));
        QVERIFY(maria.in);
        QCOMPARE(maria.status, QStringLiteral("Потребител: Мария Иванова"));
        QCOMPARE(maria.clerk, 2);
        QCOMPARE(maria.shopFilter, QStringLiteral("ID=1 and active=true and away=false"));
        QCOMPARE(maria.offered, QStringList{QStringLiteral("Център")});

        Session stoyan = runProgram(QStringLiteral("stoyan"), QStringLiteral("4444"));
        QVERIFY(stoyan.in);
        QCOMPARE(stoyan.clerk, 3);
        QCOMPARE(stoyan.shopFilter, QStringLiteral("active=true and away=false"));
        QCOMPARE(stoyan.offered.size(), 2);

        MessageService::clearShown();
        Session guest = runProgram(QStringLiteral("guest"), QStringLiteral("0000"));
        QVERIFY(!guest.in);
        QCOMPARE(MessageService::lastText(), QStringLiteral("Нямате право на достъп до този модул!"));
        QCOMPARE(SuiteSettings::value(QStringLiteral("User")).toString(), QStringLiteral("guest"));
        QVERIFY(privatefiles::isPrivate(SuiteSettings::location()));
    }

    // A server chosen in the window: tested first, then named with its
    // password, which the window never shows again.
    void serverChosenInTheWindow() {
        QString url;
        FRESH_PG_DATABASE(url);
        const QUrl u(url);
        QFile::remove(SuiteSettings::location());
        ChainSetupWindow w;
        w.openFromSettings();
        w.show();
        QWidget* page = child<QStackedWidget>(&w, "pages")->currentWidget();
        type(page, "host", u.host());
        child<QSpinBox>(page, "port")->setValue(u.port());
        type(page, "database", u.path().mid(1));
        type(page, "user", u.userName());
        type(page, "password", QStringLiteral("wrong"));
        click(page, "testServer");
        QVERIFY(child<QLabel>(page, "serverMessage")->text().startsWith(QStringLiteral("Няма връзка със сървъра")));
        type(page, "password", u.password());
        click(page, "testServer");
        QVERIFY(child<QLabel>(page, "serverMessage")->text().contains(QStringLiteral("ще бъдат създадени")));
        QVERIFY(!SuiteSettings::hasValue(QStringLiteral("BasePath"))); // a test writes nothing
        click(page, "useServer");
        QVERIFY2(child<QLabel>(page, "serverMessage")->text().contains(QStringLiteral("създадени таблиците")),
                 qPrintable(child<QLabel>(page, "serverMessage")->text()));
        QCOMPARE(PostgresAddress::fromUrl(SuiteSettings::value(QStringLiteral("BasePath")).toString()).password,
                 u.password());
        QVERIFY(privatefiles::isPrivate(SuiteSettings::location()));
        // No text of the window holds the password; its field stays empty.
        QVERIFY(child<QLineEdit>(page, "password")->text().isEmpty());
        const QString secret = u.userName() + QLatin1Char(':') + u.password();
        for (QLabel* l : w.findChildren<QLabel*>())
            QVERIFY2(!l->text().contains(secret), qPrintable(l->text()));
        QVERIFY(child<QLabel>(&w, "where")->text().contains(u.host()));
        // Opened again, it takes the stored password without showing it.
        ChainSetupWindow again;
        again.openFromSettings();
        QVERIFY(again.database().isOpen());
        QCOMPARE(child<QStackedWidget>(&again, "pages")->currentWidget()->objectName(), QStringLiteral("shopsPage"));
        QWidget* dbPage = again.findChild<QWidget*>(QStringLiteral("databasePage"));
        QVERIFY(child<QLineEdit>(dbPage, "password")->text().isEmpty());
        QCOMPARE(child<QLineEdit>(dbPage, "host")->text(), u.host());
    }
};

QTEST_MAIN(TestChainSetupWindow)
#include "TestChainSetupWindow.moc"
