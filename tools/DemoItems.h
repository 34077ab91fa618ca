#pragma once

class Database;

namespace suite {

// Appliances in every state, moved through their life by the program's own
// operations so that the ledgers agree with the items. Returns how many.
int fillDemoItems(Database& db);

} // namespace suite
