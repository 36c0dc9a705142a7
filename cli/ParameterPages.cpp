#include "ParameterPages.h"

ParameterPages::ParameterPages(const DeviceIdentity& identity)
    : m_nCAN(identity.nCAN), m_nFiberOptic(identity.nFiberOptic) {
    m_canPage.setChannalCount(m_nCAN);
    m_fiberPage.setFiberCount(m_nFiberOptic);
    m_routePage.setHardwareType(identity.hardwareType);
}

DeviceRead ParameterPages::reader(HIDDevice& device) {
    return DeviceRead(device, m_canPage, m_fiberPage, m_routePage, m_nCAN, m_nFiberOptic);
}

DeviceWrite ParameterPages::writer(HIDDevice& device) {
    return DeviceWrite(device, m_canPage, m_fiberPage, m_routePage, m_nCAN, m_nFiberOptic);
}

QJsonDocument ParameterPages::document() {
    return file().toDocument(m_nCAN, m_nFiberOptic);
}

void ParameterPages::apply(const QJsonObject& object) {
    file().apply(object);
}
