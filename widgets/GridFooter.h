#pragma once

#include <QWidget>

class GroupingModel;
class QHeaderView;

// The line under the grid with the sums of all listed rows, each under its
// own column.
class GridFooter : public QWidget {
    Q_OBJECT
public:
    GridFooter(QHeaderView* header, GroupingModel* model, QWidget* parent = nullptr);

    QString text(int column) const;
    QSize sizeHint() const override;
    void setLeftOffset(int offset);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QHeaderView* m_header;
    GroupingModel* m_model;
    int m_leftOffset = 0;
};
