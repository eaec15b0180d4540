#pragma once
// Each test gets the demo database in its own folder, the session connected to
// it, a scripted operator and, when it asks, the real window on screen.
#include "adodb/connection.h"
#include "adodb/recordset.h"
#include "data/db_dll.h"
#include "runtime/fin.h"
#include "runtime/operador.h"
#include "runtime/rtentorno.h"
#include "runtime/rtini.h"
#include "runtime/rttexto.h"
#include "session/cnstuff.h"
#include "titles/frmta_titcopiadores.h"
#include "toolbar/utilvarn.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "../aplicacion.h"
#include "../cadena_archivo.h"
#include "../control.h"
#include "../qt_print.h"
#include "../teclado.h"

class VentanaTitulos : public ::testing::Test {
protected:
    void SetUp() override
    {
        aplicacion();
        ASSERT_TRUE(dir_.isValid());
        ruta_ = dir_.filePath(QStringLiteral("titulos.db"));
        {
            QFile f(ruta_);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        {
            adodb::Connection cn;
            cn.Open(CadenaDeArchivo(ruta_));
            cn.Execute(leeScript(QStringLiteral("schema.sql")));
            cn.Execute(leeScript(QStringLiteral("demo.sql")));
            cn.Close();
        }
        RtEntorno::FijaCarpetaPrograma(dir_.path() + QStringLiteral("/"));
        RtEntorno::FijaNombreUsuario(QStringLiteral("prueba"));
        RtEntorno::FijaNombreMaquina(QStringLiteral("pc-prueba"));
        RtIni::FijaCarpetaConfiguracion(dir_.path());

        DB_Dll& db = DB();
        db.gServidor.clear();
        db.gDBName = ruta_;
        db.gUsuario = QStringLiteral("ADMIN");
        db.gUserPassWord.clear();
        db.OpenServerADODB();
        ASSERT_TRUE(db.gOpenFlag);

        finAnterior_ = rt::manejadorFin();
        rt::manejadorFin() = [this](int codigo) { fines.push_back(codigo); };
    }

    void TearDown() override
    {
        ventana_.reset();
        if (DB().gCnn.State()) DB().gCnn.Close();
        DB().gOpenFlag = false;
        rt::manejadorFin() = finAnterior_;
        CNStuffContable::gSoloMayusculas = false;
        RtEntorno::FijaCarpetaPrograma({});
        RtEntorno::FijaNombreUsuario({});
        RtEntorno::FijaNombreMaquina({});
        RtIni::FijaCarpetaConfiguracion({});
    }

    static QString leeScript(const QString& nombre)
    {
        QFile f(QStringLiteral(DEMO_DIR "/") + nombre);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << nombre.toStdString();
        return QString::fromUtf8(f.readAll());
    }

    /// The window loaded as at start-up and shown, active, ready for keys.
    frmTA_TITCOPIADORES& abre()
    {
        ventana_ = std::make_unique<frmTA_TITCOPIADORES>();
        EXPECT_TRUE(ventana_->Form_Load(QString()));
        ventana_->show();
        ventana_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(ventana_.get()));
        // Start-up questions (none expected) are not the test's business.
        guion.op.preguntas.clear();
        return *ventana_;
    }

    /// A new window, not loaded: the test runs its start-up itself.
    frmTA_TITCOPIADORES& nueva()
    {
        ventana_ = std::make_unique<frmTA_TITCOPIADORES>();
        return *ventana_;
    }
    frmTA_TITCOPIADORES& w() { return *ventana_; }
    QLineEdit* caja(int i) { return ControlDe<QLineEdit>(w(), QStringLiteral("txtfields%1").arg(i)); }
    QListWidget* lista() { return ControlDe<QListWidget>(w(), QStringLiteral("LstCpte")); }
    UtilVarn* barra() { return ControlDe<UtilVarn>(w(), QStringLiteral("UtilVarn1")); }

    /// Types into a box as the operator does: focus, replace what is there, type.
    void escribe(int i, const QString& texto)
    {
        caja(i)->setFocus();
        caja(i)->selectAll();
        teclado::TecleaLetras(caja(i), texto);
    }
    void enter(int i) { QTest::keyClick(caja(i), Qt::Key_Return); }
    void escribeYEnter(int i, const QString& texto) { escribe(i, texto), enter(i); }
    /// First column of the first row, as text.
    QString valor(const QString& sql)
    {
        adodb::Recordset rs = DB().gCnn.Execute(sql);
        return rs.EOF_() ? QStringLiteral("<sin filas>") : RtTexto::ValorCampo(rs.Fields(0).Value());
    }
    int cuenta(const QString& sql) { return valor(sql).toInt(); }
    void ejecuta(const QString& sql) { DB().gCnn.Execute(sql); }

    QStringList mensajes() const { return guion.op.mensajes(); }
    /// Title 40 typed as a new one while another program stores a title with that code.
    void tituloNuevoQueOtroGraba()
    {
        escribeYEnter(0, QStringLiteral("40"));
        ASSERT_TRUE(w().EsNuevo());
        ejecuta(QStringLiteral("INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA) "
                               "VALUES ('40', 'El otro', '11030101001', '11030201001')"));
        escribe(1, QStringLiteral("El mio"));
        escribeYEnter(2, QStringLiteral("11020101001"));
        escribeYEnter(3, QStringLiteral("11020103001"));
    }
    QListWidgetItem* itemDe(const QString& codigo)
    {
        for (int i = 0; i < lista()->count(); ++i)
            if (lista()->item(i)->data(Qt::UserRole).toString().trimmed() == codigo) return lista()->item(i);
        return nullptr;
    }

    rt::GuionDePrueba guion;
    std::vector<int> fines;
    QTemporaryDir dir_;
    QString ruta_;

private:
    std::unique_ptr<frmTA_TITCOPIADORES> ventana_;
    std::function<void(int)> finAnterior_;
};
