#pragma once

#include <QWidget>

class QLabel;

// A bold section title lying on a horizontal rule across the dialog.
class SectionHeading : public QWidget {
    Q_OBJECT
public:
    explicit SectionHeading(const QString& title, QWidget* parent = nullptr);
    QLabel* label() const { return m_label; }

private:
    QLabel* m_label;
};
