// The update check with the real WinINet code against an HTTP server on 127.0.0.1.
#include "shell/UpdateThread.h"

#include <wininet.h>
#include <gtest/gtest.h>

#include "BuildSettings.h"
#include "LocalHttpServer.h"
#include "TestSupport.h"
#include "app/AppArgs.h"
#include "win/Handle.h"

namespace {

const std::wstring kOwnVersion = L"" KAVRIN_VERSION_TEXT;
const std::string kOwnVersionBytes = KAVRIN_VERSION_TEXT;

struct CCheckOutcome {
    bool ended = false;
    std::vector<test::MessageBoxSeen> boxes;
    DWORD elapsedMs = 0;
};

// Runs one check on its own thread, answering its message box with OK, and waits for its end.
CCheckOutcome RunCheck(const std::wstring& url, DWORD receiveTimeoutMs = 5000, DWORD waitMs = 15000)
{
    CCheckOutcome outcome;
    auto* thread = new CUpdateThread(url, kUpdateTimeoutMs, receiveTimeoutMs);
    EXPECT_TRUE(thread->CreateThread());
    win::CHandle handle(thread->DuplicateThreadHandle());
    test::CMessageBoxAnswerer answerer(IDOK, true);
    const DWORD start = ::GetTickCount();
    thread->Resume();
    outcome.ended = ::WaitForSingleObject(handle.Get(), waitMs) == WAIT_OBJECT_0;
    outcome.elapsedMs = ::GetTickCount() - start;
    outcome.boxes = answerer.Seen();
    return outcome;
}

std::wstring Message(const std::wstring& version)
{
    return L"There are a new version available (" + version
           + L"). Please visit the homepage and download the new version.";
}

TEST(ProgramVersion, IsTheBuildsVersionAndOutlivesTheArgumentHolder)
{
    EXPECT_EQ(CAppArgs::GetProgramVersion(), kOwnVersion);
    CAppArgs::Instance();
    CAppArgs::Release();
    EXPECT_EQ(CAppArgs::GetProgramVersion(), kOwnVersion);
}

TEST(UpdateCheck, AnswersOfTheServer)
{
    // A piece is 400 bytes: a zero byte drops the rest of its own piece only.
    std::string zeroInPiece = std::string("x\0", 2) + "product=Other\r\n";
    zeroInPiece.resize(400, 'y');
    zeroInPiece += "product=Kavrin\r\nversion=2.0\r\n";
    std::string atTheBound = "product=Kavrin\r\nversion=3.0\r\n";
    atTheBound.resize(65536, ' ');
    const std::string pastTheBound = atTheBound + " ";

    struct Case {
        const char* name;
        std::string response;
        const wchar_t* shown;  // the version named by the message; null: no message
    };
    const Case cases[] = {
        {"same version", test::CLocalHttpServer::Ok("product=Kavrin\r\nversion=" + kOwnVersionBytes + "\r\n"), nullptr},
        {"newer version", test::CLocalHttpServer::Ok("product=Kavrin\r\nversion=1.0.0.2\r\n"), L"1.0.0.2"},
        {"older version", test::CLocalHttpServer::Ok("product=Kavrin\r\nversion=0.9.0.0\r\n"), L"0.9.0.0"},
        {"LF only", test::CLocalHttpServer::Ok("product=Kavrin\nversion=1.0.0.2\n"), nullptr},
        {"product in capitals", test::CLocalHttpServer::Ok("product=KAVRIN\r\nversion=1.1\r\n"), L"1.1"},
        {"product with a trailing space", test::CLocalHttpServer::Ok("product=Kavrin \r\nversion=1.1\r\n"), nullptr},
        {"key with a capital", test::CLocalHttpServer::Ok("Product=Kavrin\r\nversion=1.1\r\n"), nullptr},
        {"key inside a line", test::CLocalHttpServer::Ok("# product=Kavrin\r\nnew version=1.2\r\n"), L"1.2"},
        {"version last without CR", test::CLocalHttpServer::Ok("product=Kavrin\r\nversion=1.3"), L""},
        {"zero byte inside a piece", test::CLocalHttpServer::Ok(zeroInPiece), L"2.0"},
        {"other product", test::CLocalHttpServer::Ok("product=Other\r\nversion=1.1\r\n"), nullptr},
        {"no product", test::CLocalHttpServer::Ok("version=1.1\r\n"), nullptr},
        {"no version", test::CLocalHttpServer::Ok("product=Kavrin\r\n"), nullptr},
        {"empty body", test::CLocalHttpServer::Ok(""), nullptr},
        {"404 page", test::CLocalHttpServer::WithStatus("404 Not Found", "<h1>Not Found</h1>"), nullptr},
        {"error status with entries",
         test::CLocalHttpServer::WithStatus("500 Internal Server Error", "product=Kavrin\r\nversion=1.4\r\n"), L"1.4"},
        {"64 KiB exactly", test::CLocalHttpServer::Ok(atTheBound), L"3.0"},
        {"past 64 KiB", test::CLocalHttpServer::Ok(pastTheBound), nullptr},
    };
    // One address for all: each answer must come from the server, never from a cache.
    test::CLocalHttpServer server;
    ASSERT_TRUE(server.Listening());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.Respond(c.response);
        const CCheckOutcome outcome = RunCheck(server.Url());
        ASSERT_TRUE(outcome.ended);
        if (!c.shown) {
            EXPECT_TRUE(outcome.boxes.empty());
            continue;
        }
        ASSERT_EQ(outcome.boxes.size(), 1u);
        EXPECT_EQ(outcome.boxes[0].caption, L"Kavrin");
        EXPECT_EQ(outcome.boxes[0].text, Message(c.shown));
        EXPECT_EQ(outcome.boxes[0].owner, nullptr);
        EXPECT_EQ(outcome.boxes[0].buttons, std::vector<int>{IDOK});
    }
    EXPECT_EQ(server.Requests().size(), std::size(cases));
}

