#pragma once
// Ending the program from deep inside a routine (a lost connection the operator
// gives up on, a failed start-up). Tests replace the handler to observe it.
#include <QCoreApplication>
#include <cstdlib>
#include <functional>

namespace rt {

inline std::function<void(int)>& manejadorFin()
{
    static std::function<void(int)> h = [](int codigo) {
        if (QCoreApplication::instance()) QCoreApplication::exit(codigo);
        std::exit(codigo);
    };
    return h;
}

/// Ends the program at once with `codigo`.
inline void TerminaPrograma(int codigo = 0)
{
    manejadorFin()(codigo);
}

}  // namespace rt
