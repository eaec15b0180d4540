#include "operador.h"

#include <QStringList>
#include <QVariant>

#include <atomic>

namespace rt {

namespace {

// Used when nobody has installed an operator (tools, batch runs): nobody can
// answer, so every question gets its least harmful answer and nothing is shown.
class OperadorPorDefecto : public Operador {
public:
    int MsgBox(const QString&, int botones, const QString&) override { return OperadorGuionado::respuestaPorDefecto(botones); }
    QString InputBox(const QString&, const QString&, const QString&, bool* cancelado) override
    {
        if (cancelado) *cancelado = true;
        return {};
    }
    QString AbreArchivo(const QString&, const QString&, bool* cancelado) override
    {
        if (cancelado) *cancelado = true;
        return {};
    }
    int Modal(QObject*) override { return 0; }
    long long Ejecuta(const QString&, const QString&) override { return 0; }
};

OperadorPorDefecto porDefecto;
std::atomic<Operador*> instalado{nullptr};

const QString kCancelado = QStringLiteral("\x1b");

QString sacaTexto(std::deque<QString>& cola, bool* cancelado)
{
    QString t;
    bool cancela = true;
    if (!cola.empty()) {
        t = std::move(cola.front());
        cola.pop_front();
        cancela = t == kCancelado;
        if (cancela) t.clear();
    }
    if (cancelado) *cancelado = cancela;
    return t;
}

}  // namespace

Operador& operador()
{
    Operador* op = instalado.load();
    return op ? *op : porDefecto;
}

void fijaOperador(Operador* op)
{
    instalado.store(op);
}

int OperadorGuionado::MsgBox(const QString& texto, int botones, const QString& titulo)
{
    preguntas.push_back({QStringLiteral("MsgBox"), texto, titulo, botones});
    if (respuestas.empty()) return respuestaPorDefecto(botones);
    const int r = respuestas.front();
    respuestas.pop_front();
    return r;
}

QString OperadorGuionado::InputBox(const QString& prompt, const QString& titulo, const QString&, bool* cancelado)
{
    preguntas.push_back({QStringLiteral("InputBox"), prompt, titulo, 0});
    return sacaTexto(textos, cancelado);
}

QString OperadorGuionado::AbreArchivo(const QString& titulo, const QString& filtro, bool* cancelado)
{
    preguntas.push_back({QStringLiteral("AbreArchivo"), filtro, titulo, 0});
    return sacaTexto(textos, cancelado);
}

QString OperadorGuionado::GuardaArchivo(const QString& titulo, const QString& filtro, const QString& sugerido, bool* cancelado)
{
    preguntas.push_back({QStringLiteral("GuardaArchivo"), filtro + QLatin1Char('|') + sugerido, titulo, 0});
    return sacaTexto(textos, cancelado);
}

int OperadorGuionado::Modal(QObject* ventana)
{
    // The window's name identifies it in the record; its title is kept too.
    Pregunta p{QStringLiteral("Modal"), {}, {}, 0};
    if (ventana) {
        p.texto = ventana->objectName();
        p.titulo = ventana->property("windowTitle").toString();
    }
    preguntas.push_back(std::move(p));
    if (!ventana || !alModal) return 0;
    return alModal(ventana);
}

long long OperadorGuionado::Ejecuta(const QString& programa, const QString& argumentos)
{
    preguntas.push_back({QStringLiteral("Ejecuta"), programa, argumentos, 0});
    return pidEjecuta;
}

QStringList OperadorGuionado::mensajes() const
{
    QStringList r;
    for (const Pregunta& p : preguntas)
        if (p.tipo == QLatin1String("MsgBox")) r.append(p.texto);
    return r;
}

int OperadorGuionado::respuestaPorDefecto(int botones)
{
    switch (botones & 7) {
    case vbOKOnly: return vbOK;
    case vbOKCancel: return vbCancel;
    case vbAbortRetryIgnore: return vbAbort;
    case vbYesNoCancel: return vbCancel;
    case vbYesNo: return vbNo;
    case vbRetryCancel: return vbCancel;
    default: return vbOK;  // no such button set: the box could only be acknowledged
    }
}

}  // namespace rt
