// The receiver's frequency control. Two states:
//
// Acquiring (after a click, a mode change or a long loss): the spectrum of the last second shows
// where the PSK31 signal nearest the place to look is. Only a signal whose spectrum peaks inside
// the span and is symmetric counts, so a strong neighbour further out, whose skirt reaches in, is
// never taken. The receiver steps onto it when the centre is sure (idle reversals, a strong BPSK
// peak, or two looks a second apart that agree: the centre of weak or QPSK text wanders) and pulls
// in the rest by the phase changes raised to the constellation's order. It ends when the decoder
// reads cleanly, or on a weak signal seen on frequency.
//
// Tracking: a decision-directed loop follows the station's own phase drift from symbol to symbol,
// with a drift integrator, as far as the decoder reads cleanly. Nothing else moves it: the energy of
// other stations plays no part, and when nothing decodes it holds still. After seconds without a
// decodable signal it acquires again, looking around where it last was.
#include "modem/psk31/Receiver.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavrel::psk31 {
namespace {

constexpr float kLockedQuality = 0.1f; // the decoder's quality above which it counts as reading
constexpr float kTrustScale = 3.0f;    // quality from which the loop runs at full gain: a third
constexpr int kLookEvery = 8;          // symbols between looks at the spectrum while acquiring,
constexpr int kQuietLookEvery = 16;    // and once it has been quiet a while (a look costs time)
constexpr int kQuietAfter = 160;
constexpr int kFirstLook = 24;   // symbols after a restart before the first look: most of a second
constexpr double kSpanHz = 25.0; // how far from the place to look a signal may be taken
// A decoder that reads cleanly may be trusted this far from the spectrum's centre; beyond it, it may
// sit a half (BPSK) or quarter (QPSK) baud off, where the phase changes look clean but mean nothing.
constexpr double kBpskPullInHz = 7.0;
constexpr double kQpskPullInHz = 5.0;
constexpr double kPullInGain = 0.15;
constexpr float kNdaAlpha = 1.0f / 32.0f; // a second
constexpr float kNdaNoise = 0.08f;        // what noise alone may reach now and then
constexpr float kNdaSpan = 0.2f;
constexpr int kSettleSymbols = 48;
constexpr int kStaleAfterMove = ViterbiDecoder::kDecisionDelay + 4;
constexpr float kCoherenceAlpha = 1.0f / 8.0f; // a quarter second, so the loop stops soon after the signal
constexpr float kMoveStrength = 1.5f;          // a weaker spectral peak is too uncertain to move to
constexpr float kSureStrength = 8.0f;          // a peak this strong needs no second look,
constexpr float kConfirmStrength = 3.0f;       // one this strong a second one a second later
constexpr double kAgreeHz = 2.0;
constexpr double kOnSignalHz = 3.0;
constexpr double kExactHz = 0.5; // reversals show the centre closer than the pull-in would find it
constexpr double kMaxLean = 0.6; // 4 times the power on one side as on the other
constexpr int kUnlockHoldSymbols = 24;
constexpr int kSolidLockSymbols = 32;         // decodes cleanly though the spectrum shows nothing
constexpr int kLostSymbols = 96;              // ~3 s without a decodable signal: acquire again
constexpr double kMaxDriftHzPerSymbol = 0.01; // 0.3 Hz/s: more is a runaway on a weak signal, not drift

} // namespace

void Receiver::restartAfc(double anchorHz) {
    m_afcState = AfcState::Acquiring;
    m_afcAnchor = anchorHz;           // (a new place to look starts a new mean of the looks there)
    m_staleSymbols = kStaleAfterMove; // a click moves the receiver too
    m_lookHz.fill(-1e9);
    m_looks = 0;
    m_signalNear = false;
    m_movedAt = -kSettleSymbols;
    m_afcSymbols = 0;
    m_afcDrift = 0.0;
    m_lockedSymbols = 0;
    m_unlockedSymbols = kUnlockHoldSymbols;
}

