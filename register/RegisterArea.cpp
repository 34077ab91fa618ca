// The register: views, refresh, grid, detail panels, find and the window's
// own commands.
#include "register/TfrmResale.h"

#include <QLabel>
#include <QVBoxLayout>

struct RegisterParts {};

void RegisterPartsDeleter::operator()(RegisterParts* p) const { delete p; }

void TfrmResale::buildRegisterArea(QWidget* host) {
    reg.reset(new RegisterParts);
    auto* v = new QVBoxLayout(host);
    v->addWidget(new QLabel(QStringLiteral("Регистър"), host));
}

void TfrmResale::FormShow() {}
void TfrmResale::btnRefreshClick() {}
void TfrmResale::btnCheckClick() {}
void TfrmResale::gridChangeNode() {}
void TfrmResale::cmbFilterChange() {}
void TfrmResale::FromDateChange() {}
void TfrmResale::ToDateChange() {}
void TfrmResale::mnFindClick() {}
void TfrmResale::bExecClick() {}
void TfrmResale::TBItem3Click() {}
void TfrmResale::TBItem6Click() {}
void TfrmResale::TBItem5Click() {}
void TfrmResale::chkCustomizeClick() {}
void TfrmResale::gridEndColumnsCustomizing() {}
void TfrmResale::mnPrintGridClick() {}
qint64 TfrmResale::currentItemId() const { return -1; }
void TfrmResale::createRegisterDialogs() {}
