#include "fixture.h"

#include <QHeaderView>
#include <QScreen>

#include "controles.h"
#include "lookup/cabecera_busqueda.h"

class Opciones : public ConsultasDemo {
protected:
    /// Runs `haz` on the option window when it shows, and records what it showed.
    void alAbrir(std::function<void(Lib_FrmCons3&)> haz)
    {
        guion.op.alModal = [this, haz](QObject* o) {
            auto* w = qobject_cast<Lib_FrmCons3*>(o);
            EXPECT_NE(w, nullptr);
            if (!w) return 0;
            filas.clear();
            marcas.clear();
            for (int i = 0; i < w->Modelo()->rowCount(); ++i) {
                filas.append(w->Modelo()->Texto(i, 0));
                marcas.append(w->Modelo()->Marcada(i));
            }
            titulo = w->windowTitle();
            encabezados = w->Modelo()->Encabezados();
            nuevaVisible = BotonDe(*w, "CmdNueva")->isVisibleTo(w);
            ancho = w->AnchoPedido();
            const int dpi = w->logicalDpiX();
            pixeles = [dpi](int twips) { return qRound(twips * dpi / 1440.0); };
            haz(*w);
            return w->result();
        };
    }
    QStringList filas, encabezados;
    QList<bool> marcas;
    QString titulo;
    bool nuevaVisible = true;
    int ancho = 0;
    std::function<int(int)> pixeles;
};

TEST_F(Opciones, AMenuReturnsTheChosenTextWhicheverWayTheOptionsCome)
{
    alAbrir([](Lib_FrmCons3& w) {
        w.SeleccionaFila(w.Busqueda(QStringLiteral("Dól"), 0) - 1);
        QTest::keyClick(ListaDe(w), Qt::Key_Return);
    });
    EXPECT_EQ(ClsCons3().MenuOpciones(QStringLiteral("Moneda"), QStringLiteral("Pesos"), QStringLiteral("Dólares")),
              QStringLiteral("Dólares"));
    EXPECT_EQ(filas, (QStringList{"Pesos", "Dólares"})) << "in the order given";
    EXPECT_EQ(encabezados, QStringList{"Moneda"});
    EXPECT_EQ(titulo, QStringLiteral("Moneda"));
    EXPECT_FALSE(nuevaVisible);

    const QStringList arreglo{QStringLiteral("Pesos"), QStringLiteral("Dólares")};
    EXPECT_EQ(ClsCons3().MenuOpciones(QStringLiteral("Moneda"), arreglo), QStringLiteral("Dólares"));
    EXPECT_EQ(filas, arreglo);
    EXPECT_EQ(ClsCons3().MenuOpciones(QStringLiteral("Cuotas"), 3, 6, 12), QStringLiteral("3"))
        << "no row starts with Dól: the first stays chosen";
    EXPECT_EQ(filas, (QStringList{"3", "6", "12"}));

    alAbrir([](Lib_FrmCons3& w) { BotonDe(w, "cmdCancelar")->click(); });
    EXPECT_EQ(ClsCons3().MenuOpciones(QStringLiteral("Moneda"), arreglo), QString());

    // Without a title the row's text is still the answer.
    alAbrir([](Lib_FrmCons3& w) {
        w.SeleccionaFila(1);
        BotonDe(w, "CmdAceptar")->click();
    });
    EXPECT_EQ(ClsCons3().MenuOpciones(QString(), arreglo), QStringLiteral("Dólares"));
}

TEST_F(Opciones, TickedEntriesComeBackInValores)
{
    alAbrir([](Lib_FrmCons3& w) {
        w.Modelo()->Marca(0, false);
        w.Modelo()->Marca(1, true);
        w.Modelo()->Marca(2, false);
        BotonDe(w, "CmdAceptar")->click();
    });
    EXPECT_EQ(ClsCons3().CheckOpciones(QStringLiteral("Medios"), nullptr, QStringLiteral("1A"), QStringLiteral("0B"),
                                       QStringLiteral("1C")),
              QString());
    EXPECT_EQ(filas, (QStringList{"A", "B", "C"}));
    EXPECT_EQ(marcas, (QList<bool>{true, false, true}));
    ASSERT_TRUE(ClsCons3().Valores);
    EXPECT_EQ(*ClsCons3().Valores, QStringList{"B"});

    alAbrir([](Lib_FrmCons3& w) { BotonDe(w, "CmdAceptar")->click(); });
    ClsCons3().CheckOpciones(QStringLiteral("Medios"), nullptr, QStringList{"xA", "1Efectivo", "0Cheques"});
    EXPECT_EQ(filas, (QStringList{"A", "Efectivo", "Cheques"}));
    EXPECT_EQ(marcas, (QList<bool>{false, true, false}));
    EXPECT_EQ(*ClsCons3().Valores, QStringList{"Efectivo"});

    alAbrir([](Lib_FrmCons3& w) { BotonDe(w, "cmdCancelar")->click(); });
    ClsCons3().CheckOpciones(QStringLiteral("Medios"), nullptr, QStringList{"1A", "1B"});
    EXPECT_FALSE(ClsCons3().Valores) << "Cancel leaves no collection";
}

TEST_F(Opciones, FileLinesAreTheRowsAndAMissingFileIsTold)
{
    const QString ruta = dir.filePath(QStringLiteral("monedas.txt"));
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Pesos\r\n\r\nD\xf3lares\r\n");  // written on Windows
    f.close();
    alAbrir([](Lib_FrmCons3& w) {
        w.SeleccionaFila(2);
        BotonDe(w, "CmdAceptar")->click();
    });
    EXPECT_EQ(ClsCons3().ConsultaDesdeArchivo(QStringLiteral("Moneda"), ruta), QStringLiteral("Dólares"));
    EXPECT_EQ(filas, (QStringList{"Pesos", "", "Dólares"}));

    const QString falta = dir.filePath(QStringLiteral("no-esta.txt"));
    EXPECT_EQ(ClsCons3().ConsultaDesdeArchivo(QStringLiteral("Moneda"), falta), QString());
    ASSERT_EQ(guion.op.mensajes().size(), 1);
    EXPECT_EQ(guion.op.mensajes().first(),
              QStringLiteral("No existe el archivo ") + falta + QStringLiteral(" que desea consultar consulta "));
    EXPECT_EQ(guion.op.preguntas.size(), 2u) << "one window, then the message and no window";
}

TEST_F(Opciones, TheWindowIsAsWideAsTheLongestTextUpToTheScreen)
{
    alAbrir([](Lib_FrmCons3& w) { BotonDe(w, "cmdCancelar")->click(); });
    const QString titulo = QStringLiteral("Elija la moneda de la operación");
    ClsCons3().MenuOpciones(titulo, QStringLiteral("ARS"), QStringLiteral("USD"));
    EXPECT_EQ(ancho, pixeles(static_cast<int>(titulo.size()) * 120));
    ClsCons3().CheckOpciones(QStringLiteral("Moneda"), nullptr, QStringLiteral("1ARS"), QStringLiteral("0USD"));
    EXPECT_EQ(ancho, pixeles(6 * 120)) << "the title, longer than every entry counted with its tick";
    ClsCons3().MenuOpciones(QStringLiteral("Moneda"), QString(400, u'x'), QStringLiteral("USD"));
    EXPECT_EQ(ancho, QGuiApplication::primaryScreen()->geometry().width());
}
