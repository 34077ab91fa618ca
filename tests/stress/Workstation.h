#pragma once

#include <QString>

// One workstation of the stress run, as its own process: opens the shop
// database as the program does (the suite's settings), logs in as the given
// clerk and runs random operations on appliances that every workstation
// touches. Each operation is written to the journal before it starts
// ("begin <op>") and when it ends ("done|refused|error <op> <id> ..."),
// conflicts met on the way as "conflict <kind>".
namespace workstation {

struct Plan {
    int clerk = 1;
    int operations = 100;
    quint32 seed = 1;
    QString journal;
};

// Runs the plan; the exit code for the process (0: ran to the end).
int run(const Plan& plan);

// Opens the database as the program does, moves one item to the shop as the
// clerk, writes "committed" (or the refusal) on standard output and then
// waits, at most a minute, to be killed before it can do anything more.
int transferAndWait(qint64 id, int shop, int clerk);

} // namespace workstation
