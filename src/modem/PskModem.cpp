#include "modem/PskModem.h"

#include "modem/SoundChoice.h"
#include "modem/audio/BandWorker.h"
#include "modem/audio/ModemEngine.h"
#include "modem/audio/PttPort.h"
#include "modem/display/ModemDisplay.h"
#include "modem/psk31/Psk31.h"
#include "radio/PortNames.h"

#include <algorithm>

namespace tavrel {

using K = EngineCommand::Kind;

PskModem::PskModem(QObject* parent) : PskModem(Options{}, parent) {}

PskModem::PskModem(Options options, QObject* parent)
    : Modem(parent), m_options(std::move(options)), m_palette(builtInPalette()) {
    if (!m_options.pttFactory) m_options.pttFactory = [] { return std::make_unique<SerialPttPort>(); };
    m_band = std::make_unique<BandWorker>([this](std::vector<HeardSignal> heard) {
        QMetaObject::invokeMethod(
            this, [this, heard = std::move(heard)] { emit BandRdy(heard); }, Qt::QueuedConnection);
    });
    makeEngine(std::move(m_options.nullSourceInput));
    // (An engine made after the sound system hung runs on silence: it feeds the browser nothing.)
    if (m_options.bandDecoder) m_engine->setBandWorker(m_band.get());
    m_statusTimer.setInterval(kStatusIntervalMs);
    m_statusTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_statusTimer, &QTimer::timeout, this, &PskModem::tick);
}

void PskModem::makeEngine(std::vector<float> nullInput) {
    m_engine = std::make_unique<ModemEngine>(EngineSetup{m_options.nullSourcePace, std::move(nullInput)});
    m_thread = new QThread();
    m_thread->setObjectName(QStringLiteral("modem audio"));
    m_engine->moveToThread(m_thread);
    ModemEngine* e = m_engine.get();
    connect(e, &ModemEngine::airChars, this, &PskModem::onAirChars);
    connect(e, &ModemEngine::received, this, [this](const QByteArray& codes) {
        for (char c : codes)
            emit RxCharRdy(static_cast<unsigned char>(c), 0);
    });
    connect(e, &ModemEngine::overFinished, this, &PskModem::onOverFinished);
    connect(e, &ModemEngine::imdReading, this, [this](int db) { emit IMDRdy(db, 0); });
    connect(e, &ModemEngine::audioMessage, this, &PskModem::onAudioMessage);
    // Each drawn item is acknowledged, which is what limits how many the engine sends.
    connect(e, &ModemEngine::spectrumRow, this, [this, e](const QVector<float>& db, double low, double high) {
        if (m_display) m_display->addSpectrum(db.constData(), static_cast<int>(db.size()), low, high);
        if (e == m_engine.get()) e->displayTaken();
    });
    connect(e, &ModemEngine::rawInput, this, [this, e](const QVector<float>& samples) {
        if (m_display) m_display->showRaw(samples);
        if (e == m_engine.get()) e->displayTaken();
    });
    connect(e, &ModemEngine::phaseScope, this, [this, e](const QVector<float>& xy, int level) {
        if (m_display) m_display->showPhases(xy, level);
        if (e == m_engine.get()) e->displayTaken();
    });
    connect(m_thread, &QThread::started, e, &ModemEngine::begin);
    // Whatever a new engine starts with, it carries on as this object says.
    resendSettings();
}

PskModem::~PskModem() {
    m_statusTimer.stop();
    m_band->stop();
    if (m_bandFedByLostEngine) (void)m_band.release(); // a stuck engine may still feed its ring
    if (!stopEngine()) {
        // The sound system holds the audio thread and will not give it back: leave it, and the
        // engine it runs (and the browser's ring it may still feed), to the end of the process
        // rather than hang here.
        (void)m_engine.release();
        (void)m_band.release();
        m_thread = nullptr;
    }
    keyPtt(false);
    if (m_ptt) m_ptt->close();
    // The engine's FFT plans go on this thread, like they were made.
    m_engine.reset();
    delete m_thread;
    if (m_display && !m_display->parent()) delete m_display;
}

bool PskModem::stopEngine() {
    // A thread that never started is done at once.
    QMetaObject::invokeMethod(m_engine.get(), &ModemEngine::finish, Qt::QueuedConnection);
    m_thread->quit();
    return m_thread->wait(kHungAfterMs);
}

