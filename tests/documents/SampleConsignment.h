#pragma once

#include "documents/ConsignmentContract.h"

#include <QDate>

// One intake's values for the consignment contract tests.
inline ConsignmentContractData sampleConsignment(int dogNo, QDate dateGet, double salePrice = 150) {
    ConsignmentContractData d;
    d.dogNo = dogNo;
    d.dateGet = dateGet;
    d.dlvNames = QStringLiteral("Иван Петров Иванов");
    d.dlvAdres = QStringLiteral("София, ул. Раковски 12");
    d.dlvEGN = QStringLiteral("7501011234");
    d.dlvLK = QStringLiteral("645123987");
    d.art = QStringLiteral("Хладилник Gorenje");
    d.serial = QStringLiteral("GR-2231");
    d.artNote = QStringLiteral("Леко одраскан отстрани");
    d.shopName = QStringLiteral("Магазин Център");
    d.salePrice = salePrice;
    d.firm = {QStringLiteral("Орвел ООД"), QStringLiteral("Пловдив, бул. Марица 5"), QStringLiteral("Мария Георгиева"),
              QStringLiteral("1234567890"), QStringLiteral("115999888")};
    return d;
}
