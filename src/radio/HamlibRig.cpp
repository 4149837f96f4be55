#include "radio/HamlibRig.h"

#include <hamlib/rig.h>

#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <mutex>
#include <strings.h>

namespace tavrel {

namespace {

std::mutex& hamlibLock() {
    static std::mutex m;
    return m;
}

// Hamlib writes its trace to standard error unless told otherwise.
int quiet(enum rig_debug_level_e, rig_ptr_t, const char*, va_list) {
    return 0;
}

HamlibPort portKind(rig_port_t type) {
    switch (type) {
    case RIG_PORT_NONE:
        return HamlibPort::None;
    case RIG_PORT_SERIAL:
        return HamlibPort::Serial;
    case RIG_PORT_NETWORK:
    case RIG_PORT_UDP_NETWORK:
        return HamlibPort::Network;
    default:
        return HamlibPort::Other;
    }
}

int addModel(const struct rig_caps* caps, rig_ptr_t data) {
    auto* list = static_cast<std::vector<HamlibModel>*>(data);
    list->push_back({static_cast<int>(caps->rig_model), caps->mfg_name ? caps->mfg_name : "",
                     caps->model_name ? caps->model_name : "", portKind(caps->port_type)});
    return 1; // go on
}

// Loads Hamlib's backends and lists them, once per process, before any rig is made; after that
// the list of backends is only read.
const std::vector<HamlibModel>& loadedModels() {
    static const std::vector<HamlibModel> models = [] {
        rig_set_debug(RIG_DEBUG_NONE);
        rig_set_debug_callback(quiet, nullptr);
        rig_load_all_backends();
        std::vector<HamlibModel> list;
        rig_list_foreach(addModel, &list);
        std::sort(list.begin(), list.end(), [](const HamlibModel& a, const HamlibModel& b) {
            if (const int c = strcasecmp(a.maker.c_str(), b.maker.c_str())) return c < 0;
            if (const int c = strcasecmp(a.model.c_str(), b.model.c_str())) return c < 0;
            return a.number < b.number;
        });
        return list;
    }();
    return models;
}

std::string errorText(int code) {
    std::string text = rigerror2(std::abs(code));
    // Hamlib's texts end in a single "\n"; carriage returns and blanks only for other versions.
    const auto other = [](char c) { return c == '\r' || c == ' '; }; // no-mutate: see above
    while (!text.empty() && (text.back() == '\n' || other(text.back())))
        text.pop_back();
    return text.empty() ? "Hamlib error " + std::to_string(std::abs(code)) : text;
}

// Soft errors: the rig answered and cannot do it. A rig that is off counts as not answering.
RigResult result(int code) {
    if (code == RIG_OK) return RigResult::ok();
    const int e = std::abs(code);
    if (e != RIG_EPOWER && RIG_IS_SOFT_ERRCODE(e)) return RigResult::refused(errorText(code));
    return RigResult::lost(errorText(code));
}

bool setConf(RIG* rig, const char* name, const std::string& value) {
    const token_t token = rig_token_lookup(rig, name);
    return token != RIG_CONF_END && rig_set_conf(rig, token, value.c_str()) == RIG_OK;
}

int confNumber(RIG* rig, const char* name, int otherwise) {
    const token_t token = rig_token_lookup(rig, name);
    char value[64] = {};
    if (token == RIG_CONF_END || rig_get_conf(rig, token, value) != RIG_OK) return otherwise;
    return std::atoi(value);
}

// A rig that does not answer is noticed within a few seconds: the backend's answer timeout held
// to 1.5 s, and its retries to what fits in about 2.5 s (one at least). Backends that wait long
// (the network rig 10 s, five times) would otherwise leave the operator without word for a minute.
void boundTimeouts(RIG* rig) {
    int timeout = confNumber(rig, "timeout", 1500);
    if (timeout <= 0 || timeout > 1500) timeout = 1500;
    const int retry = std::min(confNumber(rig, "retry", 1), std::max(1, 2500 / timeout - 1));
    setConf(rig, "timeout", std::to_string(timeout));
    setConf(rig, "retry", std::to_string(retry));
}

rmode_t hamlibMode(RigMode mode) {
    switch (mode) {
    case RigMode::Usb:
        return RIG_MODE_USB;
    case RigMode::Lsb:
        return RIG_MODE_LSB;
    case RigMode::UsbData:
        return RIG_MODE_PKTUSB;
    case RigMode::LsbData:
        return RIG_MODE_PKTLSB;
    case RigMode::Other:
        break;
    }
    return RIG_MODE_NONE;
}

RigMode ourMode(rmode_t mode) {
    if (mode == RIG_MODE_USB) return RigMode::Usb;
    if (mode == RIG_MODE_LSB) return RigMode::Lsb;
    if (mode == RIG_MODE_PKTUSB) return RigMode::UsbData;
    if (mode == RIG_MODE_PKTLSB) return RigMode::LsbData;
    return RigMode::Other;
}

} // namespace

const std::vector<HamlibModel>& hamlibModels() {
    return loadedModels();
}

const HamlibModel* findHamlibModel(int number) {
    for (const HamlibModel& m : loadedModels())
        if (m.number == number) return &m;
    return nullptr;
}

HamlibRig::HamlibRig(RigConfig config) : m_config(std::move(config)) {}

HamlibRig::~HamlibRig() {
    close();
}

RigResult HamlibRig::notOpen() const {
    return RigResult::lost("the rig is not open");
}

RigResult HamlibRig::open() {
    close();
    const HamlibModel* model = findHamlibModel(m_config.model);
    if (!model) return RigResult::lost("Hamlib has no rig model " + std::to_string(m_config.model));
    std::lock_guard lock(hamlibLock());
    RIG* rig = rig_init(m_config.model);
    if (!rig) return RigResult::lost("Hamlib could not set up rig model " + std::to_string(m_config.model));
    if (!m_config.port.empty()) setConf(rig, "rig_pathname", m_config.port);
    if (m_config.baud > 0 && model->port == HamlibPort::Serial)
        setConf(rig, "serial_speed", std::to_string(m_config.baud));
    boundTimeouts(rig);
    if (m_config.ptt == RigPtt::Cat) setConf(rig, "ptt_type", "RIG");
    if (m_config.ptt == RigPtt::Rts) {
        setConf(rig, "ptt_type", "RTS");
        setConf(rig, "ptt_pathname", m_config.port);
    }
    // Every read asks the rig: the dial is what the rig says now, not what it said before.
    rig_set_cache_timeout_ms(rig, HAMLIB_CACHE_ALL, 0);
    const int code = rig_open(rig);
    if (code != RIG_OK) {
        rig_cleanup(rig);
        return RigResult::lost(errorText(code));
    }
    rig_set_cache_timeout_ms(rig, HAMLIB_CACHE_ALL, 0);
    m_rig = rig;
    return RigResult::ok();
}

void HamlibRig::close() {
    if (!m_rig) return;
    std::lock_guard lock(hamlibLock());
    rig_close(m_rig);
    rig_cleanup(m_rig);
    m_rig = nullptr;
}

RigResult HamlibRig::setFrequency(uint64_t hz) {
    if (!m_rig) return notOpen();
    std::lock_guard lock(hamlibLock());
    return result(rig_set_freq(m_rig, RIG_VFO_CURR, static_cast<freq_t>(hz)));
}

RigResult HamlibRig::setMode(RigMode mode) {
    if (!m_rig) return notOpen();
    const rmode_t m = hamlibMode(mode);
    if (m == RIG_MODE_NONE) return RigResult::refused("no such mode");
    std::lock_guard lock(hamlibLock());
    return result(rig_set_mode(m_rig, RIG_VFO_CURR, m, RIG_PASSBAND_NOCHANGE));
}

RigResult HamlibRig::readFrequency(uint64_t& hz) {
    if (!m_rig) return notOpen();
    freq_t f = 0;
    std::lock_guard lock(hamlibLock());
    const RigResult r = result(rig_get_freq(m_rig, RIG_VFO_CURR, &f));
    if (r) hz = f > 0 ? static_cast<uint64_t>(f + 0.5) : 0;
    return r;
}

RigResult HamlibRig::readMode(RigMode& mode) {
    if (!m_rig) return notOpen();
    rmode_t m = RIG_MODE_NONE;
    pbwidth_t width = 0;
    std::lock_guard lock(hamlibLock());
    const RigResult r = result(rig_get_mode(m_rig, RIG_VFO_CURR, &m, &width));
    if (r) mode = ourMode(m);
    return r;
}

RigResult HamlibRig::setPtt(bool on) {
    if (!m_rig) return notOpen();
    std::lock_guard lock(hamlibLock());
    return result(rig_set_ptt(m_rig, RIG_VFO_CURR, on ? RIG_PTT_ON : RIG_PTT_OFF));
}

RigResult HamlibRig::readPtt(bool& on) {
    if (!m_rig) return notOpen();
    ptt_t ptt = RIG_PTT_OFF;
    std::lock_guard lock(hamlibLock());
    const RigResult r = result(rig_get_ptt(m_rig, RIG_VFO_CURR, &ptt));
    if (r) on = ptt != RIG_PTT_OFF;
    return r;
}

} // namespace tavrel
