#include "operations/Operations.h"
#include "core/Text.h"

#include "db/Database.h"
#include "db/Schema.h"
#include "operations/Clock.h"
#include "operations/Item.h"
#include "operations/Postings.h"

#include <QLoggingCategory>
#include <QSqlQuery>

namespace ops {

QString saleKind() { return QStringLiteral("Продажба 2-ра употреба"); }
QString payoutKind() { return QStringLiteral("Изплащане 2-ра употреба"); }
QString annulNote() { return QStringLiteral("Анулиране продажба 2-ра употреба"); }
QString contractNote(int dogNo, const QString& art) { return QStringLiteral("По договор №%1 - %2").arg(dogNo).arg(art); }
QString annulExpenseNote(int dogNo) { return QStringLiteral("Анулиране на прод. 2-ра употреба - дог. №%1").arg(dogNo); }

namespace {

Q_LOGGING_CATEGORY(lcOperations, "resale.operations")

// An optional text left empty is stored as a blank (null), as the annulment
// clears it and as the suite's tables know "no text": one thing to ask for.
QVariant optionalText(const QString& text) { return text.isEmpty() ? QVariant() : QVariant(text); }

const QString kGone = QStringLiteral("Уредът вече не е в базата данни (върнат или изтрит от друго работно място).");
const QString kSold = QStringLiteral("Уредът вече е продаден (вероятно от друго работно място).");

Result refused(const QString& why) { return {Status::Refused, why, -1}; }

// Runs one operation as a transaction: whatever it throws, nothing stays.
template <typename F> Result transactional(Database& db, F&& body) {
    try {
        Transaction tx(db);
        Result r = body();
        if (r.ok())
            tx.commit();
        return r;
    } catch (const DbError& e) {
        return {Status::EngineError, e.message(), -1};
    }
}

// Loads the item under the item's lock (other workstations wait for it).
std::optional<Item> lockedItem(Database& db, qint64 id) {
    db.lockKey(QStringLiteral("item|%1").arg(id));
    return Item::load(db, id);
}

} // namespace

QList<Shop> offeredShops(Database& db, int filterShop) {
    QString sql = QStringLiteral("SELECT ID, Name FROM Shops WHERE Active = ? AND (Away = ? OR Away IS NULL)");
    QVariantList params{true, false};
    if (db.engine() == Engine::SQLite)
        params = {1, 0};
    if (filterShop != 0) {
        sql += QStringLiteral(" AND ID = ?");
        params << filterShop;
    }
    sql += QStringLiteral(" ORDER BY Name, ID");
    QList<Shop> out;
    QSqlQuery q = db.exec(sql, params);
    while (q.next())
        out.append({q.value(0).toInt(), q.value(1).toString()});
    return out;
}

int proposeContractNumber(Database& db, int shop) {
    const QVariant max = db.scalar(QStringLiteral("SELECT max(DogNo) FROM resale WHERE IdShop = ?"), {shop});
    return max.isNull() || !max.isValid() ? 1 : max.toInt() + 1;
}

bool contractNumberUsed(Database& db, int shop, int dogNo) {
    return db.scalar(QStringLiteral("SELECT 1 FROM resale WHERE IdShop = ? AND DogNo = ?"), {shop, dogNo}).isValid();
}

Result intake(Context ctx, const IntakeInput& in) {
    Database& db = ctx.db;
    return transactional(db, [&]() -> Result {
        // One workstation at a time may give out numbers in a shop.
        db.lockKey(QStringLiteral("dogno|%1").arg(in.shop));
        if (contractNumberUsed(db, in.shop, in.dogNo))
            return refused(QStringLiteral("Такъв номер на договор вече съществува"));
        const QDate today = Clock::today();
        QVariantMap row{{QStringLiteral("DlvNames"), in.names},   {QStringLiteral("DlvAdres"), in.adres},
                        {QStringLiteral("DlvLK"), optionalText(in.lk)}, {QStringLiteral("DlvEGN"), in.egn},
                        {QStringLiteral("Art"), in.art},          {QStringLiteral("ArtNote"), optionalText(in.artNote)},
                        {QStringLiteral("Serial"), optionalText(in.serial)}, {QStringLiteral("DogNo"), in.dogNo},
                        {QStringLiteral("Payed"), in.payNow},     {QStringLiteral("Saled"), false},
                        {QStringLiteral("DateGet"), today},       {QStringLiteral("SalePrice"), money::toLeva(in.salePrice)},
                        {QStringLiteral("DlvPrice"), money::toLeva(in.dlvPrice)}, {QStringLiteral("IdShop"), in.shop}};
        if (in.payNow)
            row.insert(QStringLiteral("Datepay"), today);
        const qint64 id = db.insert(QStringLiteral("resale"), row);
        if (in.payNow) {
            postings::cashBook(db, ctx.clerk, in.shop, postings::CashSide::Out, in.dlvPrice, payoutKind());
            const int kind = postings::kind(db, QStringLiteral("TypeExpense"), payoutKind());
            postings::entry(db, QStringLiteral("Expenses"), in.shop, kind, ctx.clerk, in.dlvPrice,
                            contractNote(in.dogNo, text::left(in.art, 50)));
        }
        return {Status::Done, QString(), id};
    });
}

Result sale(Context ctx, const SaleInput& in) {
    Database& db = ctx.db;
    return transactional(db, [&]() -> Result {
        const auto item = lockedItem(db, in.id);
        if (!item)
            return refused(kGone);
        if (item->saled)
            return refused(kSold);
        const int shop = item->idShop;
        const QDate today = Clock::today();
        postings::cashBook(db, ctx.clerk, shop, postings::CashSide::In, in.price, saleKind());
        const int kind = postings::kind(db, QStringLiteral("TypePrihod"), saleKind());
        postings::entry(db, QStringLiteral("Prihod"), shop, kind, ctx.clerk, in.price, contractNote(item->dogNo, item->art));
        postings::addTurnover(db, today, shop, in.price);
        if (item->payed)
            postings::addProfit(db, today, shop, in.price - item->dlvPrice, false);
        db.update(QStringLiteral("resale"),
                  {{QStringLiteral("Saled"), true},
                   {QStringLiteral("Datesale"), today},
                   {QStringLiteral("SalePrice"), money::toLeva(in.price)},
                   {QStringLiteral("ClientNames"), in.names},
                   {QStringLiteral("ClientAdres"), in.adres},
                   {QStringLiteral("ClientInfo"), optionalText(in.info)},
                   {QStringLiteral("SaleInfo"), optionalText(in.saleInfo)}},
                  QStringLiteral("Id = ?"), {in.id});
        return {Status::Done, QString(), in.id};
    });
}

Result payout(Context ctx, qint64 id, Cents amount) {
    Database& db = ctx.db;
    return transactional(db, [&]() -> Result {
        const auto item = lockedItem(db, id);
        if (!item)
            return refused(kGone);
        if (item->payed)
            return refused(QStringLiteral("Уредът вече е изплатен (вероятно от друго работно място)."));
        if (amount <= 0)
            return refused(QStringLiteral("Въведете положителна цена!"));
        if (item->saled && item->salePrice > 0 && amount > item->salePrice)
            return refused(QStringLiteral("Сумата за изплащане не може да е по-голяма от продажната цена!"));
        const int shop = item->idShop;
        const QDate today = Clock::today();
        const int kind = postings::kind(db, QStringLiteral("TypeExpense"), payoutKind());
        postings::entry(db, QStringLiteral("Expenses"), shop, kind, ctx.clerk, amount, contractNote(item->dogNo, item->art));
        postings::cashBook(db, ctx.clerk, shop, postings::CashSide::Out, item->dlvPrice, payoutKind());
        if (item->saled)
            postings::addProfit(db, today, shop, item->salePrice - item->dlvPrice, false);
        db.update(QStringLiteral("resale"),
                  {{QStringLiteral("DlvPrice"), money::toLeva(amount)},
                   {QStringLiteral("Datepay"), today},
                   {QStringLiteral("Payed"), true}},
                  QStringLiteral("Id = ?"), {id});
        return {Status::Done, QString(), id};
    });
}

Result returnItem(Context ctx, qint64 id) {
    Database& db = ctx.db;
    return transactional(db, [&]() -> Result {
        const auto item = lockedItem(db, id);
        if (!item)
            return refused(kGone);
        if (item->saled || item->payed)
            return refused(QStringLiteral("Продаден или изплатен уред не може да бъде върнат."));
        db.exec(QStringLiteral("DELETE FROM resale WHERE Id = ?"), {id});
        return {Status::Done, QString(), id};
    });
}

Result changePrices(Context ctx, qint64 id, Cents dlvPrice, Cents salePrice) {
    Database& db = ctx.db;
    return transactional(db, [&]() -> Result {
        const auto item = lockedItem(db, id);
        if (!item)
            return refused(kGone);
        if (item->saled)
            return refused(kSold);
        // Once the consignor is paid, the amount paid stays the purchase price.
        const Cents dlv = item->payed ? item->dlvPrice : dlvPrice;
        if (dlv <= 0 || salePrice < 0)
            return refused(QStringLiteral("Въведете положителна цена!"));
        db.update(QStringLiteral("resale"),
                  {{QStringLiteral("DlvPrice"), money::toLeva(dlv)}, {QStringLiteral("SalePrice"), money::toLeva(salePrice)}},
                  QStringLiteral("Id = ?"), {id});
        return {Status::Done, QString(), id};
    });
}

Result transfer(Context ctx, qint64 id, int shop) {
    Database& db = ctx.db;
    int from = 0;
    bool traced = true;
    QDateTime when;
    const Result result = transactional(db, [&]() -> Result {
        const auto item = lockedItem(db, id);
        if (!item)
            return refused(kGone);
        if (item->saled)
            return refused(kSold);
        if (shop <= 0)
            return refused(QStringLiteral("Не е избран магазин."));
        from = item->idShop;
        if (from == shop)
            return {Status::Done, QString(), id};
        db.update(QStringLiteral("resale"), {{QStringLiteral("IdShop"), shop}}, QStringLiteral("Id = ?"), {id});
        // The record of the move goes with the move: the books check reads
        // from it which appliances came into their shop by a transfer.
        traced = db.mayInsertInto(schema::moves().name);
        when = Clock::now();
        if (traced)
            db.insert(schema::moves().name, {{QStringLiteral("IdItem"), id},
                                             {QStringLiteral("FromShop"), from},
                                             {QStringLiteral("ToShop"), shop},
                                             {QStringLiteral("Date"), when.date()},
                                             {QStringLiteral("Time"), when.time()},
                                             {QStringLiteral("ClerkID"), ctx.clerk}});
        return {Status::Done, QString(), id};
    });
    if (result.ok() && !traced)
        qCWarning(lcOperations).noquote()
            << QStringLiteral("Уред №%1 е прехвърлен от магазин %2 в магазин %3 от служител %4 на %5 без запис в "
                              "таблицата %6 (липсва или потребителят на базата няма право да пише в нея).")
                   .arg(id)
                   .arg(from)
                   .arg(shop)
                   .arg(ctx.clerk)
                   .arg(when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")), schema::moves().name);
    return result;
}

Result annul(Context ctx, qint64 id) {
    Database& db = ctx.db;
    return transactional(db, [&]() -> Result {
        const auto item = lockedItem(db, id);
        if (!item)
            return refused(kGone);
        if (!item->saled)
            return refused(QStringLiteral("Продажбата на уреда вече е анулирана (вероятно от друго работно място)."));
        const int shop = item->idShop;
        const Cents price = item->salePrice;
        const Cents profit = item->salePrice - item->dlvPrice;
        const QDate saleDay = item->dateSale;
        const QVariant none;
        db.update(QStringLiteral("resale"),
                  {{QStringLiteral("Saled"), false},
                   {QStringLiteral("Datesale"), none},
                   {QStringLiteral("ClientNames"), none},
                   {QStringLiteral("ClientAdres"), none},
                   {QStringLiteral("ClientInfo"), none},
                   {QStringLiteral("SaleInfo"), none}},
                  QStringLiteral("Id = ?"), {id});
        postings::cashBook(db, ctx.clerk, shop, postings::CashSide::Out, price, annulNote());
        const int kind = postings::kind(db, QStringLiteral("TypeExpense"), payoutKind());
        postings::entry(db, QStringLiteral("Expenses"), shop, kind, ctx.clerk, price, annulExpenseNote(item->dogNo));
        // The sale day's rows take the sale back; a missing row gets the
        // correction on that same day and shop, so the totals still agree.
        if (saleDay.isValid()) {
            postings::addTurnover(db, saleDay, shop, -price);
            if (item->payed)
                postings::addProfit(db, saleDay, shop, -profit, true);
        }
        return {Status::Done, QString(), id};
    });
}

} // namespace ops
