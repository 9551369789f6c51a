#include "LoopbackHttpServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kittest
{

namespace
{
    constexpr size_t maxHeaderBytes = 64 * 1024;
    constexpr size_t maxBodyBytes = 4 * 1024 * 1024;

    bool waitReadable (int socket, int timeoutMs)
    {
        pollfd p { socket, POLLIN, 0 };
        return ::poll (&p, 1, timeoutMs) > 0;
    }

    bool sendAll (int socket, const std::string& data)
    {
        size_t sent = 0;
        while (sent < data.size())
        {
            const auto n = ::send (socket, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            sent += (size_t) n;
        }
        return true;
    }

    std::string lower (std::string s)
    {
        std::transform (s.begin(), s.end(), s.begin(), [] (unsigned char c) { return (char) std::tolower (c); });
        return s;
    }

    std::string trim (const std::string& s)
    {
        const auto b = s.find_first_not_of (" \t");
        const auto e = s.find_last_not_of (" \t\r");
        return b == std::string::npos ? std::string() : s.substr (b, e - b + 1);
    }

    const char* reasonFor (int status)
    {
        switch (status)
        {
            case 200: return "OK";
            case 201: return "Created";
            case 400: return "Bad Request";
            case 404: return "Not Found";
            case 429: return "Too Many Requests";
            case 500: return "Internal Server Error";
            case 503: return "Service Unavailable";
            default:  return "Status";
        }
    }
} // namespace

LoopbackHttpServer::LoopbackHttpServer (const char* loopbackAddress) : address (loopbackAddress)
{
    respondWith ({});

    listenSocket = ::socket (AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenSocket < 0)
        return;

    sockaddr_in socketAddress {};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = 0;

    // Only ever a loopback address.
    if (::inet_pton (AF_INET, address.c_str(), &socketAddress.sin_addr) != 1
        || (ntohl (socketAddress.sin_addr.s_addr) >> 24) != 127)
    {
        ::close (listenSocket);
        listenSocket = -1;
        return;
    }

    socklen_t length = sizeof (socketAddress);

    if (::bind (listenSocket, (sockaddr*) &socketAddress, sizeof (socketAddress)) != 0
        || ::listen (listenSocket, 16) != 0
        || ::getsockname (listenSocket, (sockaddr*) &socketAddress, &length) != 0)
    {
        ::close (listenSocket);
        listenSocket = -1;
        return;
    }

    port = ntohs (socketAddress.sin_port);
    acceptThread = std::thread ([this] { acceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    stopping = true;

    if (acceptThread.joinable())
        acceptThread.join();

    std::vector<std::thread> toJoin;
    {
        std::lock_guard<std::mutex> sl (lock);
        toJoin.swap (workers);
    }

    for (auto& t : toJoin)
        t.join();

    if (listenSocket >= 0)
        ::close (listenSocket);
}

std::string LoopbackHttpServer::url (const std::string& path) const
{
    return "http://" + address + ":" + std::to_string (port) + path;
}

void LoopbackHttpServer::setResponder (Responder r)
{
    std::lock_guard<std::mutex> sl (lock);
    responder = std::move (r);
}

std::vector<LoopbackHttpServer::Request> LoopbackHttpServer::getRequests() const
{
    std::lock_guard<std::mutex> sl (lock);
    return requests;
}

bool LoopbackHttpServer::waitForRequests (size_t n, int timeoutMs) const
{
    std::unique_lock<std::mutex> sl (lock);
    return requestArrived.wait_for (sl, std::chrono::milliseconds (timeoutMs), [&] { return requests.size() >= n; });
}

void LoopbackHttpServer::acceptLoop()
{
    while (! stopping)
    {
        if (! waitReadable (listenSocket, 20))
            continue;

        const int client = ::accept4 (listenSocket, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;

        ++connections;
        std::lock_guard<std::mutex> sl (lock);
        workers.emplace_back ([this, client] { serve (client); ::close (client); });
    }
}

void LoopbackHttpServer::serve (int socket)
{
    std::string data;
    char buffer[4096];
    size_t headerEnd = std::string::npos;

    // Bounded: the header is at most maxHeaderBytes and each wait at most 5 s.
    while ((headerEnd = data.find ("\r\n\r\n")) == std::string::npos)
    {
        if (stopping || data.size() > maxHeaderBytes || ! waitReadable (socket, 5000))
            return;

        const auto n = ::recv (socket, buffer, sizeof (buffer), 0);
        if (n <= 0)
            return;

        data.append (buffer, (size_t) n);
    }

    Request request;
    const auto head = data.substr (0, headerEnd);
    size_t lineStart = 0;
    bool first = true;

    while (lineStart <= head.size())
    {
        auto lineEnd = head.find ("\r\n", lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = head.size();

        const auto line = head.substr (lineStart, lineEnd - lineStart);

        if (first)
        {
            const auto s1 = line.find (' ');
            const auto s2 = line.find (' ', s1 + 1);
            request.method = line.substr (0, s1);
            request.path = line.substr (s1 + 1, s2 - s1 - 1);
            first = false;
        }
        else if (const auto colon = line.find (':'); colon != std::string::npos)
        {
            request.headers[lower (trim (line.substr (0, colon)))] = trim (line.substr (colon + 1));
        }

        lineStart = lineEnd + 2;
    }

    request.body = data.substr (headerEnd + 4);
    const auto contentLength = std::min ((size_t) std::strtoull (request.header ("content-length").c_str(), nullptr, 10), maxBodyBytes);

    if (lower (request.header ("expect")) == "100-continue" && request.body.size() < contentLength)
        sendAll (socket, "HTTP/1.1 100 Continue\r\n\r\n");

    while (request.body.size() < contentLength)
    {
        if (stopping || ! waitReadable (socket, 5000))
            return;

        const auto n = ::recv (socket, buffer, sizeof (buffer), 0);
        if (n <= 0)
            return;

        request.body.append (buffer, (size_t) n);
    }

    Responder respond;
    {
        std::lock_guard<std::mutex> sl (lock);
        requests.push_back (request);
        respond = responder;
    }
    requestArrived.notify_all();

    const auto response = respond (request);

    // A delayed answer watches the connection: a client that gives up closes it, and that is
    // recorded, so tests can tell a request that was aborted from one that was waited out.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds (response.delayMs);

    while (std::chrono::steady_clock::now() < deadline)
    {
        if (stopping)
            return;

        if (waitReadable (socket, 10))
        {
            const auto n = ::recv (socket, buffer, sizeof (buffer), 0);
            if (n <= 0)
            {
                ++abortedByClient;
                return;
            }
        }
    }

    if (response.raw)
    {
        sendAll (socket, response.body);
        return;
    }

    std::string out = "HTTP/1.1 " + std::to_string (response.status) + " " + reasonFor (response.status) + "\r\n";
    out += "Content-Type: " + response.contentType + "\r\n";
    out += "Content-Length: " + std::to_string (response.body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    out += response.body;
    sendAll (socket, out);
}

} // namespace kittest
