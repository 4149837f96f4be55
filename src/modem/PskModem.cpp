#include "modem/PskModem.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QAudioSource>
#include <QMediaDevices>
#include <QWidget>
#include <algorithm>

namespace tavrel {

PskModem::PskModem(QObject* parent) : Modem(parent) {
    m_statusTimer.setInterval(kStatusIntervalMs);
    m_statusTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_statusTimer, &QTimer::timeout, this, &PskModem::tick);
}

PskModem::~PskModem() {
    if (m_display && !m_display->parent()) delete m_display;
}

void PskModem::setRxFreq(int hz) { m_rxFreq = std::clamp(hz, 200, 3500); }
void PskModem::setTxFreq(int hz) { m_txFreq = std::clamp(hz, 200, 3500); }

void PskModem::SendText(const std::string& text) { m_queue += text; }

void PskModem::StartTx(int mode) {
    // Keying again while already transmitting changes nothing, and keeps a pending EndTx.
    if (m_txState == 1) return;
    (void)mode;
    m_endPending = false;
    setTxState(1);
}

void PskModem::EndTx() {
    if (m_txState == 0) return;
    m_endPending = true;
}

void PskModem::AbortTx() {
    m_queue.clear();
    m_endPending = false;
    setTxState(0);
}

void PskModem::SetPttPort(int port, int line) {
    m_pttPort = port;
    m_pttLine = line;
}

void PskModem::SetDisplayRange(int lowHz, int highHz) {
    m_rangeLow = lowHz;
    m_rangeHigh = highHz;
}

void PskModem::LoadPalette(const std::string& path) { m_palettePath = path; }

void PskModem::StartModem(int device, int option) {
    (void)device;
    (void)option;
    // Start-up runs again on every settings re-apply; the sound path stays as it is.
    if (m_started) return;
    m_started = true;
    openAudio();
    m_statusTimer.start();
    QTimer::singleShot(0, this, &PskModem::tick); // the first report comes at once
}

void PskModem::openAudio() {
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    const QAudioDevice in = QMediaDevices::defaultAudioInput();
    const QAudioDevice out = QMediaDevices::defaultAudioOutput();
    if (in.isNull() || out.isNull() || !in.isFormatSupported(format)) {
        m_nullSource = true;
        return;
    }
    m_source = std::make_unique<QAudioSource>(in, format);
    m_sink = std::make_unique<QAudioSink>(out, format);
    m_input = m_source->start();
    m_nullSource = (m_input == nullptr);
}

void PskModem::Replay(int seconds) { (void)seconds; }

QWidget* PskModem::displayWidget() {
    if (!m_display) {
        m_display = new QWidget();
        QPalette p = m_display->palette();
        p.setColor(QPalette::Window, Qt::black);
        m_display->setPalette(p);
        m_display->setAutoFillBackground(true);
    }
    return m_display;
}

void PskModem::setTxState(int state) {
    if (state == m_txState) return;
    m_txState = state;
    emit TxStateChg(state);
}

void PskModem::tick() {
    if (m_input) m_input->readAll(); // the receiver joins here
    if (m_txState == 1 && m_endPending && m_queue.empty()) {
        m_endPending = false;
        setTxState(0);
    }
    emit StatusRdy(m_rxFreq, 0);
}

} // namespace tavrel
