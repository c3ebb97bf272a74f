// A small HTTP server on 127.0.0.1 for tests of the update check, on a thread of its own.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test {

class CLocalHttpServer {
public:
    // Listens on 127.0.0.1 at port (0: a free port the system picks). Check Listening().
    explicit CLocalHttpServer(USHORT port = 0);
    // Stops listening and drops a held connection.
    ~CLocalHttpServer();
    CLocalHttpServer(const CLocalHttpServer&) = delete;
    CLocalHttpServer& operator=(const CLocalHttpServer&) = delete;

    bool Listening() const { return m_socket != INVALID_SOCKET; }
    USHORT Port() const { return m_nPort; }
    // http://127.0.0.1:port/Kavrin/version.txt
    std::wstring Url() const;

    // Every following connection gets these bytes (status line, headers, body), then is closed.
    void Respond(const std::string& response);
    // Following connections are read and then held open without an answer until the server stops.
    void StaySilent();
    // The heads of the requests received so far (request line and header lines).
    std::vector<std::string> Requests() const;

    // A whole "200 OK" HTTP/1.0 response carrying body.
    static std::string Ok(const std::string& body);
    // A whole response with the given status line ("404 Not Found") carrying body.
    static std::string WithStatus(const std::string& status, const std::string& body);
    // A port on 127.0.0.1 where nothing listens (it was free a moment ago).
    static USHORT ClosedPort();

private:
    void Serve();
    void Answer(SOCKET client);

    SOCKET m_socket = INVALID_SOCKET;
    USHORT m_nPort = 0;
    std::atomic<bool> m_bStop{false};
    mutable std::mutex m_mutex;
    std::string m_strResponse;
    bool m_bSilent = false;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

} // namespace test
