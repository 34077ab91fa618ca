#include "tools/setup/ui/SetupPage.h"

SetupPage::SetupPage(const QString& title, QWidget* parent) : QWidget(parent), m_title(title) {}
