#include "modem/audio/PttPort.h"

#include <QSocketNotifier>
#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace tavrel {

namespace {

constexpr int kBothLines = TIOCM_RTS | TIOCM_DTR;

// A device without modem lines (a pseudo-terminal) refuses; there is nothing to key then.
void dropLines(int fd, int bits = kBothLines) {
    ::ioctl(fd, TIOCMBIC, &bits);
}

// The notifier may be in the middle of its own signal when the line hangs up; it stops watching
// at once, before its descriptor is closed.
void deleteLaterNotifier(QSocketNotifier* n) {
    if (!n) return;
    n->setEnabled(false);
    n->deleteLater();
}

} // namespace

SerialPttPort::SerialPttPort() : m_watch(nullptr, deleteLaterNotifier) {}

SerialPttPort::~SerialPttPort() {
    close();
}

bool SerialPttPort::open(const std::string& device) {
    close();
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    dropLines(fd); // first, before anything else touches the device
    termios t{};
    if (::tcgetattr(fd, &t) != 0) { // not a terminal
        ::close(fd);
        return false;
    }
    ::ioctl(fd, TIOCEXCL); // no other program keys this line while we hold it
    // Raw, so nothing arriving is echoed back out; CLOCAL, so a modem-status line cannot hang us
    // up; HUPCL, so the kernel drops RTS and DTR whenever the descriptor closes.
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD | HUPCL;
    t.c_cc[VMIN] = 1; // a read gives bytes or EAGAIN, and 0 only once the line has hung up
    t.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &t);
    dropLines(fd); // some drivers raise the lines again on a change of settings
    m_fd = fd;
    m_watch.reset(new QSocketNotifier(fd, QSocketNotifier::Read));
    QObject::connect(m_watch.get(), &QSocketNotifier::activated, m_watch.get(), [this] { readable(); });
    return true;
}

void SerialPttPort::setKeyed(bool keyed, int lines) {
    if (m_fd < 0) return;
    int bits = 0;
    if (lines == 1 || lines == 3) bits |= TIOCM_RTS;
    if (lines == 2 || lines == 3) bits |= TIOCM_DTR;
    if (bits == 0) return;
    if (keyed)
        ::ioctl(m_fd, TIOCMBIS, &bits);
    else
        dropLines(m_fd, bits);
}

void SerialPttPort::close() {
    if (m_fd < 0) return;
    closeDevice();
}

void SerialPttPort::closeDevice() {
    m_watch.reset();
    dropLines(m_fd);
    ::close(m_fd);
    m_fd = -1;
}

// A hung-up line reads as the end of the file (or fails) for ever and is always ready: left
// open it would wake the event loop without end.
void SerialPttPort::readable() {
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0) continue;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        break;
    }
    closeDevice();
    if (onLost) onLost();
}

} // namespace tavrel
