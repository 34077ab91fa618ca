#include "register/CommandAvailability.h"

CommandAvailability CommandAvailability::forRow(bool hasRows, bool saled, bool payed) {
    CommandAvailability a;
    if (!hasRows)
        return a;
    a = {true, true, true, true, true, true};
    if (payed) {
        a.pay = false;
        a.back = false;
    }
    if (saled) {
        a.sale = false;
        a.back = false;
        a.prices = false;
        a.move = false;
    } else {
        a.anul = false;
    }
    return a;
}
