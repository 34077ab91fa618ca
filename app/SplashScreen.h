#pragma once

#include <QWidget>

// The splash: a borderless, topmost window in the shape of the program's
// picture (369 x 129), shown while the database opens.
class SplashScreen : public QWidget {
    Q_OBJECT

public:
    explicit SplashScreen(QWidget* parent = nullptr);
    static QPixmap picture();
    // Shows the splash centred and paints it at once.
    void showNow();

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QPixmap m_picture;
};
