#pragma once

#include "core/Money.h"

#include <QString>
#include <optional>

// The checks the operations' dialogs make, in their fixed order, kept apart
// from the windows. Each returns the first failing check: which field and
// the message for the clerk.
namespace validation {

using money::Cents;

// Leading and trailing blanks and control characters removed.
QString trimmed(const QString& s);

enum class IntakeField { DogNo, Art, DlvPrice, SalePrice, Names, Adres, Egn };
struct IntakeRefusal {
    IntakeField field;
    QString message;
};
struct IntakeFields {
    int dogNo = 0;
    QString art; // trimmed before the check
    Cents dlvPrice = 0;
    Cents salePrice = 0;
    QString names, adres, egn;
};
// Everything but the duplicate number (which needs the database).
std::optional<IntakeRefusal> checkIntake(const IntakeFields& f, bool duplicateNumber);

enum class SaleField { Price, Names, Adres };
struct SaleRefusal {
    SaleField field;
    QString message;
};
// Negative price, then (after the below-payout question) names and address.
std::optional<SaleRefusal> checkSalePrice(Cents price);
bool salePriceBelowPayout(Cents price, Cents dlvPrice);
QString belowPayoutQuestion();
std::optional<SaleRefusal> checkBuyer(const QString& names, const QString& adres);

// Price change: positive purchase price; a sale price not below 0; the sale
// price above the purchase price (unpaid), or a question (paid).
enum class PriceVerdict { Ok, NotPositive, SaleNegative, SaleNotAbove, AskBelow };
PriceVerdict checkPrices(Cents dlvPrice, Cents salePrice, bool payed);

// Payout amount: above 0; for a sold item at most its sale price.
bool payoutAmountOk(Cents amount);

} // namespace validation
