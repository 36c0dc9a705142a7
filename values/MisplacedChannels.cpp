#include "MisplacedChannels.h"

#include <QJsonArray>
#include <cmath>

#include "ParameterKeys.h"

namespace MisplacedChannels {

QVector<Misplaced> find(const QJsonObject& file) {
    QVector<Misplaced> found;
    const QJsonArray elements = file.value(ParameterKeys::CanParam).toArray();
    for (int i = 0; i < elements.size(); ++i) {
        const QJsonValue id = elements.at(i).toObject().value(ParameterKeys::ChannalId);
        const double number = id.toDouble();
        // What is no channel number at all is refused or left out elsewhere.
        if (!id.isDouble() || number != std::floor(number) || number == double(i + 1)) continue;
        found.append({i, QString::number(number, 'f', 0)});
    }
    return found;
}

}  // namespace MisplacedChannels
