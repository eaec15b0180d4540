#include "servidor_pg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QVersionNumber>

#include <cstdio>
#include <cstdlib>

#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A port the kernel just handed out on loopback; free again once closed.
int PuertoLibre()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t n = sizeof a;
    int puerto = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) == 0)
        puerto = ntohs(a.sin_port);
    ::close(s);
    return puerto;
}

// PostgreSQL refuses to run as root; under root (containers, CI) the server
// runs as the account the Debian package created.
struct Cuenta {
    bool cambiar = false;
    uid_t uid = 0;
    gid_t gid = 0;
};

Cuenta CuentaServidor()
{
    Cuenta c;
    if (::geteuid() != 0) return c;
    if (const passwd* pw = ::getpwnam("postgres")) {
        c.cambiar = true;
        c.uid = pw->pw_uid;
        c.gid = pw->pw_gid;
    }
    return c;
}

void Entrega(const QString& ruta, const Cuenta& c)
{
    if (c.cambiar && ::chown(QFile::encodeName(ruta).constData(), c.uid, c.gid) != 0) {
        // initdb reports the unusable folder itself.
    }
}

}  // namespace

ServidorPg::ServidorPg() = default;

ServidorPg::~ServidorPg()
{
    Detiene();
    if (vigia_ > 0) ::kill(static_cast<pid_t>(vigia_), SIGKILL);
}

ServidorPg* ServidorPg::Compartido()
{
    static std::unique_ptr<ServidorPg> servidor;
    static bool intentado = false;
    if (!intentado) {
        intentado = true;
        servidor = std::make_unique<ServidorPg>();
        if (!servidor->Inicia()) {
            std::fprintf(stderr, "PostgreSQL: %s\n", qPrintable(servidor->error()));
            servidor.reset();
        }
        // Stopped before static destructors run, so nothing there can leave it up.
        std::atexit([] { servidor.reset(); });
    }
    return servidor.get();
}

QString ServidorPg::CarpetaProgramas()
{
    const QDir raiz(QStringLiteral("/usr/lib/postgresql"));
    QVersionNumber mejor;
    QString carpeta;
    for (const QString& v : raiz.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString bin = raiz.filePath(v + QStringLiteral("/bin"));
        const QVersionNumber n = QVersionNumber::fromString(v);
        if (QFile::exists(bin + QStringLiteral("/initdb")) && (carpeta.isEmpty() || n > mejor)) {
            mejor = n;
            carpeta = bin;
        }
    }
    return carpeta;
}

bool ServidorPg::Ejecuta(const QString& programa, const QStringList& argumentos, QString* salida, int esperaMs)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), QString::fromLatin1(kClave));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.remove(QStringLiteral("PGHOST"));
    env.remove(QStringLiteral("PGPORT"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    const Cuenta c = CuentaServidor();
    const bool esServidor = programa.startsWith(bin_) && !programa.endsWith(QStringLiteral("/psql"));
    if (c.cambiar && esServidor) {
        p.setWorkingDirectory(dir_->path());
        p.setChildProcessModifier([c] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(c.gid) != 0 || ::setuid(c.uid) != 0) ::_exit(126);
        });
    }
    p.start(programa, argumentos);
    if (!p.waitForFinished(esperaMs)) {
        p.kill();
        p.waitForFinished();
        error_ = programa + QStringLiteral(": no terminó a tiempo");
        return false;
    }
    const QString texto = QString::fromUtf8(p.readAll());
    if (salida) *salida = texto;
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        error_ = programa + QStringLiteral(": ") + texto.trimmed();
        return false;
    }
    return true;
}

