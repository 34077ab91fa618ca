// The item commands: intake, sale, payout, return, price change, transfer,
// annulment and the reprint of the consignment contract.
#include "register/TfrmResale.h"

void TfrmResale::mnGetClick() {}
void TfrmResale::mnSaleClick() {}
void TfrmResale::mnPayClick() {}
void TfrmResale::mnBackClick() {}
void TfrmResale::mnPricesClick() {}
void TfrmResale::mnMoveClick() {}
void TfrmResale::mnAnulClick() {}
void TfrmResale::mnPrintClick() {}
void TfrmResale::createDialogs() { createRegisterDialogs(); }
