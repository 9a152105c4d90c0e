#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <fcntl.h>
#include <memory>
#include <stdlib.h>
#include <unistd.h>

// The master side of a pseudo-terminal, held by a test: the link under test opens the
// slave by its path, and this far end keeps whatever arrives.
class PtyMaster {
public:
    PtyMaster()
    {
        m_fd = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_fd < 0 || grantpt(m_fd) != 0 || unlockpt(m_fd) != 0)
            return;
        m_path = QString::fromLocal8Bit(ptsname(m_fd));
        fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) | O_NONBLOCK);
        m_reader = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_reader.get(), &QSocketNotifier::activated, [this] {
            char buf[4096];
            qint64 n;
            while ((n = ::read(m_fd, buf, sizeof buf)) > 0)
                heard.append(buf, int(n));
        });
    }
    ~PtyMaster()
    {
        m_reader.reset();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool ok() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }
    // Bytes from the far end, as a unit would send them. False when they did not all go.
    bool say(const QByteArray& bytes)
    {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    QByteArray heard;

private:
    int m_fd = -1;
    QString m_path;
    std::unique_ptr<QSocketNotifier> m_reader;
};
