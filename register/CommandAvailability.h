#pragma once

// Which of the six item commands the register's current row allows.
struct CommandAvailability {
    bool sale = false;
    bool pay = false;
    bool back = false;
    bool prices = false;
    bool move = false;
    bool anul = false;

    // No rows: all off. Otherwise all on, then a paid item loses payout and
    // return, a sold one sale, return, price change and transfer, and an
    // unsold one the annulment.
    static CommandAvailability forRow(bool hasRows, bool saled, bool payed);
    bool operator==(const CommandAvailability&) const = default;
};
