#include "portmapping.h"

#include <QSerialPortInfo>

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
            mapping.append({ number, port.location, port.description });
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
        mapping.append({ int(mapping.size()) + 1, port.location, port.description });
    return mapping;
}

QList<MappedPort> systemPortMapping()
{
    QList<ListedPort> listed;
    const auto available = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : available)
        listed.append({ info.portName(), info.systemLocation(), info.description() });
#ifdef Q_OS_WIN
    return numberByComName(listed);
#else
    return numberByFamily(listed);
#endif
}

QString mappingText(const QList<MappedPort> &mapping)
{
    if (mapping.isEmpty())
        return QStringLiteral("Последовательных портов в системе не найдено.");
    QStringList lines { QStringLiteral("Порты в системе:") };
    for (const MappedPort &port : mapping) {
        QString line = QStringLiteral("COM%1 — %2").arg(port.number).arg(port.device);
        if (!port.description.isEmpty())
            line += QStringLiteral(" (%1)").arg(port.description);
        lines.append(line);
    }
    return lines.join(u'\n');
}
