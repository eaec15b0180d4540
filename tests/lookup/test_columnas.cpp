#include "fixture.h"

#include "controles.h"
#include "lookup/cabecera_busqueda.h"
#include "lookup/consultaslen.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>

class Columnas : public ConsultasDemo {
protected:
    QString ruta() const { return dir.filePath(QStringLiteral("CONSULTASLEN.VRL")); }
    QByteArray contenido() const
    {
        QFile f(ruta());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void escribe(const QByteArray& b)
    {
        QFile f(ruta());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(b);
    }
    const QByteArray otras = "\"MA_CUENTAS\",\"1440|2880|\"\r\n\"Ta_Titcopiadores\",\"1500|2500|\"\r\n\"VT_CLIENTES\",\"5|\"\r\n";
};

TEST_F(Columnas, SavingReplacesOnlyTheTablesLineAndPutsItLast)
{
    escribe(otras);
    ASSERT_TRUE(ConsultasLen::Graba(dir.path() + u'/', QStringLiteral("TA_TITCOPIADORES"), {720, 1440}));
    EXPECT_EQ(contenido(),
              QByteArray("\"MA_CUENTAS\",\"1440|2880|\"\r\n\"VT_CLIENTES\",\"5|\"\r\n\"TA_TITCOPIADORES\",\"720|1440|\"\r\n"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("CONSULTASLEN.AUX"))));
    EXPECT_EQ(ConsultasLen::Lee(dir.path() + u'/', QStringLiteral("vt_clientes")), QStringList{QStringLiteral("5|")});

    // When the new file cannot be written, the save says so.
    QString error;
    EXPECT_FALSE(ConsultasLen::Graba(dir.path() + QStringLiteral("/no-existe/"), QStringLiteral("MA_CUENTAS"), {1}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("CONSULTASLEN.VRL"))) << error.toStdString();
}

TEST_F(Columnas, ProgramsSharingTheFolderNeverShareATemporaryFile)
{
    // Another program of the suite in the middle of its own save.
    escribe(otras);
    QFile ajeno(dir.filePath(QStringLiteral("CONSULTASLEN.AUX")));
    ASSERT_TRUE(ajeno.open(QIODevice::WriteOnly));
    ajeno.write("\"OTRA\",\"1|\"\r\n");
    ajeno.close();
    const QStringList antes = QDir(dir.path()).entryList(QDir::Files);

    ASSERT_TRUE(ConsultasLen::Graba(dir.path() + u'/', QStringLiteral("MA_CUENTAS"), {100, 200}));
    ASSERT_TRUE(ajeno.open(QIODevice::ReadOnly));
    EXPECT_EQ(ajeno.readAll(), QByteArray("\"OTRA\",\"1|\"\r\n")) << "its file is left alone";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), antes) << "and ours leaves no file behind";
    EXPECT_TRUE(contenido().endsWith("\"MA_CUENTAS\",\"100|200|\"\r\n"));
}

TEST_F(Columnas, TheWindowTakesSavedWidthsAndSavesItsOwn)
{
    escribe(otras);
    auto abre = [](const QString& sql) {
        auto v = std::make_unique<Lib_FrmCons3>();
        v->sql = sql;
        v->Form_Load();
        return v;
    };
    auto v = abre(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM TA_TITCOPIADORES ORDER BY CODIGO"));
    EXPECT_EQ(CabeceraDe(*v)->sectionSize(0), v->Pixeles(1500));
    EXPECT_EQ(CabeceraDe(*v)->sectionSize(1), v->Pixeles(2500));
    EXPECT_EQ(CajaDe(*v, 1)->width(), v->Pixeles(2500) - v->Pixeles(50));

    CabeceraDe(*v)->resizeSection(1, v->Pixeles(3000));
    v->Form_Unload();
    EXPECT_EQ(contenido(), QByteArray("\"MA_CUENTAS\",\"1440|2880|\"\r\n\"VT_CLIENTES\",\"5|\"\r\n\"TA_TITCOPIADORES\",\"") +
                               QByteArray::number(v->Twips(v->Pixeles(1500))) + '|' +
                               QByteArray::number(v->Twips(v->Pixeles(3000))) + "|\"\r\n");

    // A table without a line keeps the widths its fields give.
    auto c = abre(QStringLiteral("SELECT IDCajas FROM V_TA_CAJAS"));
    EXPECT_GE(CabeceraDe(*c)->sectionSize(0), CabeceraDe(*c)->fontMetrics().horizontalAdvance(QStringLiteral("IDCajas")));
    EXPECT_LT(CabeceraDe(*c)->sectionSize(0), CabeceraDe(*c)->fontMetrics().horizontalAdvance(QStringLiteral("IDCajas")) * 2);

    // A save that fails is told, and loses nothing.
    ASSERT_TRUE(QFile::remove(ruta()));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("CONSULTASLEN.VRL")));
    c->Form_Unload();
    EXPECT_TRUE(QFileInfo(ruta()).isDir());
    ASSERT_EQ(guion.op.preguntas.size(), 1u);
    EXPECT_EQ(guion.op.preguntas[0].titulo, QStringLiteral("Aviso al Operador"));
}
