#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;
class TfrmResale;

// "Търсене": the small floating window that finds appliances across the whole
// item table by a piece of text in one of six columns.
class TfrmFind : public QWidget {
    Q_OBJECT
public:
    explicit TfrmFind(TfrmResale* main);

    QComboBox* cmbField = nullptr;
    QComboBox* cmbWay = nullptr;
    QLineEdit* eString = nullptr;
    QPushButton* btnFind = nullptr;

public slots:
    void FormShow();
    void btnFindClick();
    void FormClose();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TfrmResale* m_main;
};
