// ADO and OLE DB connection strings turned into ODBC's, for the drivers
// installed on this computer.
#include "odbc_engine_p.h"

#include <initializer_list>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace adodb {

namespace {

using Pairs = std::vector<std::pair<QString, QString>>;

void setPair(Pairs& pairs, const QString& key, const QString& value)
{
    for (auto& p : pairs)
        if (p.first.compare(key, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return;
        }
    pairs.emplace_back(key, value);
}

void putPair(Pairs& pairs, const QString& key, const QString& value)
{
    if (!value.isEmpty()) setPair(pairs, key, value);
}

// Splits "k=v;k={a;b}" honouring braces. Keys are trimmed because FreeTDS
// silently ignores "Database =" with a blank before the sign.
Pairs splitPairs(const QString& text)
{
    Pairs out;
    QString piece;
    bool inBraces = false;
    auto flush = [&] {
        const qsizetype eq = piece.indexOf(u'=');
        if (eq > 0) {
            const QString key = piece.left(eq).trimmed();
            if (!key.isEmpty()) out.emplace_back(key, piece.mid(eq + 1).trimmed());
        }
        piece.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inBraces) {
            piece += c;
            if (c == u'}') {
                if (i + 1 < text.size() && text.at(i + 1) == u'}')
                    piece += text.at(++i);
                else
                    inBraces = false;
            }
        } else if (c == u';') {
            flush();
        } else {
            if (c == u'{') inBraces = true;
            piece += c;
        }
    }
    flush();
    return out;
}

// Keys that only OLE DB understands; some ODBC drivers refuse unknown keys.
bool oleDbOnly(const QString& key)
{
    return key.compare(u"Persist Security Info", Qt::CaseInsensitive) == 0 ||
           key.compare(u"OLE DB Services", Qt::CaseInsensitive) == 0 || key.startsWith(u"Jet OLEDB:", Qt::CaseInsensitive);
}

void mergeExtra(Pairs& pairs, const QString& extra)
{
    for (const auto& [key, value] : splitPairs(extra))
        if (!oleDbOnly(key)) setPair(pairs, key, value);
}

QString braced(const QString& value)
{
    return u'{' + QString(value).replace(u"}"_s, u"}}"_s) + u'}';
}

QString joinPairs(const Pairs& pairs)
{
    QString out;
    for (const auto& [key, value] : pairs) {
        QString v = value;
        const bool alreadyBraced = v.startsWith(u'{') && v.endsWith(u'}');
        if (key.compare(u"Driver", Qt::CaseInsensitive) == 0) {
            if (!alreadyBraced) v = braced(v);
        } else if (!alreadyBraced && (v.contains(u';') || v.contains(u'{') || v.contains(u'}') || v != v.trimmed())) {
            v = braced(v);
        }
        out += key + u'=' + v + u';';
    }
    return out;
}

QString unbraced(QString name)
{
    name = name.trimmed();
    if (name.startsWith(u'{') && name.endsWith(u'}')) name = name.mid(1, name.size() - 2);
    return name;
}

struct ServerAddress {
    QString host;  // possibly "host\instance"
    QString port;
};

// "tcp:host,port", "host\instance", "(local)": the forms SQL Server clients on
// Windows accept, reduced to what Linux drivers understand.
ServerAddress splitServer(QString s)
{
    ServerAddress a;
    s = s.trimmed();
    if (s.startsWith(u"tcp:", Qt::CaseInsensitive)) s = s.mid(4);
    const qsizetype comma = s.lastIndexOf(u',');
    if (comma >= 0) {
        a.port = s.mid(comma + 1).trimmed();
        s = s.left(comma).trimmed();
        // With a port the instance name is moot; the SQL Server clients ignore it too.
        const qsizetype slash = s.indexOf(u'\\');
        if (slash >= 0) s = s.left(slash);
    }
    const qsizetype slash = s.indexOf(u'\\');
    const QString machine = slash >= 0 ? s.left(slash) : s;
    if (machine == u"." || machine.compare(u"(local)", Qt::CaseInsensitive) == 0)
        s = u"localhost"_s + (slash >= 0 ? s.mid(slash) : QString());
    a.host = s;
    return a;
}

// psqlODBC's server and port from the suite's "pg:host[,port]" (or a bare
// "host[,port]"); no host means this machine.
void putPostgresServer(Pairs& pairs, const QString& server)
{
    const ServerAddress address = splitServer(server.startsWith(u"pg:", Qt::CaseInsensitive) ? server.mid(3) : server);
    putPair(pairs, u"Server"_s, address.host.isEmpty() ? u"localhost"_s : address.host);
    putPair(pairs, u"Port"_s, address.port);
}

QString firstDriver(const QStringList& drivers, std::initializer_list<const char16_t*> parts)
{
    for (const QString& d : drivers) {
        bool all = true;
        for (const char16_t* p : parts) all = all && d.contains(QString::fromUtf16(p), Qt::CaseInsensitive);
        if (all) return d;
    }
    return {};
}

[[noreturn]] void noDriver(const QString& what)
{
    throw AdoException(ProviderError(u"IM002"_s, u"No se encontró un controlador ODBC para "_s + what + u'.', u"ODBC"_s));
}

}  // namespace

