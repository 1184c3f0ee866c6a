#pragma once
// A scripted HTTP server on 127.0.0.1 for the update tests, running in a thread of the
// test process. It is bounded: it answers at most a given number of requests, stops by
// itself after a given time, never sends more than 32 MiB on one connection, and stops
// when it is destroyed.
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

struct HttpResponse {
    enum class Length {
        Exact,     // Content-Length is the body's size
        None,      // no Content-Length; the connection is closed after the body
        Truncated, // announces the body's size but sends only its first half, then closes
        Longer,    // announces the body's size but sends 4096 bytes more
    };
    int status = 200;
    std::string body;
    Length length = Length::Exact;
    // The body repeats without end (no Content-Length) until the client goes away.
    bool endless = false;
};

class LoopbackHttpServer {
public:
    LoopbackHttpServer() = default;
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // Listens on a free loopback port. Also clears the http_proxy variable of this process
    // so that WinINet talks to the server directly.
    bool Start(unsigned maxRequests = 64, unsigned long lifetimeMs = 120000);
    void Stop();

    // The answer for a path (repeated slashes count as one); other paths get 404 with an
    // HTML page.
    void Route(const std::string& path, HttpResponse response);

    // "http://127.0.0.1:<port>/"
    std::wstring BaseUrl() const;
    // The head of every request received, in order.
    std::vector<std::string> Requests() const;

private:
    void Serve(unsigned maxRequests, unsigned long lifetimeMs);
    void Answer(uintptr_t client);

    std::atomic<bool> running_{false};
    uintptr_t listener_ = ~uintptr_t(0);
    unsigned short port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::map<std::string, HttpResponse> routes_;
    std::vector<std::string> requests_;
};

} // namespace testsupport