void PskModem::checkEngine() {
    // The audio thread steps every 10 ms; one that has stopped is stuck inside the sound system
    // (Qt's PulseAudio code can deadlock when the server dies under it).
    const uint64_t steps = m_engine->steps();
    if (steps != m_lastSteps || !m_thread->isRunning()) {
        m_lastSteps = steps;
        m_stepsSeen.restart();
        return;
    }
    if (m_stepsSeen.elapsed() < kHungAfterMs) return;
    m_engine->disconnect(this);
    (void)m_engine.release(); // left to the stuck thread: see ~PskModem
    m_bandFedByLostEngine = true;
    m_thread = nullptr;
    m_soundHung = true;
    m_backlog.clear();
    makeEngine({});
    const bool cut = m_overs.engineReplaced();
    m_thread->start(QThread::TimeCriticalPriority);
    m_lastSteps = 0;
    m_stepsSeen.restart();
    if (cut) queueTxState(0);
    onAudioMessage(QStringLiteral("Sound system stopped answering: silent input until Tavrel is restarted"),
                   true);
}

std::vector<EngineCommand> PskModem::settingsCommands() const {
    std::vector<EngineCommand> list;
    const auto add = [&list](K kind, int a = 0, int b = 0) { list.push_back(engineCommand(kind, a, b)); };
    add(K::RxFreq, m_requestedRx);
    add(K::TxFreq, m_txFreq);
    add(K::Mode, m_mode);
    add(K::SquelchThreshold, m_squelchThreshold);
    add(K::SquelchSpeed, m_squelchSpeed);
    add(K::AfcLimit, m_afcLimit);
    add(K::SearchRange, m_searchRange);
    add(K::Trim, m_trim);
    add(K::Drive, m_drive);
    add(K::DisplayKind, m_displayType);
    add(K::DisplayRange, m_rangeLow, m_rangeHigh);
    if (m_display) add(K::Bins, m_display->binsWanted());
    return list;
}

void PskModem::resendSettings() {
    for (EngineCommand c : settingsCommands()) {
        if (c.kind == K::RxFreq) c.seq = ++m_freqSeq;
        post(c);
    }
}

// ---- Commands ------------------------------------------------------------------------------------

void PskModem::post(const EngineCommand& c) {
    m_backlog.push_back(c);
    flush();
}

void PskModem::post(int kind, int a, int b) {
    post(engineCommand(static_cast<K>(kind), a, b));
}

void PskModem::flush() {
    while (!m_backlog.empty() && m_engine->post(m_backlog.front()))
        m_backlog.pop_front();
}

// ---- Properties ----------------------------------------------------------------------------------

int PskModem::RxFreq() const {
    // The engine's frequency once it has taken the last write; until then the value written.
    const uint64_t published = m_engine->publishedFrequency();
    if (static_cast<uint32_t>(published >> 32) == m_freqSeq) return static_cast<int>(published & 0xffffffffu);
    return m_requestedRx;
}

void PskModem::setRxFreq(int hz) {
    m_requestedRx =
        std::clamp(hz, static_cast<int>(psk31::kMinCarrierHz), static_cast<int>(psk31::kMaxCarrierHz));
    EngineCommand c;
    c.kind = K::RxFreq;
    c.a = m_requestedRx;
    c.seq = ++m_freqSeq;
    post(c);
}

void PskModem::setTxFreq(int hz) {
    const int clamped =
        std::clamp(hz, static_cast<int>(psk31::kMinCarrierHz), static_cast<int>(psk31::kMaxCarrierHz));
    if (clamped == m_txFreq) return;
    m_txFreq = clamped;
    post(static_cast<int>(K::TxFreq), m_txFreq);
}

// Each value is kept as well as sent, so a fresh engine (after the sound system hung) gets it too.
void PskModem::setMode(int mode) {
    m_mode = mode;
    m_band->setMode(mode);
    post(static_cast<int>(K::Mode), mode);
}
void PskModem::setSquelchThreshold(int level) {
    m_squelchThreshold = level;
    post(static_cast<int>(K::SquelchThreshold), level);
}
void PskModem::setSquelchSpeed(int speed) {
    m_squelchSpeed = speed;
    post(static_cast<int>(K::SquelchSpeed), speed);
}

