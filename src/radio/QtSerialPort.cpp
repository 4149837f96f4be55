#include "radio/QtSerialPort.h"

#include "radio/PortNames.h"

#include <QSerialPort>

namespace tavrel {

namespace {

QSerialPort::Parity qtParity(char p) {
    switch (p) {
    case 'E':
        return QSerialPort::EvenParity;
    case 'O':
        return QSerialPort::OddParity;
    case 'M':
        return QSerialPort::MarkParity;
    case 'S':
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits qtStopBits(LineSettings::StopBits s) {
    switch (s) {
    case LineSettings::StopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case LineSettings::StopBits::Two:
        return QSerialPort::TwoStop;
    default:
        return QSerialPort::OneStop;
    }
}

QSerialPort::FlowControl qtFlow(int mode) {
    switch (mode) {
    case 1:
        return QSerialPort::SoftwareControl;
    case 2:
        return QSerialPort::HardwareControl;
    default:
        return QSerialPort::NoFlowControl;
    }
}

} // namespace

QtSerialPort::QtSerialPort() : m_port(std::make_unique<QSerialPort>()) {
    m_line = *parseLineSettings(m_settings);
    // The rig's echoes and answers are not used; don't let them pile up.
    QObject::connect(m_port.get(), &QSerialPort::readyRead, m_port.get(),
                     [p = m_port.get()] { p->readAll(); });
    // A USB adapter pulled out or a line hung up: report the port closed rather than writing into
    // nothing. A hung-up tty reads as end of file for ever, which Qt reports as a read error on every
    // pass of the event loop. The close comes from the event loop, so no call of ours finds the
    // device gone halfway through.
    QObject::connect(m_port.get(), &QSerialPort::errorOccurred, m_port.get(),
                     [this](QSerialPort::SerialPortError e) {
                         if (e != QSerialPort::ResourceError && e != QSerialPort::ReadError) return;
                         if (m_closePending) return;
                         m_closePending = true;
                         QMetaObject::invokeMethod(
                             m_port.get(),
                             [this] {
                                 m_closePending = false;
                                 if (m_port->isOpen()) closeDevice();
                             },
                             Qt::QueuedConnection);
                     });
}

QtSerialPort::~QtSerialPort() {
    if (m_port->isOpen()) closeDevice();
}

std::string QtSerialPort::deviceName() const {
    return resolvePortName(m_commPort);
}

bool QtSerialPort::setCommPort(const std::string& port) {
    if (m_port->isOpen() || !isPortItem(port)) return false;
    m_commPort = port;
    return true;
}

bool QtSerialPort::setSettings(const std::string& text) {
    const auto line = parseLineSettings(text);
    if (!line) return false;
    if (m_port->isOpen()) {
        if (!applyLine(*line)) {
            applyLine(m_line);
            holdLines();
            return false;
        }
        holdLines();
    }
    m_settings = text;
    m_line = *line;
    return true;
}

bool QtSerialPort::setHandshaking(int mode) {
    if (mode < 0 || mode > 2) return false;
    if (m_port->isOpen()) {
        if (!applyHandshaking(mode)) {
            applyHandshaking(m_handshaking);
            holdLines();
            return false;
        }
        m_handshaking = mode;
        if (mode == 2) m_rts = false; // the driver owns RTS now
        holdLines();
        return true;
    }
    m_handshaking = mode;
    return true;
}

bool QtSerialPort::setPortOpen(bool open) {
    if (!open) {
        if (m_port->isOpen()) closeDevice();
        return true;
    }
    if (m_port->isOpen()) return false;
    const std::string device = deviceName();
    if (device.empty()) return false;
    m_port->setPortName(QString::fromStdString(device));
    // Before open() these only store the values for open() to use.
    applyLine(m_line);
    applyHandshaking(m_handshaking);
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_port->clearError();
        return false;
    }
    m_rts = false;
    m_dtr = false;
    holdLines(); // no-mutate: held again below or dropped on close; this only shortens the raised moment
    // open() does not check that the device took the settings; set on an open port they are read
    // back, so a device that cannot take them (a pseudo-terminal has no parity) is found here.
    if (!applyLine(m_line) || !applyHandshaking(m_handshaking)) {
        closeDevice();
        return false;
    }
    holdLines();
    return true;
}

bool QtSerialPort::portOpen() const {
    return m_port->isOpen();
}

bool QtSerialPort::output(const std::string& bytes) {
    if (!m_port->isOpen()) return false;
    const qint64 n = m_port->write(bytes.data(), static_cast<qint64>(bytes.size()));
    m_port->flush(); // out now; whatever the driver cannot take yet follows from the event loop
    return n == static_cast<qint64>(bytes.size());
}

bool QtSerialPort::setRTSEnable(bool on) {
    if (!m_port->isOpen() || m_handshaking == 2) return false;
    if (!m_port->setRequestToSend(on)) {
        // A pseudo-terminal or an adapter without modem lines: nothing to key.
        m_port->clearError();
        return false;
    }
    m_rts = on;
    return true;
}

bool QtSerialPort::setDTREnable(bool on) {
    if (!m_port->isOpen()) return false;
    if (!m_port->setDataTerminalReady(on)) {
        m_port->clearError();
        return false;
    }
    m_dtr = on;
    return true;
}

bool QtSerialPort::applyLine(const LineSettings& line) {
    // Linux ttys have no 1.5 stop bits; QSerialPort would quietly use one.
    if (line.stopBits == LineSettings::StopBits::OneAndHalf) return false;
    return m_port->setBaudRate(line.baud) &&
           m_port->setDataBits(static_cast<QSerialPort::DataBits>(line.dataBits)) &&
           m_port->setParity(qtParity(line.parity)) && m_port->setStopBits(qtStopBits(line.stopBits));
}

bool QtSerialPort::applyHandshaking(int mode) {
    return m_port->setFlowControl(qtFlow(mode));
}

// RTS and DTR stay where the program last put them. The kernel raises both when a tty opens and
// some drivers do again on a change of line settings, so this runs after each of those.
void QtSerialPort::holdLines() {
    m_port->setDataTerminalReady(m_dtr);
    if (m_handshaking != 2) m_port->setRequestToSend(m_rts);
    m_port->clearError();
}

// Lines down before the device goes: without HUPCL a tty keeps them as they were after close.
void QtSerialPort::closeDevice() {
    const QSignalBlocker quiet(m_port.get()); // a device already gone reports errors here
    m_rts = false;
    m_dtr = false;
    m_port->setDataTerminalReady(false);
    if (m_handshaking != 2) m_port->setRequestToSend(false);
    m_port->clearError();
    m_port->close();
}

} // namespace tavrel
