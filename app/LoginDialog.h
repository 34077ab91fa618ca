#pragma once

#include <QDialog>

class MainWindow;
class QLineEdit;
class QPushButton;

// The login: "Въведете име и парола". Accepted (result 6, Yes) only when a
// clerk with the right to this program logged in.
class LoginDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kLoggedIn = 6;

    LoginDialog(MainWindow* main, const QString& helpFile, QWidget* parent = nullptr);

public slots:
    // "Вход": checks the name and password and, when the clerk may use this
    // program, logs the clerk in to the main window.
    void logIn();

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    MainWindow* m_main;
    QString m_helpFile;

    QLineEdit* m_userEdit = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QPushButton* m_loginButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
