#include "tools/setup/RightsLevels.h"

#include "app/Login.h"

QList<RightsLevels::Level> RightsLevels::known() {
    return {
        {4, QStringLiteral("Администратор")},
        {3, QStringLiteral("Продажби и доставка")},
        {1, QStringLiteral("Продажби")},
        {2, QStringLiteral("Доставка (без достъп до модула)")},
        {0, QStringLiteral("Без достъп до модула")},
    };
}

bool RightsLevels::isKnown(int value) {
    for (const Level& l : known())
        if (l.value == value)
            return true;
    return false;
}

QString RightsLevels::words(int value) {
    for (const Level& l : known())
        if (l.value == value)
            return l.words;
    return QStringLiteral("Ниво %1 (от основната програма)").arg(value);
}

QString RightsLevels::access(int value, int shopId, const QString& shopName) {
    if (!login::levelGranted(value))
        return QStringLiteral("Няма достъп до модула „Уреди втора употреба“.");
    const int bound = login::filterShopFor(value, shopId);
    if (bound != 0)
        return QStringLiteral("Влиза в модула и приема и прехвърля уреди само в магазин „%1“.")
            .arg(shopName.isEmpty() ? QString::number(bound) : shopName);
    if (shopId != 0)
        return QStringLiteral("Влиза в модула и работи с всички активни магазини (това ниво не се обвързва с "
                              "магазина си).");
    return QStringLiteral("Влиза в модула и работи с всички активни магазини.");
}
