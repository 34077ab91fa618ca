#pragma once

#include <QWidget>

class MainWindow;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Търсене": the small floating window that finds appliances across the whole
// item table by a piece of text in one of six columns.
class FindWindow : public QWidget {
    Q_OBJECT
public:
    explicit FindWindow(MainWindow* main);

    // Brings the window forward with the searched text selected, to be typed
    // over (after a search that found nothing).
    void focusSearchText();

public slots:
    // "Търсене": finds the typed text in the chosen column, the chosen way.
    void search();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The first column, "begins with" and no text: every opening starts afresh.
    void resetChoices();

    MainWindow* m_main;
    QComboBox* m_fieldCombo = nullptr;
    QComboBox* m_wayCombo = nullptr;
    QLineEdit* m_textEdit = nullptr;
    QPushButton* m_findButton = nullptr;
};
