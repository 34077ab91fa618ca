#pragma once

#include "documents/SaleContract.h"

#include <QDate>

// One sale's values for the contract tests.
inline SaleContractValues sampleSaleValues() {
    SaleContractValues v;
    v.date = QDate(2026, 5, 14);
    v.firmName = QStringLiteral("Орвел ООД");
    v.firmAddress = QStringLiteral("Пловдив, бул. Марица 5");
    v.mol = QStringLiteral("Мария Георгиева");
    v.ndr = QStringLiteral("1234567890");
    v.bulstat = QStringLiteral("115999888");
    v.shop = QStringLiteral("Магазин Център");
    v.clientName = QStringLiteral("Петър Стоянов");
    v.clientAddress = QStringLiteral("Варна, ул. Шипка 3");
    v.clientInfo = QStringLiteral("тел. 0888 123 456");
    v.unitName = QStringLiteral("Пералня Bosch");
    v.unitSerial = QStringLiteral("WM-88");
    v.unitOpis = QStringLiteral("5 кг, бяла");
    v.more = QStringLiteral("Без гаранция за барабана");
    v.price = QStringLiteral("320.00");
    v.salePrice = 320;
    v.salorName = QStringLiteral("Иван Иванов");
    v.salorAddress = QStringLiteral("София, ул. Раковски 12");
    v.salorEgn = QStringLiteral("7501011234");
    v.salorLk = QStringLiteral("645123987");
    v.dogovor = 4711;
    return v;
}
