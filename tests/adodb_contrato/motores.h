#pragma once
// The engines every contract test runs on: the embedded engine, the SQLite
// ODBC driver, and a PostgreSQL server started for the test program reached
// both through psqlODBC and natively (libpq). Each test gets a fresh database.
#include "adodb/connection.h"
#include "adodb/recordset.h"
#include "servidor_pg.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

#include "../qt_print.h"

enum class Motor { Embebido, OdbcSqlite, PostgreSql, PostgreSqlLibpq };

inline bool EsPostgres(Motor m)
{
    return m == Motor::PostgreSql || m == Motor::PostgreSqlLibpq;
}

inline std::string NombreMotor(const ::testing::TestParamInfo<Motor>& p)
{
    switch (p.param) {
    case Motor::Embebido: return "Embebido";
    case Motor::OdbcSqlite: return "OdbcSqlite";
    case Motor::PostgreSql: return "PostgreSql";
    case Motor::PostgreSqlLibpq: return "PostgreSqlLibpq";
    }
    return "?";
}

/// The error `f` fails with; a test failure when it does not fail.
inline adodb::Error ErrorDe(const std::function<void()>& f)
{
    try {
        f();
    } catch (const adodb::AdoException& e) {
        return e.error();
    }
    ADD_FAILURE() << "sin AdoException";
    return {};
}

/// Where the loadable collation was built.
inline QString ExtensionCi()
{
    return QStringLiteral(PROGRAM_DIR "/ci.so");
}

class BaseDePrueba {
public:
    /// Prepares a fresh database for `motor`; false (and `motivo`) when the engine is unavailable.
    bool Prepara(Motor motor, QString* motivo)
    {
        motor_ = motor;
        if (!dir_.isValid()) return false;
        if (EsPostgres(motor)) {
            servidor_ = ServidorPg::Compartido();
            if (!servidor_) {
                *motivo = QStringLiteral("no se pudo iniciar PostgreSQL");
                return false;
            }
            static int n = 0;
            base_ = QStringLiteral("prueba%1").arg(++n);
            if (!servidor_->CreaBase(base_)) {
                *motivo = servidor_->error();
                return false;
            }
            return true;
        }
        archivo_ = dir_.filePath(QStringLiteral("prueba.db"));
        QFile f(archivo_);
        return f.open(QIODevice::WriteOnly);
    }

    QString Cadena() const
    {
        switch (motor_) {
        case Motor::Embebido: return QStringLiteral("PROVIDER=SQLOLEDB;Server=;Database =%1;").arg(archivo_);
        case Motor::OdbcSqlite: return QStringLiteral("Driver={SQLite3};Database=%1;LoadExt=%2;").arg(archivo_, ExtensionCi());
        case Motor::PostgreSql: return servidor_->CadenaOdbc(base_);
        // The program's own form: a "pg:" server.
        case Motor::PostgreSqlLibpq:
            return QStringLiteral("PROVIDER=SQLOLEDB;Server=pg:127.0.0.1,%1;Database =%2;UId=%3;Pwd=%4;")
                .arg(servidor_->Puerto())
                .arg(base_, QString::fromLatin1(ServidorPg::kUsuario), QString::fromLatin1(ServidorPg::kClave));
        }
        return {};
    }

    /// DDL written the way the suite's schema is, in each engine's types.
    QString Ddl(QString sql) const
    {
        if (!EsPostgres(motor_)) return sql;
        sql.replace(QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT"), QStringLiteral("serial PRIMARY KEY"));
        sql.replace(QStringLiteral(" datetime"), QStringLiteral(" timestamp(3)"));
        sql.replace(QStringLiteral(" money"), QStringLiteral(" numeric(19,4)"));
        sql.replace(QStringLiteral(" bit"), QStringLiteral(" smallint"));
        return sql;
    }

    Motor motor() const { return motor_; }
    ServidorPg* servidor() const { return servidor_; }
    QString base() const { return base_; }
    QString archivo() const { return archivo_; }
    QTemporaryDir& dir() { return dir_; }

private:
    Motor motor_ = Motor::Embebido;
    QTemporaryDir dir_;
    QString archivo_, base_;
    ServidorPg* servidor_ = nullptr;
};
