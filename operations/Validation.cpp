#include "operations/Validation.h"

namespace validation {

QString trimmed(const QString& s) {
    int b = 0, e = s.size();
    auto blank = [](QChar c) { return c.isSpace() || c.category() == QChar::Other_Control || c.unicode() < 0x20; };
    while (b < e && blank(s.at(b)))
        ++b;
    while (e > b && blank(s.at(e - 1)))
        --e;
    return s.mid(b, e - b);
}

std::optional<IntakeRefusal> checkIntake(const IntakeFields& f, bool duplicateNumber) {
    if (f.dogNo <= 0)
        return IntakeRefusal{IntakeField::DogNo, QStringLiteral("Въведете коректен номер на договора")};
    if (duplicateNumber)
        return IntakeRefusal{IntakeField::DogNo, QStringLiteral("Такъв номер на договор вече съществува")};
    if (trimmed(f.art).isEmpty())
        return IntakeRefusal{IntakeField::Art, QStringLiteral("Въведете уред")};
    if (f.dlvPrice <= 0)
        return IntakeRefusal{IntakeField::DlvPrice, QStringLiteral("Въведете коректна изкупна цена")};
    if (f.salePrice <= f.dlvPrice)
        return IntakeRefusal{IntakeField::SalePrice, QStringLiteral("Въведете по-голяма цена от изкупната")};
    if (trimmed(f.names).isEmpty())
        return IntakeRefusal{IntakeField::Names, QStringLiteral("Въведете имената на продавача")};
    if (trimmed(f.adres).isEmpty())
        return IntakeRefusal{IntakeField::Adres, QStringLiteral("Въведете адреса на продавача")};
    if (f.egn.isEmpty() || f.egn.size() != 10)
        return IntakeRefusal{IntakeField::Egn, QStringLiteral("Въведете коректен ЕГН на продавача")};
    return std::nullopt;
}

std::optional<SaleRefusal> checkSalePrice(Cents price) {
    if (price < 0)
        return SaleRefusal{SaleField::Price, QStringLiteral("Не може да въвеждате отрицателна цена!")};
    return std::nullopt;
}

bool salePriceBelowPayout(Cents price, Cents dlvPrice) { return price < dlvPrice; }

QString belowPayoutQuestion() {
    return QStringLiteral("Въвели сте цена, по-ниска от цената за изплащане по договора!\n"
                          "Желаете ли да продължите с продажбата?");
}

std::optional<SaleRefusal> checkBuyer(const QString& names, const QString& adres) {
    if (trimmed(names).isEmpty())
        return SaleRefusal{SaleField::Names, QStringLiteral("Въведете имената на клиента!")};
    if (trimmed(adres).isEmpty())
        return SaleRefusal{SaleField::Adres, QStringLiteral("Въведете адреса на клиента!")};
    return std::nullopt;
}

PriceVerdict checkPrices(Cents dlvPrice, Cents salePrice, bool payed) {
    if (dlvPrice <= 0)
        return PriceVerdict::NotPositive;
    if (salePrice < 0)
        return PriceVerdict::SaleNegative;
    if (dlvPrice < salePrice)
        return PriceVerdict::Ok;
    return payed ? PriceVerdict::AskBelow : PriceVerdict::SaleNotAbove;
}

bool payoutAmountOk(Cents amount) { return amount > 0; }

} // namespace validation