void Receiver::retune(double hz) {
    // The AFC limit is a hard bound around the frequency the operator chose.
    double f = std::clamp(hz, m_setFreq - m_afcLimit, m_setFreq + m_afcLimit);
    f = std::clamp(f, kMinCarrierHz, kMaxCarrierHz);
    if (f != m_freq) {
        m_freq = f;
        updateNco();
    }
}

void Receiver::updateAfc(std::complex<float> z, std::optional<float> errRad) {
    if (m_afcLimit <= 0) return;
    // When the input falls silent (a sound card fed digital silence between overs) the filters'
    // dying tails carry no frequency information: steering by them walks the AFC away from where
    // the next over will come. Hold still until there is signal again.
    const float mag = std::abs(z);
    if (!std::isfinite(mag)) return;
    const bool quiet = mag < 1e-3f * m_afcMagnitude;
    m_afcMagnitude += (mag - m_afcMagnitude) / 64.0f;
    if (quiet || !(mag > 0.0f)) return;
    ++m_afcSymbols;
    // How cleanly the phase changes sit on the constellation at all, whatever was sent.
    std::complex<float> u = z / mag;
    u *= u;
    if (isQpsk(m_mode)) u *= u;
    m_afcCoherence += kCoherenceAlpha * (u - m_afcCoherence);
    m_ndaMean += kNdaAlpha * (u - m_ndaMean);
    const float coherence = unbiased(m_afcCoherence, kCoherenceAlpha);
    // How cleanly the decoder reads over the last quarter second (for BPSK the same thing).
    const float trust2 = m_decodeTrust * m_decodeTrust;
    m_afcQuality = isQpsk(m_mode) ? trust2 * trust2 : coherence;

    // Locked while the decoder reads clean, and for a while after: weak signals dip below at times.
    if (m_afcQuality >= kLockedQuality) {
        m_unlockedSymbols = 0;
        ++m_lockedSymbols;
    } else {
        ++m_unlockedSymbols;
        m_lockedSymbols = 0;
    }
    if (m_afcState == AfcState::Acquiring) {
        acquireAfc();
    } else {
        trackAfc(errRad);
    }
}

void Receiver::acquireAfc() {
    // Offsets within the pull-in range need no more than the phase changes, once the spectrum shows
    // a signal there: a strong neighbour leaks coherent phase changes of its own into the filter.
    if (m_signalNear) pullIn();
    const int every = m_afcSymbols < kQuietAfter ? kLookEvery : kQuietLookEvery;
    if (m_afcSymbols < kFirstLook || (m_afcSymbols - kFirstLook) % every != 0) return;
    const double span = std::min<double>(kSpanHz, m_afcLimit);
    const SignalSearch::Result found = m_search.search(m_afcAnchor, span, m_rate);
    const SignalSearch::Result mean = m_search.averaged();
    const double offset = found.hz - m_freq;
    // A decoder reading cleanly is on a signal, unless that signal sits a whole baud off, where the
    // phase changes come round to the same again: its power then lies to one side. A BPSK decoder
    // may also sit half a baud off, where every bit comes out inverted yet looks clean; a QPSK one
    // reads nothing clean there, and the spectrum of QPSK text may lean a few Hz to one side.
    const bool decoding =
        m_lockedSymbols >= kSolidLockSymbols && std::abs(m_search.lean(m_freq, m_rate)) < kMaxLean;
    const double reach = isQpsk(m_mode) ? kQpskPullInHz : kBpskPullInHz;
    if (decoding && (isQpsk(m_mode) || found.strength < kMoveStrength || std::abs(offset) <= reach)) {
        startTracking();
        return;
    }
    // Move only to idle reversals (their two tones give the centre exactly), to a peak beyond
    // doubt, or where two looks a second apart agree on a clear one: the centre of a weak signal's
    // text wanders by Hz from one second to the next, and QPSK text leans to one side.
    const bool seen = found.strength >= kMoveStrength;
    m_signalNear = seen && std::abs(offset) <= reach;
    const bool sure = !isQpsk(m_mode) && found.strength >= kSureStrength;
    const bool confirmed =
        seen && (found.reversals || sure ||
                 (found.strength >= kConfirmStrength &&
                  std::abs(found.hz - m_lookHz[(m_looks + 1) % m_lookHz.size()]) < kAgreeHz));
    m_lookHz[m_looks % m_lookHz.size()] = seen ? found.hz : -1e9;
    ++m_looks;
    // After a move the pull-in needs a moment to finish the work; only a signal clearly elsewhere
    // moves the receiver again before that.
    const bool settling = m_afcSymbols - m_movedAt < kSettleSymbols && std::abs(offset) < 2.0 * reach;
    const bool exact = seen && found.reversals && std::abs(offset) > kExactHz;
    if (confirmed && (std::abs(offset) > reach || exact) && !settling) {
        retune(found.hz);
        m_movedAt = m_afcSymbols;
        m_staleSymbols = kStaleAfterMove;
        m_lockedSymbols = 0;
        return;
    }
    // The mean of the looks so far shows a weak signal, and the true centre of QPSK text, more
    // surely than any one second (the noise in it has settled, so a weaker peak is already sure).
    if (mean.strength >= kMoveStrength && std::abs(mean.hz - m_freq) > reach && !settling) {
        retune(mean.hz);
        m_movedAt = m_afcSymbols;
        m_staleSymbols = kStaleAfterMove;
        m_lockedSymbols = 0;
        return;
    }
    // On a signal the decoder cannot read cleanly yet (a weak one), tracking takes over: its loop
    // steers by the decoded data as far as they can be trusted, and holds still otherwise.
    if (seen && std::abs(offset) <= kOnSignalHz) startTracking();
}