bool ServidorPg::Inicia()
{
    bin_ = CarpetaProgramas();
    if (bin_.isEmpty()) {
        error_ = QStringLiteral("PostgreSQL no está instalado (/usr/lib/postgresql/*/bin/initdb)");
        return false;
    }
    dir_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/pg-XXXXXX"));
    if (!dir_->isValid()) {
        error_ = QStringLiteral("no se pudo crear la carpeta temporal");
        return false;
    }
    const Cuenta c = CuentaServidor();
    datos_ = dir_->filePath(QStringLiteral("datos"));
    sockets_ = dir_->filePath(QStringLiteral("s"));
    QDir().mkpath(sockets_);
    const QString claves = dir_->filePath(QStringLiteral("clave"));
    {
        QFile f(claves);
        if (!f.open(QIODevice::WriteOnly)) return false;
        f.write(kClave);
    }
    for (const QString& r : {dir_->path(), sockets_, claves}) Entrega(r, c);

    if (!Ejecuta(bin_ + QStringLiteral("/initdb"),
                 {QStringLiteral("-D"), datos_, QStringLiteral("-U"), QString::fromLatin1(kUsuario),
                  QStringLiteral("--pwfile=") + claves, QStringLiteral("-A"), QStringLiteral("scram-sha-256"),
                  QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"), QStringLiteral("-N"),
                  QStringLiteral("--no-instructions")}))
        return false;

    // Picked just before starting; a collision shows up as a failed start and is retried.
    for (int intento = 0; intento < 3; ++intento) {
        puerto_ = PuertoLibre();
        if (ArrancaPostgres()) break;
    }
    if (!activo_) return false;

    // The watchdog: when this process is gone, stop the server at once and remove its folder.
    const QString guion =
        QStringLiteral("while kill -0 %1 2>/dev/null; do sleep 1; done; "
                       "kill -QUIT $(head -1 '%2/postmaster.pid' 2>/dev/null) 2>/dev/null; sleep 1; rm -rf '%3'")
            .arg(QCoreApplication::applicationPid())
            .arg(datos_, dir_->path());
    QProcess::startDetached(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), guion}, QString(), &vigia_);

    // Comparisons as the suite's SQL Server databases make them: letter case ignored.
    return Psql(QStringLiteral("template1"),
                QStringLiteral("CREATE COLLATION ci (provider = icu, locale = 'und-u-ks-level2', deterministic = false)"));
}

bool ServidorPg::ArrancaPostgres()
{
    const QString opciones = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off "
                                            "-c full_page_writes=off -c max_connections=40 -c shared_buffers=32MB")
                                 .arg(puerto_)
                                 .arg(sockets_);
    activo_ = Ejecuta(bin_ + QStringLiteral("/pg_ctl"),
                      {QStringLiteral("-D"), datos_, QStringLiteral("-l"), dir_->filePath(QStringLiteral("servidor.log")),
                       QStringLiteral("-o"), opciones, QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("30"),
                       QStringLiteral("start")});
    if (!activo_) {
        QFile log(dir_->filePath(QStringLiteral("servidor.log")));
        if (log.open(QIODevice::ReadOnly)) error_ += QStringLiteral("\n") + QString::fromUtf8(log.readAll().right(2000));
    }
    return activo_;
}

void ServidorPg::Detiene()
{
    if (!activo_) return;
    Ejecuta(bin_ + QStringLiteral("/pg_ctl"), {QStringLiteral("-D"), datos_, QStringLiteral("-m"), QStringLiteral("immediate"),
                                               QStringLiteral("-w"), QStringLiteral("stop")});
    activo_ = false;
}

bool ServidorPg::Reanuda()
{
    if (activo_) return true;
    return ArrancaPostgres();
}

QStringList ServidorPg::LineaPsql(const QString& base) const
{
    return {bin_ + QStringLiteral("/psql"),
            QStringLiteral("-X"),
            QStringLiteral("-q"),
            QStringLiteral("-v"),
            QStringLiteral("ON_ERROR_STOP=1"),
            QStringLiteral("-h"),
            sockets_,
            QStringLiteral("-p"),
            QString::number(puerto_),
            QStringLiteral("-U"),
            QString::fromLatin1(kUsuario),
            QStringLiteral("-d"),
            base};
}

bool ServidorPg::Psql(const QString& base, const QString& sql, QString* salida)
{
    QStringList linea = LineaPsql(base);
    const QString programa = linea.takeFirst();
    return Ejecuta(programa, linea << QStringLiteral("-At") << QStringLiteral("-c") << sql, salida);
}

bool ServidorPg::PsqlArchivo(const QString& base, const QString& archivo)
{
    QStringList linea = LineaPsql(base);
    const QString programa = linea.takeFirst();
    return Ejecuta(programa, linea << QStringLiteral("-1") << QStringLiteral("-f") << archivo, nullptr, 300000);
}

bool ServidorPg::CreaBase(const QString& nombre)
{
    return Psql(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE \"%1\" TEMPLATE template1").arg(nombre));
}

bool ServidorPg::TerminaSesiones(const QString& base)
{
    return Psql(QStringLiteral("postgres"),
                QStringLiteral("SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity WHERE datname = '%1'").arg(base));
}

QString ServidorPg::CadenaOdbc(const QString& base, const QString& clave) const
{
    return QStringLiteral("Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=%1;Database=%2;UID=%3;PWD=%4;")
        .arg(puerto_)
        .arg(base, QString::fromLatin1(kUsuario), clave);
}
