#pragma once
// A pseudo-terminal pair: the program under test opens the slave device as its serial port, the
// test reads and inspects the line from the master side.

#include <QCoreApplication>
#include <QElapsedTimer>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <string>
#include <termios.h>
#include <unistd.h>

class PtyPair {
public:
    PtyPair() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0) {
            m_slave = ::ptsname(m_master);
            ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        }
    }
    ~PtyPair() {
        if (m_slaveFd >= 0) ::close(m_slaveFd);
        closeMaster();
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return m_master >= 0 && !m_slave.empty(); }
    const std::string& slave() const { return m_slave; }
    // The slave held open here too, so the line is not hung up while the program closes its end.
    bool holdSlave() { return (m_slaveFd = ::open(m_slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) >= 0; }
    void write(const std::string& bytes) { (void)::write(m_master, bytes.data(), bytes.size()); }
    void closeMaster() {
        if (m_master >= 0) ::close(m_master);
        m_master = -1;
    }

    // Reads until `count` bytes came or `ms` passed, then `quietMs` more so that anything sent
    // beyond them is seen too; Qt's event loop runs meanwhile.
    std::string read(size_t count, int ms = 2000, int quietMs = 0) {
        std::string got;
        QElapsedTimer timer;
        timer.start();
        qint64 enough = -1;
        while (timer.elapsed() < ms && (enough < 0 || timer.elapsed() - enough < quietMs)) {
            if (QCoreApplication::instance()) QCoreApplication::processEvents();
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
                char buf[512];
                const ssize_t n = ::read(m_master, buf, sizeof buf);
                if (n > 0) got.append(buf, static_cast<size_t>(n));
            }
            if (enough < 0 && got.size() >= count) enough = timer.elapsed();
        }
        return got;
    }

    // The slave's line settings: on Linux the master answers with its peer's termios.
    termios slaveTermios() const {
        termios t{};
        ::tcgetattr(m_master, &t);
        return t;
    }

private:
    int m_master = -1;
    int m_slaveFd = -1;
    std::string m_slave;
};