QString odbcDriverName(const QString& connectionString)
{
    for (const auto& [key, value] : splitPairs(connectionString))
        if (key.compare(u"Driver", Qt::CaseInsensitive) == 0 || key.compare(u"DSN", Qt::CaseInsensitive) == 0)
            return unbraced(value);
    return u"ODBC"_s;
}

QString odbcConnectionString(const ConnectionInfo& info, const QStringList& installedDrivers)
{
    Pairs pairs;
    // A named DSN or driver knows its own keys; the provider no longer matters.
    if (!info.dsn.isEmpty() || !info.driver.isEmpty()) {
        if (!info.dsn.isEmpty())
            putPair(pairs, u"DSN"_s, info.dsn);
        else
            putPair(pairs, u"Driver"_s, unbraced(info.driver));
        // The suite's "pg:host[,port]" with psqlODBC named (the way to keep a
        // PostgreSQL server on ODBC rather than libpq).
        if (const QString pg = info.server.trimmed(); pg.startsWith(u"pg:", Qt::CaseInsensitive))
            putPostgresServer(pairs, pg);
        else
            putPair(pairs, u"Server"_s, info.server);
        putPair(pairs, u"Database"_s, info.database);
        putPair(pairs, u"UID"_s, info.user);
        putPair(pairs, u"PWD"_s, info.password);
        mergeExtra(pairs, info.extra);
        return joinPairs(pairs);
    }

    const QString provider = info.provider.trimmed();
    const bool sqlServer = provider.startsWith(u"SQLOLEDB", Qt::CaseInsensitive) ||
                           provider.startsWith(u"SQLNCLI", Qt::CaseInsensitive) ||
                           provider.startsWith(u"MSOLEDBSQL", Qt::CaseInsensitive);
    const bool oracle = provider.contains(u"OraOLEDB", Qt::CaseInsensitive) || provider.contains(u"MSDAORA", Qt::CaseInsensitive);

    if (sqlServer && !info.server.trimmed().startsWith(u"pg:", Qt::CaseInsensitive)) {
        // For SQLOLEDB, "Data Source" is another name for the server.
        const ServerAddress address = splitServer(info.server.isEmpty() ? info.dataSource : info.server);
        QString driver = firstDriver(installedDrivers, {u"ODBC Driver", u"SQL Server"});
        const bool vendor = !driver.isEmpty();
        if (!vendor) driver = firstDriver(installedDrivers, {u"FreeTDS"});
        // Any other "SQL Server" driver on Linux is usually FreeTDS registered under that name.
        if (driver.isEmpty()) driver = firstDriver(installedDrivers, {u"SQL Server"});
        if (driver.isEmpty()) noDriver(u"SQL Server"_s);

        putPair(pairs, u"Driver"_s, driver);
        if (vendor)
            putPair(pairs, u"Server"_s, address.port.isEmpty() ? address.host : u"tcp:"_s + address.host + u',' + address.port);
        else {
            putPair(pairs, u"Server"_s, address.host);
            putPair(pairs, u"Port"_s, address.port);
        }
        putPair(pairs, u"Database"_s, info.database);
        putPair(pairs, u"UID"_s, info.user);
        putPair(pairs, u"PWD"_s, info.password);
        // Without it FreeTDS under the C locale sends and reads ISO-8859-1.
        if (!vendor) putPair(pairs, u"ClientCharset"_s, u"UTF-8"_s);
        mergeExtra(pairs, info.extra);
        return joinPairs(pairs);
    }

    // "pg:host[,port]" in the server box picks PostgreSQL with the suite's own template.
    const QString server = info.server.trimmed();
    const bool postgres =
        provider.contains(u"PostgreSQL", Qt::CaseInsensitive) || (sqlServer && server.startsWith(u"pg:", Qt::CaseInsensitive));
    if (postgres) {
        QString driver = firstDriver(installedDrivers, {u"PostgreSQL", u"Unicode"});
        if (driver.isEmpty()) driver = firstDriver(installedDrivers, {u"PostgreSQL"});
        if (driver.isEmpty()) noDriver(u"PostgreSQL"_s);
        putPair(pairs, u"Driver"_s, driver);
        putPostgresServer(pairs, server);
        putPair(pairs, u"Database"_s, info.database);
        putPair(pairs, u"UID"_s, info.user);
        putPair(pairs, u"PWD"_s, info.password);
        mergeExtra(pairs, info.extra);
        return joinPairs(pairs);
    }

    if (oracle) {
        const QString driver = firstDriver(installedDrivers, {u"Oracle"});
        if (driver.isEmpty()) noDriver(u"Oracle"_s);
        QString service = info.dataSource.isEmpty() ? info.database : info.dataSource;
        if (service.isEmpty()) service = QString(info.server).remove(u'#');
        putPair(pairs, u"Driver"_s, driver);
        putPair(pairs, u"DBQ"_s, service);
        putPair(pairs, u"UID"_s, info.user);
        putPair(pairs, u"PWD"_s, info.password);
        mergeExtra(pairs, info.extra);
        return joinPairs(pairs);
    }

    noDriver(provider.isEmpty() ? u"una conexión sin proveedor"_s : u"el proveedor "_s + provider);
}

}  // namespace adodb
