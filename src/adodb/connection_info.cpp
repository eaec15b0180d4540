#include "engine.h"

namespace adodb {

ConnectionInfo ConnectionInfo::parse(const QString& connectionString) {
    ConnectionInfo info;
    info.raw = connectionString;
    const QStringList parts = connectionString.split(QLatin1Char(';'));
    for (const QString& part : parts) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq < 0) continue;
        // Keys are trimmed: administrators write "Database =" as often as "Database=".
        const QString key = part.left(eq).trimmed().toLower();
        const QString value = part.mid(eq + 1).trimmed();
        if (key == QLatin1String("provider")) info.provider = value;
        else if (key == QLatin1String("server") || key == QLatin1String("address") || key == QLatin1String("addr"))
            info.server = value;
        else if (key == QLatin1String("database") || key == QLatin1String("initial catalog")) info.database = value;
        else if (key == QLatin1String("data source")) info.dataSource = value;
        else if (key == QLatin1String("uid") || key == QLatin1String("user id") || key == QLatin1String("user"))
            info.user = value;
        else if (key == QLatin1String("pwd") || key == QLatin1String("password")) info.password = value;
        else if (key == QLatin1String("dsn")) info.dsn = value;
        else if (key == QLatin1String("driver")) info.driver = value;
        else info.extra += part.trimmed() + QLatin1Char(';');
    }
    return info;
}

QString ConnectionInfo::embeddedFile() const {
    const QString p = provider.toLower();
    if (p.contains(QLatin1String("jet"))) return dataSource.isEmpty() ? database : dataSource;
    if (!dsn.isEmpty() || !driver.isEmpty() || p.contains(QLatin1String("oracle"))) return {};
    // A SQL Server string without a server names the embedded database file.
    if (server.trimmed().isEmpty()) return database.isEmpty() ? dataSource : database;
    return {};
}

}  // namespace adodb
