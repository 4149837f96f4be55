#pragma once
// rigctld (Debian's libhamlib-utils) with Hamlib's dummy rig on a free local port, for tests and
// benchmarks that drive a rig over the network the way operators share theirs; rigctl asks it
// from outside.

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace tavrel {

inline int freeLocalPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

class Rigctld {
public:
    Rigctld() : m_port(freeLocalPort()) {}
    ~Rigctld() { stop(); }
    int port() const { return m_port; }
    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }
    QProcess& process() { return m_proc; }

    // Started and answering (PTT by command, so "t" tells it); false when rigctld is missing.
    bool start() {
        m_proc.start("rigctld", {"-m", "1", "-P", "RIG", "-T", "127.0.0.1", "-t", QString::number(m_port)});
        if (!m_proc.waitForStarted(5000)) return false;
        QElapsedTimer t;
        t.start();
        while (rigctl({"f"}).isEmpty() && t.elapsed() < 10000)
            QThread::msleep(50);
        return !rigctl({"f"}).isEmpty();
    }
    void stop() {
        if (m_proc.state() == QProcess::NotRunning) return;
        m_proc.kill();
        m_proc.waitForFinished(5000);
    }
    // rigctl's answer, trimmed; empty when it got none.
    QString rigctl(const QStringList& command) const {
        QProcess p;
        p.start("rigctl", QStringList{"-m", "2", "-r", QString::fromStdString(address())} + command);
        if (!p.waitForFinished(5000) || p.exitCode() != 0) return {};
        return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
    }

private:
    int m_port;
    QProcess m_proc;
};

} // namespace tavrel
