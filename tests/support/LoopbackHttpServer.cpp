#include <winsock2.h>
#include <ws2tcpip.h>

#include "LoopbackHttpServer.h"

#include <algorithm>
#include <cstdlib>

namespace testsupport {

namespace {

constexpr size_t kMaxHead = 16 * 1024;
constexpr size_t kMaxSentPerConnection = 32u * 1024 * 1024;
constexpr DWORD kSocketTimeoutMs = 5000;

std::string CollapseSlashes(const std::string& path)
{
    std::string out;
    for (char c : path) {
        if (c == '/' && !out.empty() && out.back() == '/')
            continue;
        out.push_back(c);
    }
    return out;
}

bool SendAll(SOCKET s, const char* data, size_t size)
{
    while (size > 0) {
        const int n = send(s, data, static_cast<int>(std::min<size_t>(size, 64 * 1024)), 0);
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

const char* Reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

} // namespace

LoopbackHttpServer::~LoopbackHttpServer() { Stop(); }

bool LoopbackHttpServer::Start(unsigned maxRequests, unsigned long lifetimeMs)
{
    // WinINet takes a proxy from this variable when the registry names none.
    _wputenv(L"http_proxy=");
    SetEnvironmentVariableW(L"http_proxy", nullptr);

    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return false;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return false;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0; // the system picks a free port
    int size = sizeof(address);
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(s, 8) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        closesocket(s);
        return false;
    }
    listener_ = s;
    port_ = ntohs(address.sin_port);
    running_ = true;
    thread_ = std::thread([this, maxRequests, lifetimeMs] { Serve(maxRequests, lifetimeMs); });
    return true;
}

void LoopbackHttpServer::Stop()
{
    running_ = false;
    if (thread_.joinable())
        thread_.join();
    if (listener_ != ~uintptr_t(0)) {
        closesocket(static_cast<SOCKET>(listener_));
        listener_ = ~uintptr_t(0);
        WSACleanup();
    }
}

void LoopbackHttpServer::Route(const std::string& path, HttpResponse response)
{
    std::lock_guard<std::mutex> lock(mutex_);
    routes_[CollapseSlashes(path)] = std::move(response);
}

std::wstring LoopbackHttpServer::BaseUrl() const
{
    return L"http://127.0.0.1:" + std::to_wstring(port_) + L"/";
}

std::vector<std::string> LoopbackHttpServer::Requests() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void LoopbackHttpServer::Serve(unsigned maxRequests, unsigned long lifetimeMs)
{
    const SOCKET listener = static_cast<SOCKET>(listener_);
    const DWORD start = GetTickCount();
    unsigned served = 0;
    while (running_ && served < maxRequests && GetTickCount() - start < lifetimeMs) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener, &ready);
        timeval wait = {0, 100 * 1000};
        if (select(0, &ready, nullptr, nullptr, &wait) <= 0)
            continue;
        SOCKET client = accept(listener, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        ++served;
        const DWORD timeout = kSocketTimeoutMs;
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
        setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
        Answer(client);
        shutdown(client, SD_SEND);
        closesocket(client);
    }
    running_ = false;
}

void LoopbackHttpServer::Answer(uintptr_t socketValue)
{
    const SOCKET client = static_cast<SOCKET>(socketValue);
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < kMaxHead) {
        const int n = recv(client, buffer, sizeof(buffer), 0);
        if (n <= 0)
            return;
        head.append(buffer, n);
    }
    const size_t firstSpace = head.find(' ');
    const size_t secondSpace = head.find(' ', firstSpace + 1);
    if (firstSpace == std::string::npos || secondSpace == std::string::npos)
        return;
    const std::string path = CollapseSlashes(head.substr(firstSpace + 1, secondSpace - firstSpace - 1));

    HttpResponse response;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(head.substr(0, head.find("\r\n\r\n")));
        auto it = routes_.find(path);
        if (it != routes_.end()) {
            response = it->second;
        } else {
            response.status = 404;
            response.body = "<html><head><title>404 Not Found</title></head><body><h1>Not Found</h1></body></html>";
        }
    }

    std::string reply = "HTTP/1.1 " + std::to_string(response.status) + " " + Reason(response.status) + "\r\n";
    reply += response.status == 404 ? "Content-Type: text/html\r\n" : "Content-Type: application/octet-stream\r\n";
    reply += "Connection: close\r\n";
    if (!response.endless && response.length != HttpResponse::Length::None)
        reply += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    reply += "\r\n";
    if (!SendAll(client, reply.data(), reply.size()))
        return;

    if (response.endless) {
        if (response.body.empty())
            return;
        size_t sent = 0;
        while (running_ && sent < kMaxSentPerConnection &&
               SendAll(client, response.body.data(), response.body.size()))
            sent += response.body.size();
        return;
    }
    switch (response.length) {
    case HttpResponse::Length::Truncated:
        SendAll(client, response.body.data(), response.body.size() / 2);
        break;
    case HttpResponse::Length::Longer: {
        const std::string more = response.body + std::string(4096, 'X');
        SendAll(client, more.data(), more.size());
        break;
    }
    default:
        SendAll(client, response.body.data(), response.body.size());
        break;
    }
}

} // namespace testsupport
