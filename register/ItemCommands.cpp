// The item commands: intake, sale, payout, return, price change, transfer,
// annulment and the reprint of the consignment contract.
#include "register/TfrmResale.h"

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
template <class T> T* dialog(TfrmResale* w) {
    return w->findChild<T*>(QString(), Qt::FindDirectChildrenOnly);
}

QString goneMessage() {
    return QStringLiteral(
        "Уредът не е намерен (вероятно е променен от друго работно място). Списъкът ще бъде обновен.");
}

} // namespace

void TfrmResale::createDialogs() {
    Database& database = db();
    auto* contract = new ConsignmentContractWindow(this);
    auto* sale = new SaleDialog(database, this);
    sale->setTemplateDir(programDir());
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
static std::optional<Item> currentItem(TfrmResale* w) {
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
        w->btnRefreshClick();
    }
    return item;
}

void TfrmResale::mnGetClick() {
    auto* chooser = dialog<ShopChooser>(this);
    auto* intake = dialog<IntakeDialog>(this);
    if (!chooser || !intake || !mnGet->isEnabled())
        return;
    chooser->setFilterShop(filterShopId());
    const int shop = chooser->choose();
    if (shop <= 0)
        return;
    intake->setClerk(userId());
    intake->setShop(shop);
    if (intake->exec() != QDialog::Accepted)
        return;
    const qint64 id = intake->newId();
    btnRefreshClick();
    if (id >= 0)
        locateItem(id);
}

void TfrmResale::mnSaleClick() {
    auto* sale = dialog<SaleDialog>(this);
    // F2 reaches here also while the command is off (no row, a sold item).
    if (!sale || !mnSale->isEnabled())
        return;
    const std::optional<Item> item = currentItem(this);
    if (!item)
        return;
    if (item->saled) {
        MessageService::warning(this, QStringLiteral("Уредът вече е продаден."));
        btnRefreshClick();
        return;
    }
    sale->setClerk(userId());
    sale->setItem(*item);
    if (sale->exec() == QDialog::Accepted || sale->itemWasStale())
        btnRefreshClick();
}

void TfrmResale::mnPayClick() {
    auto* pay = dialog<PayoutDialog>(this);
    if (!pay || !mnPay->isEnabled())
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
    btnRefreshClick();
}

void TfrmResale::mnBackClick() {
    if (!mnBack->isEnabled())
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
    btnRefreshClick();
}

void TfrmResale::mnPricesClick() {
    auto* prices = dialog<PriceChangeDialog>(this);
    if (!prices || !mnPrices->isEnabled())
        return;
    const std::optional<Item> item = currentItem(this);
    if (!item)
        return;
    prices->setClerk(userId());
    prices->setItem(*item);
    if (prices->exec() == QDialog::Accepted)
        rerunKeeping(item->id);
    else if (prices->itemWasStale())
        btnRefreshClick();
}

void TfrmResale::mnMoveClick() {
    auto* chooser = dialog<ShopChooser>(this);
    if (!chooser || !mnMove->isEnabled())
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
            btnRefreshClick();
        return;
    }
    rerunKeeping(item->id);
}

void TfrmResale::mnAnulClick() {
    if (!mnAnul->isEnabled())
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
            btnRefreshClick();
    }
    if (reg && reg->grid && currentItemId() >= 0)
        reg->grid->setFocus(Qt::OtherFocusReason);
}

void TfrmResale::mnPrintClick() {
    auto* contract = dialog<ConsignmentContractWindow>(this);
    if (!contract)
        return;
    const std::optional<Item> item = currentItem(this);
    if (!item)
        return;
    Database& database = db();
    const qint64 id = item->id;
    contract->setDataSource([&database, id]() {
        try {
            return contractdata::loadConsignment(database, id).value_or(ConsignmentContractData{});
        } catch (const DbError& e) {
            MessageService::error(nullptr, e.message());
            return ConsignmentContractData{};
        }
    });
    contract->exec();
}
