#pragma once

#include <QDialog>

class Database;
class QLineEdit;
class QPushButton;
class MainWindow;

// The login: "Въведете име и парола". Accepted (result 6, Yes) only when a
// clerk with the right to this program logged in.
class TfrmInput : public QDialog {
    Q_OBJECT

public:
    static constexpr int kLoggedIn = 6;

    TfrmInput(MainWindow* main, const QString& helpFile, QWidget* parent = nullptr);

    QLineEdit* Edit1 = nullptr; // user name
    QLineEdit* Edit2 = nullptr; // password
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    void btnOkClick();

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    MainWindow* m_main;
    QString m_helpFile;
};
