#include "proxy_latencia.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Reloj = std::chrono::steady_clock;

struct Trozo {
    Reloj::time_point vence;
    std::string datos;
    size_t enviado = 0;
};

// One direction of a connection: what was read from `desde` and waits to go to `hacia`.
struct Sentido {
    int desde = -1, hacia = -1;
    std::deque<Trozo> cola;
    long enCola = 0;
    bool finLectura = false;    // `desde` has closed its side
    bool finEscritura = false;  // and that has been passed on to `hacia`
};

struct Conexion {
    Sentido ida, vuelta;  // client to server, server to client
    bool rota = false;
    ~Conexion()
    {
        if (ida.desde >= 0) ::close(ida.desde);
        if (ida.hacia >= 0) ::close(ida.hacia);
    }
    bool terminada() const { return rota || (ida.finEscritura && vuelta.finEscritura); }
};

void SinBloqueo(int s)
{
    ::fcntl(s, F_SETFL, ::fcntl(s, F_GETFL) | O_NONBLOCK);
    const int uno = 1;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &uno, sizeof uno);
}

sockaddr_in Loopback(int puerto)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(puerto));
    return a;
}

// Reads what `s.desde` has and queues it for later; false when the link broke.
bool Lee(Sentido& s, int retardoMs)
{
    char buf[65536];
    const ssize_t n = ::recv(s.desde, buf, sizeof buf, 0);
    if (n > 0) {
        s.cola.push_back(Trozo{Reloj::now() + std::chrono::milliseconds(retardoMs), std::string(buf, static_cast<size_t>(n))});
        s.enCola += n;
        return true;
    }
    if (n == 0) {
        s.finLectura = true;
        return true;
    }
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

// Sends what is due; false when the link broke.
bool Escribe(Sentido& s)
{
    const auto ahora = Reloj::now();
    while (!s.cola.empty() && s.cola.front().vence <= ahora) {
        Trozo& t = s.cola.front();
        const ssize_t n = ::send(s.hacia, t.datos.data() + t.enviado, t.datos.size() - t.enviado, MSG_NOSIGNAL);
        if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        t.enviado += static_cast<size_t>(n);
        s.enCola -= n;
        if (t.enviado < t.datos.size()) return true;
        s.cola.pop_front();
    }
    if (s.cola.empty() && s.finLectura && !s.finEscritura) {
        ::shutdown(s.hacia, SHUT_WR);
        s.finEscritura = true;
    }
    return true;
}

}  // namespace

bool ProxyLatencia::Inicia(int puertoDestino, int retardoMs, int puerto)
{
    Detiene();
    destino_ = puertoDestino;
    retardoMs_ = std::max(0, retardoMs);
    escucha_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const int uno = 1;
    ::setsockopt(escucha_, SOL_SOCKET, SO_REUSEADDR, &uno, sizeof uno);
    sockaddr_in a = Loopback(puerto);
    socklen_t largo = sizeof a;
    if (escucha_ < 0 || ::bind(escucha_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(escucha_, 16) != 0 ||
        ::getsockname(escucha_, reinterpret_cast<sockaddr*>(&a), &largo) != 0 || ::pipe(despertador_) != 0) {
        error_ = std::string("no se pudo escuchar en 127.0.0.1: ") + std::strerror(errno);
        if (escucha_ >= 0) ::close(escucha_);
        escucha_ = -1;
        return false;
    }
    puerto_ = ntohs(a.sin_port);
    SinBloqueo(escucha_);
    parar_ = false;
    hilo_ = std::thread([this] { Bucle(); });
    return true;
}

void ProxyLatencia::Detiene()
{
    if (!hilo_.joinable()) return;
    parar_ = true;
    const char c = 0;
    if (::write(despertador_[1], &c, 1) < 0) {
        // The loop also looks at the flag every 100 ms.
    }
    hilo_.join();
    ::close(escucha_);
    ::close(despertador_[0]);
    ::close(despertador_[1]);
    escucha_ = despertador_[0] = despertador_[1] = -1;
}

void ProxyLatencia::Bucle()
{
    std::vector<std::unique_ptr<Conexion>> conexiones;
    std::vector<pollfd> fds;
    while (!parar_) {
        // The next moment something falls due.
        int espera = 100;
        const auto ahora = Reloj::now();
        for (const auto& c : conexiones)
            for (const Sentido* s : {&c->ida, &c->vuelta})
                if (!s->cola.empty()) {
                    const auto falta =
                        std::chrono::duration_cast<std::chrono::milliseconds>(s->cola.front().vence - ahora).count();
                    espera = std::min<int>(espera, static_cast<int>(std::max<long long>(0, falta)));
                }

        fds.clear();
        fds.push_back({despertador_[0], POLLIN, 0});
        fds.push_back({escucha_, static_cast<short>(conexiones.size() < kMaxConexiones ? POLLIN : 0), 0});
        for (const auto& c : conexiones)
            for (const Sentido* s : {&c->ida, &c->vuelta}) {
                // Reading stops while too much waits; the sender's own buffers fill and it waits.
                const short lee = !s->finLectura && s->enCola < kMaxEnCola ? POLLIN : 0;
                const bool debido = !s->cola.empty() && s->cola.front().vence <= ahora;
                // A socket with nothing asked of it stays out of the poll (a negative fd is
                // skipped): a hung-up peer would otherwise wake the loop without pause.
                fds.push_back({lee ? s->desde : -1, lee, 0});
                fds.push_back({debido ? s->hacia : -1, static_cast<short>(debido ? POLLOUT : 0), 0});
            }
        if (::poll(fds.data(), fds.size(), espera) < 0 && errno != EINTR) break;
        if (fds[0].revents) break;

        if (fds[1].revents & POLLIN) {
            const int cliente = ::accept(escucha_, nullptr, nullptr);
            if (cliente >= 0) {
                const int servidor = ::socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in a = Loopback(destino_);
                if (servidor < 0 || ::connect(servidor, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
                    ::close(cliente);
                    if (servidor >= 0) ::close(servidor);
                } else {
                    SinBloqueo(cliente);
                    SinBloqueo(servidor);
                    auto c = std::make_unique<Conexion>();
                    c->ida.desde = c->vuelta.hacia = cliente;
                    c->ida.hacia = c->vuelta.desde = servidor;
                    conexiones.push_back(std::move(c));
                }
            }
        }
        size_t i = 2;
        const int retardo = retardoMs_;
        for (auto& c : conexiones) {
            for (Sentido* s : {&c->ida, &c->vuelta}) {
                if (i + 1 >= fds.size()) break;
                const pollfd& lee = fds[i++];
                const pollfd& escribe = fds[i++];
                // A hang-up is the end of what that side sends, told by recv; what is still
                // queued for it goes out (or fails in send). Only an error breaks the link.
                if ((lee.revents & (POLLIN | POLLHUP)) && !Lee(*s, retardo)) c->rota = true;
                if ((lee.revents | escribe.revents) & POLLERR) c->rota = true;
            }
            // Due data goes out even when poll did not ask (it fell due meanwhile).
            if (!c->rota && (!Escribe(c->ida) || !Escribe(c->vuelta))) c->rota = true;
        }
        conexiones.erase(std::remove_if(conexiones.begin(), conexiones.end(), [](const auto& c) { return c->terminada(); }),
                         conexiones.end());
    }
}
