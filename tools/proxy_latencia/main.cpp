// proxy_latencia: holds the data of every connection a fixed time each way,
// to try the program across a slow link on one machine.
//   proxy_latencia <puerto destino> <ms por sentido> [puerto de escucha]
// Listens on 127.0.0.1 and forwards to 127.0.0.1 only; Ctrl+C stops it.
#include "proxy_latencia.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "uso: %s <puerto destino> <ms por sentido> [puerto de escucha]\n", argv[0]);
        return 2;
    }
    ProxyLatencia proxy;
    if (!proxy.Inicia(std::atoi(argv[1]), std::atoi(argv[2]), argc > 3 ? std::atoi(argv[3]) : 0)) {
        std::fprintf(stderr, "%s\n", proxy.error().c_str());
        return 1;
    }
    std::printf("127.0.0.1:%d -> 127.0.0.1:%s, %s ms por sentido\n", proxy.Puerto(), argv[1], argv[2]);
    std::fflush(stdout);
    sigset_t s;
    sigemptyset(&s);
    sigaddset(&s, SIGINT);
    sigaddset(&s, SIGTERM);
    sigprocmask(SIG_BLOCK, &s, nullptr);
    int sig = 0;
    sigwait(&s, &sig);
    return 0;
}
