#pragma once
// The failure protocol every routine follows: run a step; when it fails, hand
// the error to a report; Retry runs the step again, Ignore goes on with
// the next step, any other answer leaves the routine.
#include "adodb/error.h"
#include "adodb/recordset.h"
#include "runtime/operador.h"

#include <functional>

namespace rt {

class Protocolo {
public:
    using Informe = std::function<int(const adodb::Error&)>;
    explicit Protocolo(Informe informe) : informe_(std::move(informe)) {}

    /// Runs `paso` under the protocol. Returns false once the routine must be
    /// left (the report answered neither Retry nor Ignore); later steps then do nothing.
    template <class F>
    bool paso(F&& f)
    {
        if (abortado_) return false;
        for (;;) {
            try {
                f();
                return true;
            } catch (const adodb::AdoException& e) {
                ultimo_ = e.error();
            }
            const int r = informe_(ultimo_);
            if (r == vbRetry) continue;
            if (r == vbIgnore) return true;
            abortado_ = true;
            return false;
        }
    }
    /// Walks `rs` from its current row to the end, each step under the protocol:
    /// the end test, `cuerpo` (which returns true to stop the walk) and the move.
    /// Returns false once the routine must be left.
    template <class Cuerpo>
    bool recorre(adodb::Recordset& rs, Cuerpo&& cuerpo)
    {
        for (;;) {
            bool fin = true;
            if (!paso([&] { fin = rs.eof(); })) return false;
            if (fin) return true;
            bool para = false;
            if (!paso([&] { para = cuerpo(); })) return false;
            if (para) return true;
            bool movido = false;
            if (!paso([&] {
                    rs.MoveNext();
                    movido = true;
                }))
                return false;
            if (!movido) return true;  // an ignored failed move would walk the same row forever
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
