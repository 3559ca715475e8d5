#pragma once
// A tiny HTTP/1.1 server on 127.0.0.1 for the client's tests and a small test web site, run in a thread
// of its own because the client blocks the thread that calls it. It answers from a table of paths,
// records every request it receives, closes each connection after its answer and stops by itself when
// the test ends or after a bounded number of connections or seconds. Besides whole answers it plays the
// sites a client must not wait for: one that never answers, one that trickles its answer, one that
// cuts it off midway; each records whether the client gave up before the server did.

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
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
        bool clientLeft = false; // the client closed the connection before the answer was complete
        bool answered = false;   // the server is done with it
    };
    enum class Way {
        Whole,   // the answer at once
        Silent,  // the connection is taken and nothing is ever sent
        Trickle, // head at once, then the body `chunk` bytes every `gapMs`
        Cut,     // head announcing the whole body, then half of it, and the connection closes
    };
    struct Reply {
        int status = 200;
        QByteArray extraHeaders; // complete lines with their CR LF
        QByteArray body;
        Way way = Way::Whole;
        int gapMs = 0;
        int chunk = 1;
        bool announced = true; // with a Content-Length; without one the closing connection ends the body
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
    // The requests once the server is done with every one of them (it notices a client that gave up
    // a moment after the client did).
    std::vector<Request> answeredRequests() const
    {
        const auto end = std::chrono::steady_clock::now() + kHold + std::chrono::seconds(2);
        for (;;) {
            std::vector<Request> all = requests();
            const bool done = std::all_of(all.begin(), all.end(), [](const Request& r) { return r.answered; });
            if (done || std::chrono::steady_clock::now() > end)
                return all;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

private:
    static constexpr int kMaxConnections = 64;
    static constexpr auto kLifetime = std::chrono::seconds(60);
    // How long a silent or trickling answer holds on before the server itself gives up: longer than
    // the program's own limits of 15 s, so a test with them sees the program give up first.
    static constexpr auto kHold = std::chrono::seconds(20);

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
        size_t index = 0;
        {
            std::lock_guard lock(m_mutex);
            index = m_requests.size();
            m_requests.push_back(r);
        }
        const auto it = m_replies.find(r.path);
        const Reply reply = it != m_replies.end() ? it->second : Reply{404, {}, "not here"};
        const bool left = !answer(socket, reply);
        std::lock_guard lock(m_mutex);
        m_requests[index].clientLeft = left;
        m_requests[index].answered = true;
    }

    // Sends the answer its way; false when the client went away first.
    bool answer(QTcpSocket& socket, const Reply& reply)
    {
        const QByteArray length =
            reply.announced ? "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n" : QByteArray();
        const QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " Status\r\n" + reply.extraHeaders +
                                length + "Connection: close\r\n\r\n";
        const auto holdEnd = std::chrono::steady_clock::now() + kHold;
        const auto holding = [&] { return !m_stop && std::chrono::steady_clock::now() < holdEnd; };
        bool stayed = true;
        switch (reply.way) {
        case Way::Whole:
            stayed = send(socket, head + reply.body);
            break;
        case Way::Silent:
            while (stayed && holding())
                stayed = !gone(socket, 50);
            break;
        case Way::Trickle:
            stayed = send(socket, head);
            for (qsizetype at = 0; stayed && at < reply.body.size() && holding(); at += reply.chunk) {
                stayed = send(socket, reply.body.mid(at, reply.chunk));
                if (stayed && at + reply.chunk < reply.body.size())
                    stayed = !gone(socket, reply.gapMs);
            }
            break;
        case Way::Cut:
            stayed = send(socket, head + reply.body.left(reply.body.size() / 2));
            break;
        }
        if (socket.state() == QAbstractSocket::ConnectedState) {
            socket.disconnectFromHost();
            if (socket.state() != QAbstractSocket::UnconnectedState)
                socket.waitForDisconnected(2000);
        }
        return stayed;
    }

    // Writes all of data; false when the connection broke.
    static bool send(QTcpSocket& socket, const QByteArray& data)
    {
        if (socket.state() != QAbstractSocket::ConnectedState || socket.write(data) != data.size())
            return false;
        while (socket.bytesToWrite() > 0)
            if (!socket.waitForBytesWritten(2000))
                return false;
        return true;
    }

    // Waits up to ms for the client to close the connection; true when it has.
    static bool gone(QTcpSocket& socket, int ms)
    {
        if (socket.state() != QAbstractSocket::ConnectedState)
            return true;
        if (socket.waitForDisconnected(ms))
            return true;
        socket.readAll(); // nothing more is expected; keep the buffer empty
        return socket.state() != QAbstractSocket::ConnectedState;
    }

    std::map<QByteArray, Reply> m_replies;
    std::thread m_thread;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<Request> m_requests;
};

} // namespace vx::test
