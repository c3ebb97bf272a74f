#include "shell/UpdateThread.h"

#include <wininet.h>

#include <utility>

#include "BuildSettings.h"
#include "app/AppArgs.h"
#include "shell/VersionFile.h"
#include "win/InternetHandle.h"

namespace {

// The server's answer is read in pieces of this size.
constexpr DWORD kPieceBytes = 400;

void SetTimeouts(HINTERNET handle, DWORD connectMs, DWORD receiveMs)
{
    // Wine ignores the connect time-out, and honours the receive time-out only on a request
    // handle; the session gets them too, for Windows and for the connection.
    ::InternetSetOptionW(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connectMs, sizeof connectMs);
    ::InternetSetOptionW(handle, INTERNET_OPTION_SEND_TIMEOUT, &receiveMs, sizeof receiveMs);
    ::InternetSetOptionW(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &receiveMs, sizeof receiveMs);
}

std::wstring FromSystemCodePage(const std::string& bytes)
{
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    const int units = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), units);
    return text;
}

} // namespace

CUpdateThread::CUpdateThread(std::wstring url, DWORD connectTimeoutMs, DWORD receiveTimeoutMs)
    : m_strUrl(std::move(url)), m_nConnectTimeout(connectTimeoutMs), m_nReceiveTimeout(receiveTimeoutMs)
{
}

bool CUpdateThread::Start(std::wstring url, DWORD connectTimeoutMs, DWORD receiveTimeoutMs)
{
    auto* thread = new CUpdateThread(std::move(url), connectTimeoutMs, receiveTimeoutMs);
    if (!thread->CreateThread()) {
        delete thread;
        return false;
    }
    thread->Resume();
    return true;
}

bool CUpdateThread::Fetch(std::string& bytes) const
{
    win::CInternetHandle session(
        ::InternetOpenW(L"KavrinUpdate", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session)
        return false;
    SetTimeouts(session.Get(), m_nConnectTimeout, m_nReceiveTimeout);

    wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    wchar_t path[INTERNET_MAX_PATH_LENGTH + 1] = {};
    wchar_t extra[INTERNET_MAX_PATH_LENGTH + 1] = {};
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH + 1;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = INTERNET_MAX_PATH_LENGTH + 1;
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = INTERNET_MAX_PATH_LENGTH + 1;
    if (!::InternetCrackUrlW(m_strUrl.c_str(), 0, 0, &parts)
        || (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS))
        return false;
    const std::wstring object = std::wstring(path) + extra;

    win::CInternetHandle connection(::InternetConnectW(session.Get(), host, parts.nPort, nullptr, nullptr,
                                                       INTERNET_SERVICE_HTTP, 0, 1));
    if (!connection)
        return false;
    DWORD flags = INTERNET_FLAG_EXISTING_CONNECT;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS)
        flags |= INTERNET_FLAG_SECURE;
    win::CInternetHandle request(::HttpOpenRequestW(connection.Get(), L"GET", object.c_str(), L"HTTP/1.0", nullptr,
                                                    nullptr, flags, 1));
    if (!request)
        return false;
    SetTimeouts(request.Get(), m_nConnectTimeout, m_nReceiveTimeout);
    if (!::HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0))
        return false;

    // Whatever the status: an error page is read like any other answer.
    kavrin::CVersionFileBody body;
    char piece[kPieceBytes];
    for (;;) {
        DWORD got = 0;
        if (!::InternetReadFile(request.Get(), piece, kPieceBytes, &got))
            return false;
        if (got == 0)
            break;
        if (!body.AppendPiece(piece, got))
            return false;
    }
    bytes = body.Bytes();
    return true;
}

bool CUpdateThread::InitInstance()
{
    std::string bytes;
    if (!Fetch(bytes))
        return false;
    const kavrin::CUpdateFinding finding =
        kavrin::JudgeVersionFile(FromSystemCodePage(bytes), CAppArgs::GetProgramVersion());
    if (finding.verdict == kavrin::EUpdateVerdict::OtherVersion) {
        const std::wstring message = kavrin::NewVersionMessage(finding.serverVersion);
        ::MessageBoxW(nullptr, message.c_str(), L"Kavrin", MB_OK | MB_ICONINFORMATION);
    }
    return finding.verdict != kavrin::EUpdateVerdict::NotOurProduct;
}

void StartUpdateCheck()
{
    CUpdateThread::Start(L"" KAVRIN_UPDATE_URL, kUpdateTimeoutMs, kUpdateTimeoutMs);
}
