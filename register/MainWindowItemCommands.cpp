// The item commands: intake, sale, payout, return, price change, transfer,
// annulment and the reprint of the consignment contract.
#include "register/MainWindow.h"

#include "core/ProgramFiles.h"
#include "db/DbError.h"
#include "documents/ui/ConsignmentContractWindow.h"
#include "operations/Item.h"
#include "operations/Operations.h"
#include "operations/ui/ContractData.h"
#include "operations/ui/IntakeDialog.h"
#include "operations/ui/PayoutDialog.h"
#include "operations/ui/PriceChangeDialog.h"
#include "operations/ui/SaleDialog.h"
#include "operations/ui/ShopChooser.h"
#include "register/RegisterParts.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"
#include "widgets/WaitCursor.h"

#include <QAction>
#include <optional>

namespace {

// The dialogs are the window's direct children, made once by createDialogs().
template <class T> T* dialog(MainWindow* w) {
    return w->findChild<T*>(QString(), Qt::FindDirectChildrenOnly);
}

QString goneMessage() {
    return QStringLiteral(
        "Уредът не е намерен (вероятно е променен от друго работно място). Списъкът ще бъде обновен.");
}

} // namespace

void MainWindow::createDialogs() {
    Database& database = db();
    auto* contract = new ConsignmentContractWindow(this);
    auto* sale = new SaleDialog(database, this);
    sale->setTemplateDir(programfiles::saleContractFolder(programDir()));
    sale->setDetailSource([this](const QString& column) { return detailText(column); });
    auto* intake = new IntakeDialog(database, this);
    intake->setContractWindow(contract);
    new PayoutDialog(database, this);
    new PriceChangeDialog(database, this);
    new ShopChooser(database, this);
    createRegisterDialogs();
}

// The register's current appliance as stored now. When it has gone since the
// register was built (another workstation), the clerk is told and the
// register is built again.
static std::optional<Item> currentItem(MainWindow* w) {
    const qint64 id = w->currentItemId();
    if (id < 0)
        return std::nullopt;
    std::optional<Item> item;
    try {
        item = Item::load(w->db(), id);
    } catch (const DbError& e) {
        MessageService::error(w, e.message());
        return std::nullopt;
    }
    if (!item) {
        MessageService::warning(w, goneMessage());
        w->refreshRegister();
    }
    return item;
}

void MainWindow::takeInItem() {
    auto* chooser = dialog<ShopChooser>(this);
    auto* intake = dialog<IntakeDialog>(this);
    if (!chooser || !intake || !m_intakeAction->isEnabled())
        return;
    chooser->setFilterShop(filterShopId());
    const int shop = chooser->choose();
    if (shop <= 0)
        return;
    intake->setClerk(userId());
    intake->setShop(shop);
    if (intake->exec() != QDialog::Accepted)
        return;
    refreshShowing(intake->newId());
}

void MainWindow::sellCurrentItem() {
    auto* sale = dialog<SaleDialog>(this);
    // F2 reaches here also while the command is off (no row, a sold item).
    if (!sale || !m_saleAction->isEnabled())
        return;
    const std::optional<Item> item = currentItem(this);
    if (!item)
        return;
    if (item->saled) {
        MessageService::warning(this, QStringLiteral("Уредът вече е продаден."));
        refreshRegister();
        return;
    }
    sale->setClerk(userId());
    sale->setItem(*item);
    if (sale->exec() == QDialog::Accepted || sale->itemWasStale())
        refreshKeeping(item->id);
}

void MainWindow::payOutCurrentItem() {
    auto* pay = dialog<PayoutDialog>(this);
    if (!pay || !m_payoutAction->isEnabled())
        return;
    const std::optional<Item> item = currentItem(this);
    if (!item)
        return;
    if (!item->payed) {
        pay->setClerk(userId());
        pay->setItem(*item);
        pay->exec();
    } else {
        MessageService::warning(this, QStringLiteral("Уредът вече е изплатен."));
    }
    // The register is built again whether the payout was made or not.
    refreshKeeping(item->id);
}

void MainWindow::returnCurrentItem() {
    if (!m_returnAction->isEnabled())
        return;
    const std::optional<Item> item = currentItem(this);
    if (!item)
        return;
    if (!MessageService::question(this,
                                  QStringLiteral("Моля потвърдете връщането на уреда.\n"
                                                 "След потвърждение уредът ще бъде изтрит от базата данни"),
                                  QStringLiteral("Връщане на уред")))
        return;
    const ops::Result r = underWaitCursor([&] { return ops::returnItem(ops::Context{db(), userId()}, item->id); });
    if (!r.ok()) {
        MessageService::error(this, r.message);
        if (r.status == ops::Status::EngineError)
            return;
    }
    refreshKeeping(item->id);
}

void MainWindow::changeCurrentPrices() {
    auto* prices = dialog<PriceChangeDialog>(this);
    if (!prices || !m_priceChangeAction->isEnabled())
        return;
    const std::optional<Item> item = currentItem(this);
    if (!item)
        return;
    prices->setClerk(userId());
    prices->setItem(*item);
    if (prices->exec() == QDialog::Accepted)
        rerunKeeping(item->id);
    else if (prices->itemWasStale())
        refreshRegister();
}

void MainWindow::transferCurrentItem() {
    auto* chooser = dialog<ShopChooser>(this);
    if (!chooser || !m_transferAction->isEnabled())
        return;
    const std::optional<Item> item = currentItem(this);
    if (!item)
        return;
    chooser->setFilterShop(filterShopId());
    const int shop = chooser->choose();
    if (shop <= 0 || shop == item->idShop)
        return;
    const ops::Result r = underWaitCursor([&] { return ops::transfer(ops::Context{db(), userId()}, item->id, shop); });
    if (!r.ok()) {
        MessageService::error(this, r.message);
        if (r.status == ops::Status::Refused)
            refreshRegister();
        return;
    }
    rerunKeeping(item->id);
}

void MainWindow::annulCurrentSale() {
    if (!m_annulAction->isEnabled())
        return;
    const std::optional<Item> item = currentItem(this);
    if (!item)
        return;
    if (MessageService::question(this, QStringLiteral("Продажбата ще бъде анулирана!\nЖелаете ли да продължите?"),
                                 QStringLiteral("Анулиране"))) {
        const ops::Result r = underWaitCursor([&] { return ops::annul(ops::Context{db(), userId()}, item->id); });
        if (!r.ok())
            MessageService::error(this, r.message);
        if (r.status != ops::Status::EngineError)
            refreshKeeping(item->id);
    }
    if (m_register && m_register->grid && currentItemId() >= 0)
        m_register->grid->setFocus(Qt::OtherFocusReason);
}

void MainWindow::reprintContract() {
    auto* contract = dialog<ConsignmentContractWindow>(this);
    if (!contract)
        return;
    const std::optional<Item> item = currentItem(this);
    if (!item)
        return;
    QString why;
    const std::optional<ConsignmentContractData> data = contractdata::consignmentToShow(db(), item->id, &why);
    if (!data) {
        MessageService::error(this, why);
        return;
    }
    contract->setData(*data);
    contract->exec();
}
