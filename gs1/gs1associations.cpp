#include "gs1/gs1associations.h"

#include <utility>

namespace Gs1 {
namespace {

// Calls f for each part of text between separators.
template<typename F>
void forEachPart(QLatin1StringView text, char separator, F f)
{
    qsizetype from = 0;
    while (from <= text.size()) {
        qsizetype to = text.indexOf(QLatin1Char(separator), from);
        if (to < 0)
            to = text.size();
        if (to > from)
            f(text.sliced(from, to - from));
        from = to + 1;
    }
}

bool present(const QList<AiValue> &elements, QLatin1StringView pattern)
{
    for (const AiValue &e : elements) {
        if (matchesPattern(e.ai, pattern))
            return true;
    }
    return false;
}

bool repeatsEarlier(const QList<AiValue> &elements, int j)
{
    for (int k = 0; k < j; ++k) {
        if (elements[k].ai == elements[j].ai)
            return true;
    }
    return false;
}

} // namespace

QList<AssociationFault> checkAssociations(const QList<AiValue> &elements)
{
    QList<AssociationFault> faults;
    QList<std::pair<int, int>> excludedPairs;
    for (int i = 0; i < elements.size(); ++i) {
        bool firstOfItsAi = true;
        for (int j = 0; j < i; ++j) {
            if (elements[j].ai != elements[i].ai)
                continue;
            if (firstOfItsAi && elements[j].value != elements[i].value)
                faults.append({ AssociationFault::Kind::Repeated, i, j, {} });
            firstOfItsAi = false;
        }
        const AiEntry *entry = find(elements[i].ai);
        if (!entry || !firstOfItsAi)
            continue;
        // Each req= group: one of its alternatives, all AIs of an alternative
        // ("01+21") present.
        forEachPart(QLatin1StringView(entry->req), ' ', [&](QLatin1StringView group) {
            bool met = false;
            forEachPart(group, ',', [&](QLatin1StringView alternative) {
                bool all = true;
                forEachPart(alternative, '+', [&](QLatin1StringView ai) { all = all && present(elements, ai); });
                met = met || all;
            });
            if (!met)
                faults.append({ AssociationFault::Kind::Missing, i, -1, group });
        });
        // An AI is not exclusive of itself even if it matches a pattern.
        forEachPart(QLatin1StringView(entry->ex), ',', [&](QLatin1StringView pattern) {
            for (int j = 0; j < elements.size(); ++j) {
                if (elements[j].ai == elements[i].ai || !matchesPattern(elements[j].ai, pattern)
                    || repeatsEarlier(elements, j))
                    continue;
                const std::pair<int, int> pair { std::min(i, j), std::max(i, j) };
                if (excludedPairs.contains(pair))
                    continue;
                excludedPairs.append(pair);
                faults.append({ AssociationFault::Kind::Excluded, i, j, pattern });
            }
        });
    }
    return faults;
}

} // namespace Gs1
