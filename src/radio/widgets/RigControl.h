#pragma once
// The station's rig through Hamlib, as the window sees it: the rig worker's events arrive here on
// the window's thread, and here is what the program knows of the rig (the dial as last read or
// tuned, whether it answers). Every call returns at once; the worker does the talking.

#include "radio/RigWorker.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace tavrel {

// Hands events from a worker thread to a QObject's thread, for as long as the object lives: the
// object's destructor calls close(), after which late events are dropped.
class RigEventPost {
public:
    template <typename F>
    static RigWorker::Sink to(QObject* target, std::shared_ptr<RigEventPost> post, F onEvent);
    void close();

private:
    std::mutex m_mutex;
    bool m_open = true;
};

class RigControl : public QObject {
    Q_OBJECT
public:
    // factory: makes the rig on the worker's thread (a HamlibRig unless a test says otherwise).
    explicit RigControl(QObject* parent = nullptr, RigWorker::Factory factory = {}, RigTiming timing = {});
    ~RigControl() override;

    // Another way to make rigs, and other timing; only while no rig is in use.
    void useRigs(RigWorker::Factory factory, RigTiming timing);

    // The rig to use; the same config keeps the rig open as it is, another one opens the new rig,
    // nullopt closes it. problem: shown in the status line when there is no config.
    void apply(const std::optional<RigConfig>& config, const QString& problem = {});
    bool active() const { return m_config.has_value(); }
    const std::optional<RigConfig>& config() const { return m_config; }

    void tune(uint64_t hz, RigMode mode);
    // Only when the config keys PTT through the rig.
    void setPtt(bool on);

    // The dial as last read, or as last tuned while the read-back is still to come; nullopt until
    // the rig of this config was tuned or read.
    std::optional<uint64_t> dial() const { return m_dial; }
    // The rig's last reading; nullopt until the rig of this config was read.
    const std::optional<RigReading>& reading() const { return m_reading; }
    // What the status line says of the rig: why it does not answer, or what it would not do (until
    // the next command); empty while all is well.
    QString status() const { return m_lost.isEmpty() ? m_refused : m_lost; }
    // Why the rig does not answer; empty while it does.
    const QString& notResponding() const { return m_lost; }

    // Reads the dial of a rig once, on a thread of its own, and calls done on this object's
    // thread with the reading or the error text.
    void probe(const RigConfig& config, std::function<void(std::optional<RigReading>, QString)> done);

signals:
    void dialRead(quint64 hz, int mode); // mode: a RigMode
    void statusChanged(const QString& text);

private:
    void onEvent(const RigEvent& e);
    void setStatus(QString lost, QString refused);

    RigWorker::Factory m_factory;
    std::shared_ptr<RigEventPost> m_post;
    std::unique_ptr<RigWorker> m_worker;
    std::optional<RigConfig> m_config;
    unsigned m_configCount = 0;
    std::optional<uint64_t> m_dial;
    std::optional<RigReading> m_reading;
    QString m_lost, m_refused;
};

// "rig not responding: <why>" and the like, for the status line.
QString rigTroubleText(const RigEvent& e);

} // namespace tavrel
