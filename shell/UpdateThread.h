// The background check for a new version of the program.
#pragma once
#include <windows.h>

#include <string>

#include "win/WorkerThread.h"

// The time-out, in milliseconds, for connecting to the update server and for each wait on it.
inline constexpr DWORD kUpdateTimeoutMs = 3000;

// Fetches the version file over HTTP and tells the user, in a message box of its own thread,
// when the file names this product with a version text other than the program's own. Every
// failure is silent. Deletes itself when its thread ends.
class CUpdateThread : public win::CWorkerThread {
public:
    // url: the version file's http:// address. connectTimeoutMs bounds the connection (Wine
    // ignores it); receiveTimeoutMs bounds each send and each wait for data.
    CUpdateThread(std::wstring url, DWORD connectTimeoutMs, DWORD receiveTimeoutMs);

    // Creates and starts a check; false when its thread could not be created.
    static bool Start(std::wstring url, DWORD connectTimeoutMs, DWORD receiveTimeoutMs);

protected:
    // The whole check; true when the version file named this product.
    bool InitInstance() override;

private:
    // The version file's bytes; false on any internet failure or an over-long answer.
    bool Fetch(std::string& bytes) const;

    std::wstring m_strUrl;
    DWORD m_nConnectTimeout;
    DWORD m_nReceiveTimeout;
};

// Starts the check against the build's update address (KAVRIN_UPDATE_URL) and returns at once.
// Nothing comes back: the check shows its message itself and ends on its own.
void StartUpdateCheck();
