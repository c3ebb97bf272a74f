#include "LocalHttpServer.h"

#include <ws2tcpip.h>

namespace test {

namespace {

struct CWinsock {
    CWinsock()
    {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~CWinsock() { ::WSACleanup(); }
};

void UseWinsock()
{
    static CWinsock winsock;
}

// True when s has something to read (or was closed) within timeoutMs.
bool Readable(SOCKET s, int timeoutMs)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    return ::select(0, &set, nullptr, nullptr, &tv) > 0;
}

SOCKET ListenOn(USHORT port, USHORT& boundPort)
{
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return s;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    int length = sizeof address;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(s, 8) != 0
        || ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::closesocket(s);
        return INVALID_SOCKET;
    }
    boundPort = ntohs(address.sin_port);
    return s;
}

} // namespace

CLocalHttpServer::CLocalHttpServer(USHORT port)
{
    UseWinsock();
    m_socket = ListenOn(port, m_nPort);
    if (m_socket != INVALID_SOCKET)
        m_thread = std::thread(&CLocalHttpServer::Serve, this);
}

CLocalHttpServer::~CLocalHttpServer()
{
    m_bStop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_socket != INVALID_SOCKET)
        ::closesocket(m_socket);
}

std::wstring CLocalHttpServer::Url() const
{
    return L"http://127.0.0.1:" + std::to_wstring(m_nPort) + L"/Kavrin/version.txt";
}

void CLocalHttpServer::Respond(const std::string& response)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_strResponse = response;
    m_bSilent = false;
}

void CLocalHttpServer::StaySilent()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bSilent = true;
}

std::vector<std::string> CLocalHttpServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

std::string CLocalHttpServer::Ok(const std::string& body)
{
    return WithStatus("200 OK", body);
}

std::string CLocalHttpServer::WithStatus(const std::string& status, const std::string& body)
{
    return "HTTP/1.0 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size())
           + "\r\n\r\n" + body;
}

USHORT CLocalHttpServer::ClosedPort()
{
    UseWinsock();
    USHORT port = 0;
    const SOCKET s = ListenOn(0, port);
    if (s != INVALID_SOCKET)
        ::closesocket(s);
    return port;
}

void CLocalHttpServer::Serve()
{
    while (!m_bStop) {
        if (!Readable(m_socket, 20))
            continue;
        const SOCKET client = ::accept(m_socket, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        Answer(client);
        ::closesocket(client);
    }
}

void CLocalHttpServer::Answer(SOCKET client)
{
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos && !m_bStop) {
        if (!Readable(client, 20))
            continue;
        const int got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0)
            return;
        head.append(buffer, static_cast<std::size_t>(got));
    }
    std::string response;
    bool silent = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(head.substr(0, head.find("\r\n\r\n") + 2));
        response = m_strResponse;
        silent = m_bSilent;
    }
    if (silent) {
        // Until the client gives up or the server stops.
        while (!m_bStop) {
            if (Readable(client, 20) && ::recv(client, buffer, sizeof buffer, 0) <= 0)
                return;
        }
        return;
    }
    std::size_t sent = 0;
    while (sent < response.size()) {
        const int n = ::send(client, response.data() + sent, static_cast<int>(response.size() - sent), 0);
        if (n <= 0)
            return;
        sent += static_cast<std::size_t>(n);
    }
    ::shutdown(client, SD_SEND);
    // Let the client read to the end before the socket closes.
    while (Readable(client, 1000) && ::recv(client, buffer, sizeof buffer, 0) > 0) {
    }
}

} // namespace test
