#include "serial/portmapping.h"

#include "text/literaltext.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <tuple>

namespace {

// A device name split into its family and its number: ttyUSB12 is (ttyUSB, 12).
struct NameKey
{
    int rank;
    QString family;
    qint64 number;
    QString name;

    auto tie() const { return std::tie(rank, family, number, name); }
};

NameKey nameKey(const QString &name)
{
    qsizetype digitsFrom = name.size();
    while (digitsFrom > 0 && name.at(digitsFrom - 1) >= u'0' && name.at(digitsFrom - 1) <= u'9')
        --digitsFrom;
    const QString family = name.left(digitsFrom);
    const QStringView digits = QStringView(name).mid(digitsFrom).left(15);
    bool ok = false;
    const qint64 number = digits.toLongLong(&ok);
    static const QString ranked[]
        = { QStringLiteral("ttyS"), QStringLiteral("ttyUSB"), QStringLiteral("ttyACM") };
    const auto found = std::find(std::begin(ranked), std::end(ranked), family);
    return { int(found - std::begin(ranked)), family, ok ? number : -1, name };
}

} // namespace

QList<MappedPort> numberByComName(const QList<ListedPort> &listed)
{
    QList<MappedPort> mapping;
    for (const ListedPort &port : listed) {
        if (!port.name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const int number = QStringView(port.name).mid(3).toInt(&ok);
        if (ok && number > 0)
            mapping.append({ number, port.location, port.description, port.identity });
    }
    std::stable_sort(mapping.begin(), mapping.end(),
        [](const MappedPort &a, const MappedPort &b) { return a.number < b.number; });
    return mapping;
}

QList<MappedPort> numberByFamily(QList<ListedPort> listed)
{
    std::stable_sort(listed.begin(), listed.end(), [](const ListedPort &a, const ListedPort &b) {
        return nameKey(a.name).tie() < nameKey(b.name).tie();
    });
    QList<MappedPort> mapping;
    for (const ListedPort &port : listed)
        mapping.append({ int(mapping.size()) + 1, port.location, port.description, port.identity });
    return mapping;
}

QString stableName(const QString &device, const QString &directory)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return {};
    QDirIterator links(directory, QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    while (links.hasNext()) {
        const QString link = links.next();
        if (QFileInfo(link).canonicalFilePath() == target)
            return link;
    }
    return {};
}

QString mappingText(const QList<MappedPort> &mapping)
{
    static const QString Indent(4, u' ');
    if (mapping.isEmpty())
        return QStringLiteral("Последовательных портов в системе не найдено.");
    QStringList lines { QStringLiteral("Порты в системе:") };
    for (const MappedPort &port : mapping) {
        QString line = QStringLiteral("COM") + QString::number(port.number) + QStringLiteral(" — ")
            + literalText(port.device);
        if (!port.description.isEmpty())
            line += QStringLiteral(" (") + literalText(port.description) + u')';
        lines.append(line);
        // Two adapters of one kind differ only here.
        const PortIdentity &id = port.identity;
        QStringList details;
        if (!id.manufacturer.isEmpty())
            details.append(literalText(id.manufacturer));
        if (id.vendorId >= 0 && id.productId >= 0)
            details.append(QStringLiteral("VID:PID %1:%2")
                               .arg(id.vendorId, 4, 16, QLatin1Char('0'))
                               .arg(id.productId, 4, 16, QLatin1Char('0')));
        if (!id.serialNumber.isEmpty())
            details.append(QStringLiteral("серийный номер ") + literalText(id.serialNumber));
        if (!details.isEmpty())
            lines.append(Indent + details.join(QLatin1String(", ")));
        if (!id.stableName.isEmpty())
            lines.append(Indent + literalText(id.stableName));
    }
    return lines.join(u'\n');
}
