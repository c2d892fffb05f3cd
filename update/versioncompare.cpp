// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/versioncompare.h"

#include <QStringList>

namespace {

// The part's decimal digits without leading zeros; empty for zero and for anything that is not a number.
QString numericPart(const QString& part)
{
    const QString digits = part.trimmed();
    if (digits.isEmpty())
        return QString();
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return QString();
    }
    qsizetype first = 0;
    while (first < digits.size() && digits.at(first) == QLatin1Char('0'))
        ++first;
    return digits.mid(first);
}

// Compares two digit strings without leading zeros by value.
int compareNumbers(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

} // namespace

int compareVersions(const QString& a, const QString& b)
{
    const QStringList partsA = a.trimmed().split(QLatin1Char('.'));
    const QStringList partsB = b.trimmed().split(QLatin1Char('.'));
    const qsizetype count = qMax(partsA.size(), partsB.size());
    for (qsizetype i = 0; i < count; ++i) {
        const QString numberA = i < partsA.size() ? numericPart(partsA.at(i)) : QString();
        const QString numberB = i < partsB.size() ? numericPart(partsB.at(i)) : QString();
        if (const int order = compareNumbers(numberA, numberB); order != 0)
            return order;
    }
    return 0;
}

bool isNewerVersion(const QString& candidate, const QString& current)
{
    return compareVersions(candidate, current) > 0;
}
