#pragma once

#include <QWidget>

class ChainDatabase;

// One step of the chain's set-up window ("Магазини", "Служители", ...).
// A new step (for example an import from an old database) derives from this
// and is added with ChainSetupWindow::addPage().
class SetupPage : public QWidget {
    Q_OBJECT

public:
    explicit SetupPage(const QString& title, QWidget* parent = nullptr);

    QString title() const { return m_title; }
    // Whether the step works on an open database (the database step does not).
    virtual bool needsDatabase() const { return true; }
    // The database the window works on; nullptr when none is open.
    virtual void setDatabase(ChainDatabase* db) = 0;
    // Reads again what the step shows.
    virtual void reload() {}
    // Asked before the step is left or the window closed: true when leaving
    // loses nothing (changes saved, or dropped, as the administrator chose).
    virtual bool mayLeave() { return true; }

signals:
    // The step changed data that other steps show (they read it again).
    void dataChanged();

private:
    QString m_title;
};
