#include "runtime/operador.h"
#include "runtime/protocolo.h"

#include <QObject>

#include <gtest/gtest.h>

using namespace rt;

TEST(Operador, SinInstalarRespondeLoMasSeguro)
{
    const int esperado[] = {vbOK, vbCancel, vbAbort, vbCancel, vbNo, vbCancel};
    for (int b = 0; b < 6; ++b) EXPECT_EQ(operador().MsgBox("x", b | vbCritical | vbDefaultButton2), esperado[b]) << b;
    bool cancelado = false;
    EXPECT_EQ(operador().InputBox("p", "t", "def", &cancelado), "");
    EXPECT_TRUE(cancelado);
    QObject ventana;
    EXPECT_EQ(operador().Modal(&ventana), 0);
    EXPECT_EQ(operador().Ejecuta("/bin/true", ""), 0);
}

TEST(Operador, GuionRespondeEnOrdenYRegistra)
{
    {
        GuionDePrueba g;
        g.op.respuestas = {vbYes};
        g.op.textos = {"uno", "\x1b"};
        g.op.alModal = [](QObject* v) { return v->objectName() == "frmAlta" ? 1 : 9; };

        EXPECT_EQ(operador().MsgBox("¿Seguro?", vbYesNo, "Borrar"), vbYes);
        EXPECT_EQ(operador().MsgBox("Otra", vbYesNoCancel), vbCancel);  // script exhausted
        bool c = true;
        EXPECT_EQ(operador().InputBox("Nombre", "", "", &c), "uno");
        EXPECT_FALSE(c);
        EXPECT_EQ(operador().AbreArchivo("Abrir", "Bases|*.MDB", &c), "");
        EXPECT_TRUE(c);
        EXPECT_EQ(operador().AbreArchivo("Abrir", "", &c), "");  // nothing left: cancelled
        EXPECT_TRUE(c);
        QObject ventana;
        ventana.setObjectName("frmAlta");
        EXPECT_EQ(operador().Modal(&ventana), 1);
        EXPECT_EQ(operador().Modal(nullptr), 0);

        ASSERT_EQ(g.op.preguntas.size(), 7u);
        EXPECT_EQ(g.op.preguntas[0].titulo, "Borrar");
        EXPECT_EQ(g.op.preguntas[3].tipo, "AbreArchivo");
        EXPECT_EQ(g.op.preguntas[5].texto, "frmAlta");
        EXPECT_EQ(g.op.mensajes(), QStringList({"¿Seguro?", "Otra"}));
    }
    EXPECT_EQ(operador().MsgBox("x", vbOKCancel), vbCancel);  // default operator is back
}

TEST(Operador, CadaPreguntaRecuerdaLaVentanaQueLaHizo)
{
    // A question asked from inside another one (a box raised while a dialog
    // is open) names its own window; the outer one is back when it ends.
    struct Anidado : OperadorGuionado {
        QObject* interior = nullptr;
        QString GuardaArchivo(const QString& t, const QString& f, const QString& s, bool* c) override
        {
            const QString r = OperadorGuionado::GuardaArchivo(t, f, s, c);
            MsgBox(interior, "dentro", vbOKOnly, "");
            MsgBox("sin ventana", vbOKOnly, "");
            return r;
        }
    } op;
    fijaOperador(&op);
    QObject hoja, vista;
    op.interior = &vista;
    bool c = false;
    operador().GuardaArchivo(&hoja, "Exportar", "Libro|*.xlsx", "t.xlsx", &c);
    operador().MsgBox("despues");
    operador().InputBox(&hoja, "p", "t", "", &c);
    operador().AbreArchivo(&vista, "Abrir", "", &c);
    QObject padre;
    QObject dialogo(&padre);
    operador().Modal(&dialogo);
    fijaOperador(nullptr);

    std::vector<const QObject*> duenos;
    for (const auto& p : op.preguntas) duenos.push_back(p.dueno);
    EXPECT_EQ(duenos, (std::vector<const QObject*>{&hoja, &vista, nullptr, nullptr, &hoja, &vista, &padre}));
    EXPECT_EQ(op.dueno(), nullptr);
}

TEST(Protocolo, ReintentarIgnorarYSalir)
{
    std::vector<int> respuestas = {vbRetry, vbIgnore, vbCancel};
    size_t informes = 0;
    Protocolo p([&](const adodb::Error&) { return respuestas[informes++]; });
    int intentos = 0;
    auto falla = [&] {
        ++intentos;
        throw adodb::AdoException(3704, "cerrado");
    };
    EXPECT_TRUE(p.paso(falla));  // retried once, then ignored
    EXPECT_EQ(intentos, 2);
    EXPECT_FALSE(p.paso(falla));  // cancelled
    EXPECT_FALSE(p.paso([&] { ++intentos; }));
    EXPECT_EQ(intentos, 3);
    EXPECT_EQ(p.ultimoError().Number, 3704);
}
