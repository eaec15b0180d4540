#pragma once
// A latency proxy for measuring the program across a slow link on one
// machine: it listens on loopback, forwards every connection to a port on
// loopback, and holds each piece of data for a fixed time in each direction
// (15 ms each way gives a 30 ms round trip, a typical branch link). It only
// ever binds and connects to 127.0.0.1, keeps at most kMaxConexiones
// connections and kMaxEnCola bytes waiting per direction (a side that sends
// faster than the delay drains is simply not read until it does), and runs
// on one thread of its own until stopped.
#include <atomic>
#include <string>
#include <thread>

class ProxyLatencia {
public:
    static constexpr int kMaxConexiones = 32;
    static constexpr long kMaxEnCola = 8L * 1024 * 1024;

    ProxyLatencia() = default;
    ~ProxyLatencia() { Detiene(); }
    ProxyLatencia(const ProxyLatencia&) = delete;
    ProxyLatencia& operator=(const ProxyLatencia&) = delete;

    /// Starts forwarding to 127.0.0.1:`puertoDestino`, holding data
    /// `retardoMs` in each direction; `puerto` 0 lets the system choose the
    /// listening port. False (with `error()`) when it cannot listen.
    bool Inicia(int puertoDestino, int retardoMs, int puerto = 0);
    /// Closes every connection and the listening socket.
    void Detiene();
    /// The port it listens on (loopback).
    int Puerto() const { return puerto_; }
    /// The delay each way, changeable while it runs (new data only).
    void FijaRetardo(int ms) { retardoMs_ = ms; }
    int Retardo() const { return retardoMs_; }
    const std::string& error() const { return error_; }

private:
    void Bucle();

    int escucha_ = -1;
    int destino_ = 0;
    int puerto_ = 0;
    int despertador_[2] = {-1, -1};
    std::atomic<int> retardoMs_{0};
    std::atomic<bool> parar_{false};
    std::thread hilo_;
    std::string error_;
};
