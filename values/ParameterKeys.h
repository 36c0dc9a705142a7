#pragma once

#include <QString>

// The keys of the parameter file, spelled as the files in use spell them.
namespace ParameterKeys {

inline const QString CanParam = QString::fromLatin1("CANParam");
inline const QString ChannalId = QString::fromLatin1("ChannalID");
inline const QString BaudRate = QString::fromLatin1("BaudRate");
inline const QString DataList = QString::fromLatin1("DataList");
inline const QString FiberParam = QString::fromLatin1("FiberParam");
inline const QString Baud = QString::fromLatin1("Baud");
inline const QString Model = QString::fromLatin1("Model");
inline const QString Route = QString::fromLatin1("Route");

}  // namespace ParameterKeys