TEST(UpdateCheck, RequestsTheVersionFileAsKavrinUpdateOverHttp10)
{
    test::CLocalHttpServer server;
    ASSERT_TRUE(server.Listening());
    server.Respond(test::CLocalHttpServer::Ok("product=Kavrin\r\nversion=" + kOwnVersionBytes + "\r\n"));
    ASSERT_TRUE(RunCheck(server.Url()).ended);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].substr(0, requests[0].find("\r\n")), "GET /Kavrin/version.txt HTTP/1.0");
    EXPECT_NE(requests[0].find("\r\nUser-Agent: KavrinUpdate\r\n"), std::string::npos) << requests[0];
}

TEST(UpdateCheck, ClosedPortEndsSilentlyAndQuickly)
{
    const USHORT port = test::CLocalHttpServer::ClosedPort();
    ASSERT_NE(port, 0);
    const CCheckOutcome outcome =
        RunCheck(L"http://127.0.0.1:" + std::to_wstring(port) + L"/Kavrin/version.txt", 5000, 10000);
    EXPECT_TRUE(outcome.ended);
    EXPECT_TRUE(outcome.boxes.empty());
    EXPECT_LT(outcome.elapsedMs, 3000u);
}

TEST(UpdateCheck, SilentServerEndsAfterTheReceiveTimeout)
{
    test::CLocalHttpServer server;
    ASSERT_TRUE(server.Listening());
    server.StaySilent();
    const CCheckOutcome outcome = RunCheck(server.Url(), 400, 10000);
    EXPECT_TRUE(outcome.ended);
    EXPECT_TRUE(outcome.boxes.empty());
    EXPECT_GE(outcome.elapsedMs, 350u);
    EXPECT_LT(outcome.elapsedMs, 5000u);
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(UpdateCheck, MalformedAddressesEndSilently)
{
    for (const wchar_t* url : {L"", L"not an address", L"ftp://127.0.0.1/Kavrin/version.txt"}) {
        SCOPED_TRACE(testing::Message() << "case " << url);
        const CCheckOutcome outcome = RunCheck(url);
        EXPECT_TRUE(outcome.ended);
        EXPECT_TRUE(outcome.boxes.empty());
    }
}

// The test build's address is on this machine: the preset's port, where a test may listen.
TEST(UpdateCheck, TestBuildAsksTheLocalMachine)
{
    wchar_t host[256] = {};
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = 256;
    parts.dwUrlPathLength = 1;
    ASSERT_TRUE(::InternetCrackUrlW(L"" KAVRIN_UPDATE_URL, 0, 0, &parts));
    EXPECT_EQ(std::wstring(host), L"127.0.0.1");
    EXPECT_EQ(std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength), L"/Kavrin/version.txt");

    // StartUpdateCheck uses that address. The server answers with our own version, so no
    // program started meanwhile by another test shows a message.
    test::CLocalHttpServer server(parts.nPort);
    ASSERT_TRUE(server.Listening()) << "port " << parts.nPort << " is taken";
    server.Respond(test::CLocalHttpServer::Ok("product=Kavrin\r\nversion=" + kOwnVersionBytes + "\r\n"));
    StartUpdateCheck();
    EXPECT_TRUE(test::PumpUntil([&] { return !server.Requests().empty(); }, 10000));
    const auto requests = server.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].substr(0, requests[0].find("\r\n")), "GET /Kavrin/version.txt HTTP/1.0");
}

} // namespace
