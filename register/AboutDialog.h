#pragma once

#include <QDialog>

class QLabel;

// "За програмата": the program's name and version, the database in use and
// the Qt version it runs on.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
    // Fills the texts; database describes the engine, its mode and place.
    void setDatabase(const QString& database);
    QString text() const;

private:
    QLabel* m_text;
};
