// Reading 100,000 rows of 5 columns through AbrirRecordset on PostgreSQL,
// through psqlODBC and through libpq, against psql's own \copy of the same
// rows, in the same run and on a server this program starts on loopback.
#include "cuentas.h"
#include "data/db_dll.h"
#include "resultado.h"
#include "servidor_pg.h"

#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

int main()
{
    ServidorPg servidor;
    if (!servidor.Inicia()) {
        std::fprintf(stderr, "PostgreSQL: %s\n", qPrintable(servidor.error()));
        return 1;
    }
    const QString base = QStringLiteral("bench");
    if (!servidor.CreaBase(base) ||
        !servidor.Psql(base,
                       QStringLiteral("CREATE TABLE ma_cuentas (Codigo varchar(15) COLLATE ci PRIMARY KEY, "
                                      "CodigoOpcional varchar(15) COLLATE ci, DESCRIPCION varchar(60) COLLATE ci, "
                                      "DV varchar(1) COLLATE ci, titulo smallint NOT NULL DEFAULT 0); "
                                      "INSERT INTO ma_cuentas SELECT lpad(i::text, 11, '0'), "
                                      "CASE WHEN i % 10 = 0 THEN 'OPC' || i END, 'Cuenta número ' || i || ' ñandú', "
                                      "(i % 10)::text, (i % 2) FROM generate_series(1, 100000) AS i; ANALYZE ma_cuentas"))) {
        std::fprintf(stderr, "%s\n", qPrintable(servidor.error()));
        return 1;
    }

    DB_Dll& db = DB();
    db.gServidor = QStringLiteral("pg:127.0.0.1,%1").arg(servidor.Puerto());
    db.gDBName = base;
    db.gUsuario = QString::fromLatin1(ServidorPg::kUsuario);
    db.gUserPassWord = QString::fromLatin1(ServidorPg::kClave);

    QStringList psql = servidor.LineaPsql(base);
    const QString programa = psql.takeFirst();
    psql << QStringLiteral("-c") << QStringLiteral("\\copy (%1) TO STDOUT").arg(QString::fromLatin1(kLecturaCuentas));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), QString::fromLatin1(ServidorPg::kClave));

    // psqlODBC named in the extra settings, or the "pg:" server alone (libpq).
    const struct {
        const char* nombre;
        QString extendido;
        const char* objetivo;
    } rutas[] = {{"ODBC", QStringLiteral("Driver={PostgreSQL Unicode};"), "<=1.5x"}, {"libpq", QString(), "<=1.3x"}};
    std::vector<double> piso, capa[2];
    long long control = 0;
    for (int r = 0; r < 2; ++r) {
        db.gExtended = rutas[r].extendido;
        db.OpenServerADODB(false, 3, {}, false, false);
        if (!db.gOpenFlag) {
            std::fprintf(stderr, "no se pudo conectar (%s)\n", rutas[r].nombre);
            return 1;
        }
        for (int vuelta = 0; vuelta < 5; ++vuelta) {
            // Floor: psql streaming the same rows as text (its start-up included, a few ms).
            QElapsedTimer t;
            t.start();
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(programa, psql);
            p.waitForFinished(120000);
            control += p.readAllStandardOutput().count('\n');
            piso.push_back(t.nsecsElapsed() / 1e6);

            t.restart();
            adodb::Recordset rs;
            db.AbrirRecordset(QString::fromLatin1(kLecturaCuentas), rs);
            control += rs.RecordCount();
            capa[r].push_back(t.nsecsElapsed() / 1e6);
        }
        db.gCnn.Close();
    }
    const double a = Mejor(piso);
    std::printf("filas: 100000 x 5 columnas en PostgreSQL (control %lld)\n", control);
    std::printf("psql \\copy (piso):      %.1f ms\n", a);
    for (int r = 0; r < 2; ++r) {
        const double b = Mejor(capa[r]);
        std::printf("AbrirRecordset (%s): %.1f ms, %.2fx\n", rutas[r].nombre, b, b / a);
        const QByteArray nombre = QByteArray("AbrirRecordset (PostgreSQL, ") + rutas[r].nombre + ")";
        Resultado(nombre.constData(), "100,000 x 5", b, "psql \\copy", a, rutas[r].objetivo,
                  "best of 5 each; the floor includes starting psql");
    }
    return 0;
}
