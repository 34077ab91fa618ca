#include "tools/DemoItems.h"

#include "db/Database.h"
#include "operations/Clock.h"
#include "operations/Operations.h"

#include <QRandomGenerator>

namespace suite {

namespace {

struct Appliance {
    const char* art;
    const char* note;
    const char* serial;
    int dlv; // leva
};

const Appliance kAppliances[] = {
    {"Пералня Bosch WAN28261BY", "без маркуч за източване", "WAN2826-55123", 280},
    {"Хладилник Liebherr CNef 4813", "драскотина отстрани", "LB48130098", 420},
    {"Микровълнова фурна Samsung MS23K3513", "", "MS23K-7781", 65},
    {"Прахосмукачка Philips FC9332", "с 2 приставки", "FC9332-0012", 70},
    {"Телевизор LG 43UN7300", "с дистанционно", "LG43UN-55012", 310},
    {"Съдомиялна Whirlpool WFC 3C26", "", "WFC3C26-911", 260},
    {"Бойлер Елдом 80 л", "демонтиран, без анод", "", 120},
    {"Кафемашина DeLonghi Magnifica S", "почистена, с кана", "DL-ECAM-22110", 210},
    {"Климатик Daikin FTXM35R", "без външно тяло", "DK35R-0403", 350},
    {"Готварска печка Gorenje EC5351", "стъклокерамичен плот", "GEC5351-88", 240},
    {"Сешоар Remington AC9140", "", "", 25},
    {"Фурна за вграждане Electrolux", "липсва една скара", "EOB3400", 190},
    {"Миксер Tefal HT4101", "", "HT41-22", 20},
    {"Ютия Rowenta DW5080", "", "DW5080-3", 35},
};

const char* kConsignors[][4] = {
    {"Иван Петров Иванов", "София, ж.к. Люлин 5, бл. 512", "7501124567", "645123987"},
    {"Мария Георгиева Стоянова", "София, ул. Пиротска 18", "8203154321", "612345678"},
    {"Георги Димитров Колев", "Пловдив, бул. Марица 44", "6912017788", "609876543"},
    {"Елена Николова Маринова", "Варна, ул. Драган Цанков 7", "9105226633", "633221100"},
    {"Петър Стефанов Христов", "София, ж.к. Надежда 2, бл. 210", "7808083344", ""},
};

const char* kBuyers[][3] = {
    {"Николай Тодоров Ангелов", "София, ул. Шипка 31", "тел. 0888 123 456"},
    {"Десислава Илиева Петкова", "София, ж.к. Младост 3, бл. 301", "тел. 0899 765 432"},
    {"Стоян Колев Стоянов", "Пловдив, ул. Капитан Райчо 12", ""},
};

} // namespace

int fillDemoItems(Database& db) {
    const ops::Context ctx{db, 1};
    const QList<ops::Shop> shops = ops::offeredShops(db, 0);
    if (shops.isEmpty())
        return 0;
    const QDateTime realNow = QDateTime::currentDateTime();
    int count = 0;
    int n = 0;
    // Each appliance lives a few days: taken in, then sold, paid, annulled,
    // returned or moved on later days, as a shop's weeks go.
    for (int day = 40; day >= 0; day -= 3) {
        for (const ops::Shop& shop : shops) {
            const Appliance& a = kAppliances[n % std::size(kAppliances)];
            const auto* c = kConsignors[n % std::size(kConsignors)];
            const auto* b = kBuyers[n % std::size(kBuyers)];
            const int fate = n % 9;
            ++n;
            Clock::set(realNow.addDays(-day).addSecs(-3600 * (n % 5)));
            ops::IntakeInput in;
            in.shop = shop.id;
            in.dogNo = ops::proposeContractNumber(db, shop.id);
            in.art = QString::fromUtf8(a.art);
            in.artNote = QString::fromUtf8(a.note);
            in.serial = QString::fromUtf8(a.serial);
            in.dlvPrice = money::Cents(a.dlv) * 100;
            in.salePrice = in.dlvPrice + in.dlvPrice / 5 + 1000;
            in.payNow = fate == 1;
            in.names = QString::fromUtf8(c[0]);
            in.adres = QString::fromUtf8(c[1]);
            in.egn = QString::fromUtf8(c[2]);
            in.lk = QString::fromUtf8(c[3]);
            const ops::Result r = ops::intake(ctx, in);
            if (!r.ok())
                continue;
            ++count;
            const qint64 id = r.id;
            auto later = [&](int days) { Clock::set(realNow.addDays(-qMax(0, day - days))); };
            const ops::SaleInput sale{id, in.salePrice, QString::fromUtf8(b[0]), QString::fromUtf8(b[1]),
                                      QString::fromUtf8(b[2]), QString()};
            switch (fate) {
            case 0: // in stock, consignor not paid
                break;
            case 1: // paid at intake, later sold
                if (day > 10) {
                    later(2);
                    ops::sale(ctx, sale);
                }
                break;
            case 2: // sold, not yet paid
                later(1);
                ops::sale(ctx, sale);
                break;
            case 3: // sold, then paid
                later(1);
                ops::sale(ctx, sale);
                later(3);
                ops::payout(ctx, id, in.dlvPrice);
                break;
            case 4: // paid before the sale, still in stock
                later(1);
                ops::payout(ctx, id, in.dlvPrice - 500);
                break;
            case 5: // sold, annulled, in stock again
                later(1);
                ops::sale(ctx, sale);
                later(2);
                ops::annul(ctx, id);
                break;
            case 6: // returned to the consignor
                later(2);
                ops::returnItem(ctx, id);
                --count;
                break;
            case 7: // price lowered, moved to another shop
                later(1);
                ops::changePrices(ctx, id, in.dlvPrice - 1000, in.salePrice - 1500);
                ops::transfer(ctx, id, shops.at((n + 1) % shops.size()).id);
                break;
            case 8: // sold with a note
                later(0);
                ops::sale(ctx, {id, in.salePrice - 500, sale.names, sale.adres, sale.info, QStringLiteral("гаранция 1 месец от магазина")});
                break;
            }
        }
    }
    Clock::set({});
    return count;
}

} // namespace suite
