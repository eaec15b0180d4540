#pragma once
// A fresh database file per test, and the process-wide session pointed at it.
#include "adodb/connection.h"
#include "cadena_archivo.h"
#include "data/db_dll.h"
#include "qt_print.h"
#include "runtime/fin.h"
#include "runtime/operador.h"
#include "runtime/rtentorno.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct ProgramaTerminado {
    int codigo;
};

class SesionDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("conta.db"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        RtEntorno::FijaCarpetaPrograma(dir.path() + QStringLiteral("/"));
        // Files the program keeps per user must come from the test, never from the home of whoever runs it.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("xdg-config"))));
        qputenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("xdg-state"))));
        rt::manejadorFin() = [](int c) { throw ProgramaTerminado{c}; };
        DB_Dll& db = DB();
        if (db.gCnn.State()) db.gCnn.Close();
        db.gOpenFlag = false;
        db.gEsAdmin = false;
        db.gConfidencialidad = false;
        db.gProveedor.clear();
        db.gExtended.clear();
        db.gLogErr.clear();
        db.DialogoAcceso = nullptr;
        db.gServidor.clear();
        db.gDBName = path;
        db.gUsuario = QStringLiteral("ADMIN");
        db.gUserPassWord.clear();
    }
    void TearDown() override
    {
        if (DB().gCnn.State()) DB().gCnn.Close();
        RtEntorno::FijaCarpetaPrograma(QString());
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_STATE_HOME");
    }
    /// Runs a script on the file before the session connects.
    void prepara(const QString& sql)
    {
        adodb::Connection cn;
        cn.Open(CadenaDeArchivo(path));
        cn.Execute(sql);
    }
    /// Connects; the test databases have no users table, so the session is
    /// made administrator unless the test is about synonyms.
    void conecta(bool administrador = true)
    {
        DB().OpenServerADODB();
        ASSERT_TRUE(DB().gOpenFlag);
        if (administrador) DB().gEsAdmin = true;
    }
    QStringList lineasLog(const QString& archivo)
    {
        QFile f(archivo);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    QString path;
    rt::GuionDePrueba guion;
};
