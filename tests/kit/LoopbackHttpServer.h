#pragma once

// A small HTTP/1.1 server on 127.0.0.1 for the kit's network tests: every connection is
// answered by a responder function (status, body, an optional delay, or raw bytes that are
// not HTTP at all), and every request and connection is recorded.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kittest
{

class LoopbackHttpServer
{
public:
    struct Request
    {
        std::string method, path, body;
        std::map<std::string, std::string> headers;   // names in lower case

        std::string header (const std::string& lowerCaseName) const
        {
            auto found = headers.find (lowerCaseName);
            return found == headers.end() ? std::string() : found->second;
        }
    };

    struct Response
    {
        int status = 200;
        std::string body = "{}";
        std::string contentType = "application/json";
        int delayMs = 0;                 // before anything is sent
        bool raw = false;                // send body as it is, with no status line or headers
    };

    using Responder = std::function<Response (const Request&)>;

    // Listens on a loopback address: 127.0.0.1, or another one of 127.0.0.0/8 where a test
    // needs an address that is loopback without being one of the names the kit treats as such.
    explicit LoopbackHttpServer (const char* loopbackAddress = "127.0.0.1");
    ~LoopbackHttpServer();

    bool isRunning() const { return listenSocket >= 0; }
    int getPort() const { return port; }
    std::string url (const std::string& path) const;

    void setResponder (Responder);
    void respondWith (const Response& response) { setResponder ([response] (const Request&) { return response; }); }

    std::vector<Request> getRequests() const;
    int getConnectionCount() const { return connections.load(); }
    int getAbortedByClientCount() const { return abortedByClient.load(); }

    // Waits (bounded) until at least n requests have arrived.
    bool waitForRequests (size_t n, int timeoutMs) const;

private:
    void acceptLoop();
    void serve (int socket);

    int listenSocket = -1;
    int port = 0;
    std::string address;
    std::atomic<bool> stopping { false };
    std::atomic<int> connections { 0 }, abortedByClient { 0 };
    mutable std::mutex lock;
    mutable std::condition_variable requestArrived;
    Responder responder;
    std::vector<Request> requests;
    std::vector<std::thread> workers;
    std::thread acceptThread;
};

} // namespace kittest
