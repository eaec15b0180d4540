#pragma once
// The tests' shared PostgreSQL server with the suite's administrator login,
// and the session connected to one of its databases as that login.
#include "data/db_dll.h"
#include "servidor_pg.h"

#include <QString>
#include <cstdio>

/// The shared server, its login "ADMIN" (password "clave") made once;
/// nullptr when there is no PostgreSQL at hand.
inline ServidorPg* ServidorConAdministrador()
{
    static ServidorPg* s = [] {
        ServidorPg* servidor = ServidorPg::Compartido();
        if (servidor && !servidor->Psql(QStringLiteral("postgres"),
                                        QStringLiteral("CREATE ROLE \"ADMIN\" LOGIN SUPERUSER PASSWORD 'clave'"))) {
            std::fprintf(stderr, "PostgreSQL: %s\n", qPrintable(servidor->error()));
            return static_cast<ServidorPg*>(nullptr);
        }
        return servidor;
    }();
    return s;
}

/// The session pointed at `base` on `servidor` as ADMIN, with its error log
/// in `log`, and connected (DB().gOpenFlag tells whether it did).
inline void ConectaComoAdministrador(const ServidorPg& servidor, const QString& base, const QString& log)
{
    DB_Dll& db = DB();
    if (db.gCnn.State()) db.gCnn.Close();
    db.gServidor = QStringLiteral("pg:127.0.0.1,%1").arg(servidor.Puerto());
    db.gDBName = base;
    db.gUsuario = QStringLiteral("ADMIN");
    db.gUserPassWord = QStringLiteral("clave");
    db.gLogErr = log;
    db.OpenServerADODB();
}
