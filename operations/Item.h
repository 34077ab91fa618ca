#pragma once

#include "core/Money.h"

#include <QDate>
#include <QString>
#include <optional>

class Database;

// One appliance under one consignment contract, as the item table holds it.
struct Item {
    qint64 id = -1;
    QString dlvNames, dlvAdres, dlvLK, dlvEGN;
    QString art, artNote, serial;
    int dogNo = 0;
    bool payed = false;
    bool saled = false;
    QDate dateGet, datePay, dateSale;
    QString saleInfo, clientNames, clientAdres, clientInfo;
    money::Cents salePrice = 0;
    money::Cents dlvPrice = 0;
    int idShop = 0;
    QString shop; // the shop's name cut to 20 characters; empty for an unknown shop

    // Reads the item with this id; nullopt when it is gone. Throws DbError.
    static std::optional<Item> load(Database& db, qint64 id);
};

// A shop's name as the register and the contracts show it.
QString shopDisplayName(const QString& name);
