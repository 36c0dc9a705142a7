#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

class CANParamWidget;
class QIODevice;
class OpticalFiberParamWidget;
class RouteParamWidget;

// A parameter set as one JSON document in a text file: "CANParam" (one
// object per CAN channel), "FiberParam" ("Baud" codes as hex text, "Model")
// and "Route". Moves it between the pages and the file. Warnings are
// returned as the texts the user sees; they are not translated.
class ParameterFile {
public:
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

    ParameterFile(CANParamWidget& canPage, OpticalFiberParamWidget& fiberPage, RouteParamWidget& routePage);

    QJsonDocument toDocument(int nCAN, int nFiberOptic) const;
    // The top level must already be known to hold the three members.
    void apply(const QJsonObject& object);

    // Writes UTF-8 text. Replaces the file only once the whole document is
    // written, so a failure leaves the old file as it was; only where its
    // folder takes no new file is the file written in place.
    static bool save(const QString& path, const QJsonDocument& document, QString* warning);
    // The document as a parameter file's text, onto an open device: what
    // save() puts into the file.
    static bool write(QIODevice& device, const QJsonDocument& document, QString* warning);
    // A JSON object with "CANParam", "FiberParam" and "Route", from a file of
    // at most kMaxFileSize bytes in UTF-8 or, failing that, in the system's
    // 8-bit encoding.
    static bool load(const QString& path, QJsonObject* object, QString* warning);

private:
    CANParamWidget& m_canPage;
    OpticalFiberParamWidget& m_fiberPage;
    RouteParamWidget& m_routePage;
};
