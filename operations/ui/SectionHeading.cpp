#include "operations/ui/SectionHeading.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

SectionHeading::SectionHeading(const QString& title, QWidget* parent)
    : QWidget(parent), m_label(new QLabel(title, this)) {
    QFont bold = m_label->font();
    bold.setBold(true);
    m_label->setFont(bold);
    auto rule = [this]() {
        auto* line = new QFrame(this);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        return line;
    };
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 6, 0, 2);
    row->setSpacing(2);
    auto* lead = rule();
    lead->setFixedWidth(8);
    row->addWidget(lead);
    row->addWidget(m_label);
    row->addWidget(rule(), 1);
}
