#include "tools/setup/SaveOutcome.h"

QString SaveOutcome::notice() const {
    if (!changedMeanwhile())
        return {};
    QStringList parts{QStringLiteral("Докато редактирахте, този запис беше променен от друго работно място.")};
    if (!keptTheirs.isEmpty())
        parts << QStringLiteral("Запазени са неговите промени в: %1.").arg(keptTheirs.join(QStringLiteral(", ")));
    if (!replacedTheirs.isEmpty())
        parts << QStringLiteral("Вашите стойности замениха неговите в: %1.")
                     .arg(replacedTheirs.join(QStringLiteral(", ")));
    parts << QStringLiteral("Вижте записа, както е сега.");
    return parts.join(QLatin1Char(' '));
}
