#pragma once

#include <QList>
#include <QString>

// The clerks' rights levels (CLERKS.Prefs) in words, and what each gives in
// this program. The values are the suite's: 1 sales, 3 sales and delivery,
// 4 all rights; 0 and 2 have no access to this program.
class RightsLevels {
public:
    struct Level {
        int value;
        QString words;
    };

    static constexpr int kFullRights = 4;

    // The levels the program knows, highest first.
    static QList<Level> known();
    static bool isKnown(int value);
    // Words for a level; a level the program does not know is named by its number.
    static QString words(int value);
    static bool isFullRights(int value) { return value == kFullRights; }

    // What the login gives a clerk of this level with this own shop (0:
    // none), in words: refused, bound to the shop, or all active shops.
    static QString access(int value, int shopId, const QString& shopName);
};
