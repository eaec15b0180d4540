#pragma once
// The failure protocol every routine follows: run a step; when it fails, hand
// the error to a report; Retry (4) runs the step again, Ignore (5) goes on with
// the next step, any other answer leaves the routine.
#include "adodb/error.h"

#include <functional>

namespace rt {

class Protocolo {
public:
    using Informe = std::function<int(const adodb::Error&)>;
    explicit Protocolo(Informe informe) : informe_(std::move(informe)) {}

    /// Runs `paso` under the protocol. Returns false once the routine must be
    /// left (the report answered neither Retry nor Ignore); later steps then do nothing.
    template <class F>
    bool paso(F&& f) {
        if (abortado_) return false;
        for (;;) {
            try {
                f();
                return true;
            } catch (const adodb::AdoException& e) {
                ultimo_ = e.error();
            }
            const int r = informe_(ultimo_);
            if (r == 4) continue;
            if (r == 5) return true;
            abortado_ = true;
            return false;
        }
    }
    bool abortado() const { return abortado_; }
    const adodb::Error& ultimoError() const { return ultimo_; }

private:
    Informe informe_;
    bool abortado_ = false;
    adodb::Error ultimo_;
};

}  // namespace rt
