#include "radio/widgets/RigControl.h"

#include "radio/HamlibRig.h"

#include <QMetaObject>
#include <mutex>

namespace tavrel {

template <typename F>
RigWorker::Sink RigEventPost::to(QObject* target, std::shared_ptr<RigEventPost> post, F onEvent) {
    return [target, post = std::move(post), onEvent](const RigEvent& e) {
        // Held while posting, so the target cannot go away in between; a posted call to an object
        // deleted before it runs is dropped by Qt.
        std::lock_guard lock(post->m_mutex);
        if (post->m_open)
            QMetaObject::invokeMethod(
                target, [onEvent, e] { onEvent(e); }, Qt::QueuedConnection);
    };
}

void RigEventPost::close() {
    std::lock_guard lock(m_mutex);
    m_open = false;
}

QString rigTroubleText(const RigEvent& e) {
    const QString why = QString::fromStdString(e.error);
    if (e.kind == RigEvent::Kind::NotResponding) return QStringLiteral("rig not responding: %1").arg(why);
    if (e.kind == RigEvent::Kind::Refused)
        return QStringLiteral("rig could not %1: %2").arg(QString::fromStdString(e.action), why);
    return {};
}

RigControl::RigControl(QObject* parent, RigWorker::Factory factory, RigTiming timing)
    : QObject(parent), m_post(std::make_shared<RigEventPost>()) {
    useRigs(std::move(factory), timing);
}

void RigControl::useRigs(RigWorker::Factory factory, RigTiming timing) {
    if (m_config) return;
    m_factory = factory ? std::move(factory) : [](const RigConfig& c) -> std::unique_ptr<Rig> {
        return std::make_unique<HamlibRig>(c);
    };
    m_worker = std::make_unique<RigWorker>(
        m_factory, RigEventPost::to(this, m_post, [this](const RigEvent& e) { onEvent(e); }), timing);
}

RigControl::~RigControl() {
    m_post->close();
    m_worker.reset(); // unkeys and closes the rig, waiting a little for that
}

void RigControl::apply(const std::optional<RigConfig>& config, const QString& problem) {
    if (config != m_config) {
        m_config = config;
        m_dial.reset();
        m_reading.reset();
        ++m_configCount;
        m_worker->configure(config);
        setStatus({}, {});
    }
    if (!config) setStatus(problem, {});
}

void RigControl::tune(uint64_t hz, RigMode mode) {
    if (!m_config) return;
    m_dial = hz;
    setStatus(m_lost, {});
    m_worker->tune(hz, mode);
}

void RigControl::setPtt(bool on) {
    if (m_config && m_config->ptt != RigPtt::None) m_worker->setPtt(on);
}

void RigControl::probe(const RigConfig& config,
                       std::function<void(std::optional<RigReading>, QString)> done) {
    // Its own post: a probe that outlives this object reports to no one.
    RigWorker::probe(config, m_factory, RigEventPost::to(this, m_post, [done](const RigEvent& e) {
                         if (e.kind == RigEvent::Kind::Reading)
                             done(e.reading, {});
                         else
                             done(std::nullopt, rigTroubleText(e));
                     }));
}

void RigControl::onEvent(const RigEvent& e) {
    // A rig given up since may still have had something to say.
    if (!m_config || e.config != m_configCount) return;
    switch (e.kind) {
    case RigEvent::Kind::Reading:
        m_dial = e.reading.hz;
        m_reading = e.reading;
        setStatus({}, m_refused);
        emit dialRead(e.reading.hz, static_cast<int>(e.reading.mode));
        break;
    case RigEvent::Kind::NotResponding:
        setStatus(rigTroubleText(e), m_refused);
        break;
    case RigEvent::Kind::Refused:
        setStatus(m_lost, rigTroubleText(e));
        break;
    }
}

void RigControl::setStatus(QString lost, QString refused) {
    const QString before = status();
    m_lost = std::move(lost);
    m_refused = std::move(refused);
    if (status() != before) emit statusChanged(status());
}

} // namespace tavrel