void PskModem::setAfcLimit(int hz) {
    m_afcLimit = std::clamp(hz, 0, psk31::Receiver::kMaxAfcLimitHz);
    post(static_cast<int>(K::AfcLimit), m_afcLimit);
}

void PskModem::setSearchRange(int hz) {
    m_searchRange = hz;
    post(static_cast<int>(K::SearchRange), hz);
}
void PskModem::setTrimValue(int trim) {
    m_trim = trim;
    m_band->setTrim(trim);
    post(static_cast<int>(K::Trim), trim);
}

void PskModem::setDisplayType(int kind) {
    if (kind < 0 || kind > 4) return;
    m_displayType = kind;
    if (m_display) m_display->setKind(kind);
    post(static_cast<int>(K::DisplayKind), kind);
}

void PskModem::setAuxSetting(int value) {
    m_drive = value;
    post(static_cast<int>(K::Drive), value);
}

void PskModem::setIdText(const std::string& text) {
    m_overs.setIdText(text);
}

void PskModem::SetDisplayRange(int lowHz, int highHz) {
    if (highHz < lowHz) std::swap(lowHz, highHz);
    lowHz = std::max(lowHz, 0);
    highHz = std::min(std::max(highHz, lowHz + 100), 4000);
    if (m_display) m_display->setRange(lowHz, highHz);
    post(static_cast<int>(K::DisplayRange), lowHz, highHz);
    m_band->setRange(lowHz, highHz);
    m_rangeLow = lowHz;
    m_rangeHigh = highHz;
}

void PskModem::LoadPalette(const std::string& path) {
    const PaletteLoad load = loadPaletteFile(path);
    m_palette = load.colours;
    m_paletteProblem = QString::fromStdString(load.problem);
    if (m_display) m_display->setColours(m_palette);
    showMessage();
}

int PskModem::signalLevel() const {
    return m_engine->level();
}

// ---- Transmit ------------------------------------------------------------------------------------

void PskModem::SendText(const std::string& text) {
    m_overs.sendText(text);
}

void PskModem::StartTx(int mode) {
    if (m_overs.startTx(mode)) queueTxState(1);
}

void PskModem::EndTx() {
    m_overs.endTx();
}

void PskModem::AbortTx() {
    if (!m_overs.abortTx()) return;
    // PTT drops once the fade has been played (onOverFinished); with no engine running, now.
    if (!m_thread->isRunning()) keyPtt(false);
    queueTxState(0);
}

void PskModem::queueTxState(int state) {
    // Delivered after the handler that caused it, like every other event of the component.
    QMetaObject::invokeMethod(
        this, [this, state] { emit TxStateChg(state); }, Qt::QueuedConnection);
}

void PskModem::echo(uint8_t code) {
    emit RxCharRdy(code, 0);
}

void PskModem::onAirChars(quint32 over, const QByteArray& codes, const QByteArray& counted) {
    m_overs.airChars(over, std::string_view(codes.constData(), static_cast<std::size_t>(codes.size())),
                     std::string_view(counted.constData(), static_cast<std::size_t>(counted.size())));
}

void PskModem::onOverFinished(quint32 over, quint32 textSeq) {
    if (m_overs.overFinished(over, textSeq)) emit TxStateChg(0);
}

// ---- PTT -----------------------------------------------------------------------------------------

void PskModem::SetPttPort(const std::string& port, int line) {
    setPttDevice(resolvePortName(port), line);
}

void PskModem::setPttDevice(const std::string& device, int line) {
    if (m_ptt) {
        m_ptt->setKeyed(false, 3);
        m_ptt->close();
        m_ptt.reset();
    }
    m_pttKeyed = false;
    m_pttLine = line;
    m_pttDevice = device;
    if (device.empty()) {
        m_pttLostDevice.clear();
        return;
    }
    auto port = m_options.pttFactory();
    if (!port->open(device)) {
        emit pttStatusChanged(tr("PTT port %1 cannot be opened: the transmitter is not keyed")
                                  .arg(QString::fromStdString(device)));
        return;
    }
    port->onLost = [this, raw = port.get()] { pttLost(raw); };
    m_ptt = std::move(port);
    if (!m_pttLostDevice.empty()) {
        m_pttLostDevice.clear();
        emit pttStatusChanged(tr("PTT port %1 is open again").arg(QString::fromStdString(device)));
    }
    if (m_overs.txState() == 1) keyPtt(true);
}

