#pragma once
// A tiny HTTP/1.1 server on 127.0.0.1 for the client's tests, run in a thread of its own because the
// client blocks the thread that calls it. It answers from a table of paths, records every request it
// receives, closes each connection after its answer and stops by itself when the test ends or after
// a bounded number of connections or seconds.

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

#include <atomic>
#include <chrono>
#include <future>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace vx::test {

class LocalHttpServer {
public:
    struct Request {
        QByteArray method, path;
        std::map<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };
    struct Reply {
        int status = 200;
        QByteArray extraHeaders; // complete lines with their CR LF
        QByteArray body;
    };

    explicit LocalHttpServer(std::map<QByteArray, Reply> replies)
        : m_replies(std::move(replies))
    {
        std::promise<quint16> ready;
        auto port = ready.get_future();
        m_thread = std::thread([this, &ready] { run(ready); });
        m_port = port.get();
    }
    ~LocalHttpServer()
    {
        m_stop = true;
        m_thread.join();
    }
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    QString url(const char* path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(QString::fromLatin1(path));
    }
    std::vector<Request> requests() const
    {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }

private:
    static constexpr int kMaxConnections = 64;
    static constexpr auto kLifetime = std::chrono::seconds(20);

    void run(std::promise<quint16>& ready)
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        ready.set_value(server.serverPort());
        const auto end = std::chrono::steady_clock::now() + kLifetime;
        int served = 0;
        while (!m_stop && served < kMaxConnections && std::chrono::steady_clock::now() < end) {
            if (!server.waitForNewConnection(50))
                continue;
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                serve(*socket);
                ++served;
                delete socket;
            }
        }
    }

    void serve(QTcpSocket& socket)
    {
        QByteArray data;
        qsizetype headEnd = -1;
        while ((headEnd = data.indexOf("\r\n\r\n")) < 0) {
            if (!socket.waitForReadyRead(2000))
                return;
            data += socket.readAll();
        }
        Request r;
        const QList<QByteArray> lines = data.left(headEnd).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        r.method = first.value(0);
        r.path = first.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                r.headers[lines[i].left(colon).trimmed().toLower()] = lines[i].mid(colon + 1).trimmed();
        }
        const qsizetype length = r.headers.count("content-length") ? r.headers["content-length"].toLongLong() : 0;
        r.body = data.mid(headEnd + 4);
        while (r.body.size() < length && socket.waitForReadyRead(2000))
            r.body += socket.readAll();
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(r);
        }
        const auto it = m_replies.find(r.path);
        const Reply reply = it != m_replies.end() ? it->second : Reply{404, {}, "not here"};
        QByteArray out = "HTTP/1.1 " + QByteArray::number(reply.status) + " Status\r\n" + reply.extraHeaders +
                         "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n" +
                         reply.body;
        socket.write(out);
        socket.waitForBytesWritten(2000);
        socket.disconnectFromHost();
        if (socket.state() != QAbstractSocket::UnconnectedState)
            socket.waitForDisconnected(2000);
    }

    std::map<QByteArray, Reply> m_replies;
    std::thread m_thread;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<Request> m_requests;
};

} // namespace vx::test
