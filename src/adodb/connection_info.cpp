#include "engine.h"

namespace adodb {

QString quoteConnectionValue(const QString& value)
{
    const QString t = value.trimmed();
    if (!value.contains(QLatin1Char(';')) && !t.startsWith(QLatin1Char('"')) && !t.startsWith(QLatin1Char('\''))) return value;
    return QLatin1Char('"') + QString(value).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

ConnectionInfo ConnectionInfo::parse(const QString& connectionString)
{
    ConnectionInfo info;
    info.raw = connectionString;
    const QString& s = connectionString;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        qsizetype end = s.indexOf(QLatin1Char(';'), i);
        if (end < 0) end = n;
        const qsizetype eq = s.indexOf(QLatin1Char('='), i);
        if (eq < 0 || eq > end) {
            i = end + 1;
            continue;
        }
        // Keys are trimmed: administrators write "Database =" as often as "Database=".
        const QString key = s.mid(i, eq - i).trimmed().toLower();
        QString value = s.mid(eq + 1, end - eq - 1).trimmed();
        // A value in quotes (the quote doubled inside) may hold ";": a password
        // or a file name typed in the access dialog. Without its closing quote
        // it is taken as written.
        qsizetype k = eq + 1;
        while (k < n && s.at(k).isSpace()) ++k;
        if (k < n && (s.at(k) == QLatin1Char('"') || s.at(k) == QLatin1Char('\''))) {
            const QChar quote = s.at(k);
            QString quoted;
            bool closed = false;
            for (++k; k < n; ++k) {
                if (s.at(k) != quote) {
                    quoted += s.at(k);
                } else if (k + 1 < n && s.at(k + 1) == quote) {
                    quoted += quote;
                    ++k;
                } else {
                    closed = true;
                    ++k;
                    break;
                }
            }
            if (closed) {
                value = quoted;
                end = s.indexOf(QLatin1Char(';'), k);
                if (end < 0) end = n;
            }
        }
        const QString part = s.mid(i, end - i);
        i = end + 1;
        if (key == QLatin1String("provider"))
            info.provider = value;
        else if (key == QLatin1String("server") || key == QLatin1String("address") || key == QLatin1String("addr"))
            info.server = value;
        else if (key == QLatin1String("database") || key == QLatin1String("initial catalog"))
            info.database = value;
        else if (key == QLatin1String("data source"))
            info.dataSource = value;
        else if (key == QLatin1String("uid") || key == QLatin1String("user id") || key == QLatin1String("user"))
            info.user = value;
        else if (key == QLatin1String("pwd") || key == QLatin1String("password"))
            info.password = value;
        else if (key == QLatin1String("dsn"))
            info.dsn = value;
        else if (key == QLatin1String("driver"))
            info.driver = value;
        else
            info.extra += part.trimmed() + QLatin1Char(';');
    }
    return info;
}

QString ConnectionInfo::embeddedFile() const
{
    const QString p = provider.toLower();
    if (p.contains(QLatin1String("jet"))) return dataSource.isEmpty() ? database : dataSource;
    if (!dsn.isEmpty() || !driver.isEmpty() || p.contains(QLatin1String("oracle"))) return {};
    // A SQL Server string without a server names the embedded database file.
    if (server.trimmed().isEmpty()) return database.isEmpty() ? dataSource : database;
    return {};
}

}  // namespace adodb
