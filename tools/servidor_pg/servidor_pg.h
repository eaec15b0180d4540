#pragma once
// A throw-away PostgreSQL server for tests and benchmarks: its own cluster in
// a temporary folder, listening on loopback at a free port, stopped (and the
// folder removed) when the object goes. A watchdog process stops it too when
// the owner dies without cleaning up, so no run leaves a server behind.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class ServidorPg {
public:
    static constexpr const char* kUsuario = "contable";
    static constexpr const char* kClave = "secreto";

    ServidorPg();
    ~ServidorPg();
    ServidorPg(const ServidorPg&) = delete;
    ServidorPg& operator=(const ServidorPg&) = delete;

    /// Creates the cluster and starts it; false (with `error()`) when PostgreSQL
    /// is not installed or does not start.
    bool Inicia();
    /// Stops at once (as a crash or a pulled cable would look to clients).
    void Detiene();
    /// Starts the stopped cluster again on the same port.
    bool Reanuda();
    bool Activo() const { return activo_; }

    int Puerto() const { return puerto_; }
    /// The server's own log (what log_statement writes goes there).
    QString ArchivoRegistro() const { return dir_ ? dir_->filePath(QStringLiteral("servidor.log")) : QString(); }
    QString error() const { return error_; }

    /// Runs SQL through psql as the superuser on `base`; false on failure.
    bool Psql(const QString& base, const QString& sql, QString* salida = nullptr);
    /// Runs a script file through psql in one transaction.
    bool PsqlArchivo(const QString& base, const QString& archivo);
    /// A new empty database (copy of template1, which holds the ci collation).
    bool CreaBase(const QString& nombre);
    /// Ends every session of `base` from the server side.
    bool TerminaSesiones(const QString& base);

    /// ODBC connection string through psqlODBC for `base`.
    QString CadenaOdbc(const QString& base, const QString& clave = QString::fromLatin1(kClave)) const;
    /// psql's own command line (program first) for `base`.
    QStringList LineaPsql(const QString& base) const;

    /// One server for the whole test program, started on first use and stopped at
    /// exit; nullptr (the reason on stderr) when it cannot start.
    static ServidorPg* Compartido();

    /// The folder of PostgreSQL's programs (highest version installed), empty when none.
    static QString CarpetaProgramas();

private:
    bool Ejecuta(const QString& programa, const QStringList& argumentos, QString* salida = nullptr, int esperaMs = 60000);
    bool ArrancaPostgres();

    std::unique_ptr<QTemporaryDir> dir_;
    QString bin_, datos_, sockets_;
    int puerto_ = 0;
    bool activo_ = false;
    qint64 vigia_ = 0;
    QString error_;
};