void PskModem::pttLost(PttPort* port) {
    if (m_ptt.get() != port) return;
    m_pttKeyed = false;
    m_pttLostDevice = m_pttDevice;
    emit pttStatusChanged(tr("PTT port %1 went away and has been closed; it is opened again when the "
                             "settings are next saved")
                              .arg(QString::fromStdString(m_pttDevice)));
    // The port is still inside its own handler: it goes once that has returned.
    std::shared_ptr<PttPort> gone(m_ptt.release());
    QMetaObject::invokeMethod(
        this, [gone] {}, Qt::QueuedConnection);
}

void PskModem::keyPtt(bool on) {
    if (!m_ptt) {
        m_pttKeyed = false;
        return;
    }
    if (on == m_pttKeyed) return;
    m_ptt->setKeyed(on, m_pttLine);
    m_pttKeyed = on;
}

// ---- Sound, status and display -------------------------------------------------------------------

void PskModem::StartModem(int device, int option) {
    const bool same = m_started && device == m_device && option == m_option && !m_soundChoiceNew;
    // Start-up runs again on every settings re-apply: the same call leaves a working (or still
    // opening) sound path alone, and tries a failed sound card again.
    if (same && (m_opening || !m_nullSource || option == 0 || m_soundHung)) return;
    m_device = device;
    m_option = option;
    m_opening = true;
    m_soundChoiceNew = false;
    post(static_cast<int>(K::DeviceNames));
    postTextChunks(K::InputName, m_soundInput, nullptr, [this](const EngineCommand& c) { post(c); });
    postTextChunks(K::OutputName, m_soundOutput, nullptr, [this](const EngineCommand& c) { post(c); });
    // After the sound system has hung once, only the null source is safe.
    post(static_cast<int>(K::OpenDevices), device, m_soundHung ? 0 : option);
    if (!m_started) {
        m_started = true;
        m_thread->start(QThread::TimeCriticalPriority);
        if (m_options.bandDecoder) m_band->start();
        m_stepsSeen.start();
        m_statusTimer.start();
        QTimer::singleShot(0, this, &PskModem::tick); // the first report comes at once
    }
}

void PskModem::setSoundDevices(const std::string& input, const std::string& output) {
    if (input == m_soundInput && output == m_soundOutput) return;
    m_soundInput = input;
    m_soundOutput = output;
    m_soundChoiceNew = true;
}

void PskModem::Replay(int seconds) {
    post(static_cast<int>(K::Replay), seconds);
}

void PskModem::tick() {
    checkEngine();
    flush();
    const int rx = RxFreq();
    if (m_display) m_display->setMarkers(rx, m_txFreq);
    emit StatusRdy(rx, signalLevel());
    emit InputPeak(peakDbfs(m_engine->takePeak()));
}

void PskModem::onAudioMessage(const QString& text, bool nullSource) {
    m_opening = false;
    m_audioStatus = text;
    m_nullSource = nullSource;
    showMessage();
    emit audioStatusChanged(text);
}

void PskModem::showMessage() {
    if (!m_display) return;
    QString text = m_nullSource ? m_audioStatus : QString();
    if (!m_paletteProblem.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral("  |  ")) + m_paletteProblem;
    m_display->setMessage(text);
}

QWidget* PskModem::displayWidget() {
    if (!m_display) {
        m_display = new ModemDisplay();
        m_display->setObjectName(QStringLiteral("PskModem1"));
        m_display->setColours(m_palette);
        m_display->setKind(m_displayType);
        m_display->setRange(m_rangeLow, m_rangeHigh);
        m_display->setMarkers(RxFreq(), m_txFreq);
        connect(m_display, &ModemDisplay::tuneClicked, this,
                [this](double hz) { setRxFreq(static_cast<int>(hz)); });
        connect(m_display, &ModemDisplay::txClicked, this,
                [this](double hz) { setTxFreq(static_cast<int>(hz)); });
        connect(m_display, &ModemDisplay::binsChanged, this,
                [this](int bins) { post(static_cast<int>(K::Bins), bins); });
        post(static_cast<int>(K::Bins), m_display->binsWanted());
        showMessage();
    }
    return m_display;
}

} // namespace tavrel
