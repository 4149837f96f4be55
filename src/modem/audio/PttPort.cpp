#include "modem/audio/PttPort.h"

#include <QSerialPort>

namespace tavrel {

SerialPttPort::SerialPttPort() : m_port(std::make_unique<QSerialPort>()) {}

SerialPttPort::~SerialPttPort() {
    close();
}

bool SerialPttPort::open(const std::string& device) {
    close();
    m_port->setPortName(QString::fromStdString(device));
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_port->clearError();
        return false;
    }
    setKeyed(false, 3);
    return true;
}

void SerialPttPort::setKeyed(bool keyed, int lines) {
    if (!m_port->isOpen()) return;
    // A device without modem lines (a pseudo-terminal) refuses; nothing to key then.
    if (lines == 1 || lines == 3) m_port->setRequestToSend(keyed);
    if (lines == 2 || lines == 3) m_port->setDataTerminalReady(keyed);
    m_port->clearError();
}

void SerialPttPort::close() {
    if (!m_port->isOpen()) return;
    setKeyed(false, 3);
    m_port->close();
}

} // namespace tavrel
