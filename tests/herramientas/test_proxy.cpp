// The latency proxy: what it forwards arrives whole and in order, each way
// no sooner than the delay, and a closed side is passed on.
#include "proxy_latencia.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

int Escucha(int* puerto)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(s, 4) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) != 0)
        return -1;
    *puerto = ntohs(a.sin_port);
    return s;
}

int Conecta(int puerto)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(puerto));
    return ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 ? s : -1;
}

std::string LeeHastaCerrar(int s)
{
    std::string r;
    char buf[65536];
    for (ssize_t n; (n = ::recv(s, buf, sizeof buf, 0)) > 0;) r.append(buf, static_cast<size_t>(n));
    return r;
}

}  // namespace

TEST(ProxyLatencia, ForwardsEverythingBothWaysAfterTheDelay)
{
    int puertoEco = 0;
    const int escucha = Escucha(&puertoEco);
    ASSERT_GE(escucha, 0);
    // An echo server: sends back what it reads, then closes when the client does.
    std::thread eco([&] {
        const int c = ::accept(escucha, nullptr, nullptr);
        const std::string todo = LeeHastaCerrar(c);
        for (size_t hecho = 0; hecho < todo.size();) {
            const ssize_t n = ::send(c, todo.data() + hecho, todo.size() - hecho, MSG_NOSIGNAL);
            if (n <= 0) break;
            hecho += static_cast<size_t>(n);
        }
        ::close(c);
    });

    ProxyLatencia proxy;
    ASSERT_TRUE(proxy.Inicia(puertoEco, 20)) << proxy.error();
    const int cliente = Conecta(proxy.Puerto());
    ASSERT_GE(cliente, 0);
    // More than the proxy queues at once, so reading and writing must take turns.
    std::string datos;
    for (int i = 0; datos.size() < 3 * 1024 * 1024; ++i) datos += std::to_string(i) + ',';
    const auto inicio = std::chrono::steady_clock::now();
    std::thread envia([&] {
        for (size_t hecho = 0; hecho < datos.size();) {
            const ssize_t n = ::send(cliente, datos.data() + hecho, datos.size() - hecho, MSG_NOSIGNAL);
            if (n <= 0) break;
            hecho += static_cast<size_t>(n);
        }
        ::shutdown(cliente, SHUT_WR);
    });
    const std::string vuelta = LeeHastaCerrar(cliente);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - inicio).count();
    envia.join();
    eco.join();
    EXPECT_EQ(vuelta.size(), datos.size());
    EXPECT_TRUE(vuelta == datos) << "the bytes came back changed or out of order";
    EXPECT_GE(ms, 40) << "20 ms each way";
    ::close(cliente);
    ::close(escucha);
    proxy.Detiene();
}

TEST(ProxyLatencia, ListensOnLoopbackOnly)
{
    ProxyLatencia proxy;
    ASSERT_TRUE(proxy.Inicia(1, 0)) << proxy.error();
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    socklen_t n = sizeof a;
    // Whatever answers on the port is bound to 127.0.0.1: connecting there works...
    const int c = Conecta(proxy.Puerto());
    EXPECT_GE(c, 0);
    if (c >= 0) {
        ASSERT_EQ(::getpeername(c, reinterpret_cast<sockaddr*>(&a), &n), 0);
        EXPECT_EQ(ntohl(a.sin_addr.s_addr), INADDR_LOOPBACK);
        // ... and a target that refuses closes the client's side, without a hang.
        char b;
        EXPECT_LE(::recv(c, &b, 1, 0), 0);
        ::close(c);
    }
    ::close(s);
}
