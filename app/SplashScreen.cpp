#include "app/SplashScreen.h"

#include <QApplication>
#include <QBitmap>
#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

QPixmap SplashScreen::picture() {
    // Drawn once: a rounded plate on a key colour; every pixel of the key
    // colour (the top-left pixel's) is cut away from the window.
    QImage img(369, 129, QImage::Format_RGB32);
    const QColor key(255, 0, 255);
    img.fill(key);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath plate;
    plate.addRoundedRect(QRectF(2, 2, 364, 124), 18, 18);
    QLinearGradient g(0, 0, 0, 129);
    g.setColorAt(0, QColor(18, 60, 120));
    g.setColorAt(1, QColor(8, 30, 70));
    p.fillPath(plate, g);
    p.setPen(QPen(QColor(120, 200, 90), 3));
    p.drawPath(plate);
    // A washing machine, drawn simply.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QColor(230, 236, 245));
    p.drawRoundedRect(QRectF(22, 26, 62, 78), 6, 6);
    p.setBrush(QColor(90, 150, 210));
    p.drawEllipse(QPointF(53, 72), 20, 20);
    p.setBrush(QColor(120, 200, 90));
    p.drawEllipse(QPointF(32, 36), 3, 3);
    p.drawEllipse(QPointF(42, 36), 3, 3);
    p.setPen(Qt::white);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(24);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(100, 22, 260, 32), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Втора употреба"));
    f.setPixelSize(13);
    f.setBold(false);
    p.setFont(f);
    p.setPen(QColor(200, 220, 240));
    p.drawText(QRectF(100, 56, 260, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Уреди на консигнация"));
    p.drawText(QRectF(100, 76, 260, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("версия 1.39"));
    p.setPen(QColor(120, 200, 90));
    p.drawText(QRectF(100, 96, 260, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Зареждане..."));
    p.end();
    return QPixmap::fromImage(img);
}

SplashScreen::SplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_picture(picture()) {
    setObjectName(QStringLiteral("TSplash"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(m_picture.size());
    const QColor key = m_picture.toImage().pixelColor(0, 0);
    setMask(m_picture.createMaskFromColor(key, Qt::MaskInColor));
}

void SplashScreen::showNow() {
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->geometry().center() - rect().center());
    show();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void SplashScreen::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, m_picture);
}