void Receiver::startTracking() {
    m_afcState = AfcState::Tracking;
    m_afcSymbols = 0;
    m_afcDrift = 0.0;
}

void Receiver::pullIn() {
    // The phase changes raised to the constellation's order (2 for BPSK, 4 for QPSK) lose their
    // data and keep the frequency offset: the angle of their mean is it, within a quarter baud
    // (BPSK) or an eighth (QPSK). Followed only as far as their mean over a second stands clear of
    // what noise leaves, so on noise (or a signal too weak to steer by) the frequency holds still.
    const float clear = std::clamp((unbiased(m_ndaMean, kNdaAlpha) - kNdaNoise) / kNdaSpan, 0.0f, 1.0f);
    const double order = isQpsk(m_mode) ? 4.0 : 2.0;
    const double errHz = std::arg(m_afcCoherence) / order * kBaud / kTwoPi;
    retune(m_freq + kPullInGain * clear * errHz);
}

void Receiver::trackAfc(std::optional<float> errRad) {
    const bool locked = m_unlockedSymbols < kUnlockHoldSymbols;
    if (!locked) {
        if (m_unlockedSymbols > kLostSymbols) {
            // Nothing has decoded for seconds: acquire again, around where the station was.
            restartAfc(m_freq);
            return;
        }
        // The station has gone quiet or faded: hold still.
        return;
    }
    if (!errRad || !std::isfinite(*errRad)) return;
    // A QPSK error comes from a symbol decided well back: those from before a move are stale.
    if (m_staleSymbols > 0) {
        --m_staleSymbols;
        return;
    }
    // How much to trust the decided error: as far as the decoder reads cleanly (a weak signal's
    // decisions are often wrong, and steering by them would walk the frequency away), or, sooner
    // on a strong signal, as far as the phase changes sit on the constellation at all.
    const float trust =
        std::min(1.0f, kTrustScale * std::max(m_afcQuality, unbiased(m_afcCoherence, kCoherenceAlpha)));
    const double errHz = *errRad * kBaud / kTwoPi;
    // Fast after acquiring a strong signal, then slow so the loop's own jitter stays far below a
    // symbol's phase.
    const double settled = isQpsk(m_mode) ? 0.015 : 0.03;
    const double gain = (settled + 0.1 * trust * std::exp(-m_afcSymbols / 30.0)) * trust;
    // A second-order loop: the integrated drift rate follows a steadily drifting signal without lag.
    m_afcDrift =
        std::clamp(m_afcDrift + 0.25 * gain * gain * errHz, -kMaxDriftHzPerSymbol, kMaxDriftHzPerSymbol);
    retune(m_freq + gain * errHz + m_afcDrift);
}

} // namespace tavrel::psk31
