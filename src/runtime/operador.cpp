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

// Names the window for the length of one question; questions asked from
// inside it (a nested event loop) name their own, and the outer one is back
// when they end.
class Operador::ConDueno {
public:
    ConDueno(Operador& op, QObject* padre) : op_(op), antes_(op.dueno_) { op_.dueno_ = padre; }
    ~ConDueno() { op_.dueno_ = antes_; }
    ConDueno(const ConDueno&) = delete;
    ConDueno& operator=(const ConDueno&) = delete;

private:
    Operador& op_;
    QPointer<QObject> antes_;
};

int Operador::MsgBox(QObject* padre, const QString& texto, int botones, const QString& titulo)
{
    const ConDueno d(*this, padre);
    return MsgBox(texto, botones, titulo);
}

QString Operador::InputBox(QObject* padre, const QString& prompt, const QString& titulo, const QString& def, bool* cancelado)
{
    const ConDueno d(*this, padre);
    return InputBox(prompt, titulo, def, cancelado);
}

QString Operador::AbreArchivo(QObject* padre, const QString& titulo, const QString& filtro, bool* cancelado)
{
    const ConDueno d(*this, padre);
    return AbreArchivo(titulo, filtro, cancelado);
}

QString Operador::GuardaArchivo(QObject* padre, const QString& titulo, const QString& filtro, const QString& sugerido,
                                bool* cancelado)
{
    const ConDueno d(*this, padre);
    return GuardaArchivo(titulo, filtro, sugerido, cancelado);
}

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
    preguntas.push_back({QStringLiteral("MsgBox"), texto, titulo, botones, tomaDueno()});
    if (respuestas.empty()) return respuestaPorDefecto(botones);
    const int r = respuestas.front();
    respuestas.pop_front();
    return r;
}

QString OperadorGuionado::InputBox(const QString& prompt, const QString& titulo, const QString&, bool* cancelado)
{
    preguntas.push_back({QStringLiteral("InputBox"), prompt, titulo, 0, tomaDueno()});
    return sacaTexto(textos, cancelado);
}

QString OperadorGuionado::AbreArchivo(const QString& titulo, const QString& filtro, bool* cancelado)
{
    preguntas.push_back({QStringLiteral("AbreArchivo"), filtro, titulo, 0, tomaDueno()});
    return sacaTexto(textos, cancelado);
}

QString OperadorGuionado::GuardaArchivo(const QString& titulo, const QString& filtro, const QString& sugerido, bool* cancelado)
{
    preguntas.push_back({QStringLiteral("GuardaArchivo"), filtro + QLatin1Char('|') + sugerido, titulo, 0, tomaDueno()});
    return sacaTexto(textos, cancelado);
}

int OperadorGuionado::Modal(QObject* ventana)
{
    // The window's name identifies it in the record; its title is kept too.
    Pregunta p{QStringLiteral("Modal"), {}, {}, 0};
    if (ventana) {
        p.dueno = ventana->parent();
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
