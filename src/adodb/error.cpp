// Which ADO number an engine's failure gets. Callers branch on these numbers:
// above all, E_FAIL (0x80004005) makes the data layer close and reopen the
// connection, which silently rolls back an open transaction. So only a lost
// link may carry it; everything else gets its own number or adErrProviderFailed.
#include "error.h"

namespace adodb {

std::int32_t NumberForSqlState(const QString& sqlState)
{
    const QString s = sqlState.trimmed().toUpper();
    if (s.startsWith(u"08")) return kErrUnspecified;
    if (s == u"IM002") return kErrUnspecified;  // no driver or data source: the connection did not open
    if (s == u"HYT00") return kErrTimeout;
    if (s == u"HYT01") return kErrUnspecified;  // the connection itself timed out
    if (s.startsWith(u"28")) return kErrAuthFailed;
    if (s.startsWith(u"23")) return kErrIntegrity;
    if (s == u"42S02" || s == u"S0002" || s == u"42P01") return kErrNoTable;
    if (s.startsWith(u"42") || s == u"37000") return kErrSyntax;
    if (s.startsWith(u"22")) return kErrDataConversion;
    if (s == u"25006") return kErrPermission;
    if (s == u"40001" || s == u"40P01") return kErrTimeout;  // deadlock victim, serialization failure: try again
    if (s == u"53100") return kErrDiskFull;
    if (s == u"53200") return kErrOutOfMemory;
    if (s == u"57014" || s == u"HY008") return kErrCanceled;
    if (s == u"57P01" || s == u"57P02" || s == u"57P03") return kErrUnspecified;  // server shutting down: the link goes with it
    return kErrProviderFailed;
}

Error ProviderError(const QString& sqlState, const QString& description, const QString& source, std::int32_t nativeError)
{
    return Error{NumberForSqlState(sqlState), description, source, sqlState, nativeError};
}

AdoException::AdoException(std::vector<Error> records) : records_(std::move(records))
{
    if (records_.empty())
        records_.push_back(Error{kErrUnspecified, QStringLiteral("Error no especificado"), QStringLiteral("ADODB"), {}, 0});
    what_ = records_.front().Description.toStdString();
}

bool IsLinkLost(const Error& e)
{
    if (e.Number == kErrConnectionInvalid) return true;
    if (e.Number != kErrUnspecified) return false;
    const QString s = e.SQLState.trimmed().toUpper();
    return s.startsWith(u"08") || s == u"HYT01" || s.startsWith(u"57P");
}

bool IsTransactionLost(const Error& e)
{
    return e.Number == kErrTransactionLost || IsLinkLost(e);
}

bool IsPermissionDenied(const Error& e)
{
    const QString s = e.SQLState.trimmed().toUpper();
    // SQL Server files its refusals under the syntax class: 229 is a denied
    // permission on an object, 230 on a column.
    return s == u"42501" || (s == u"42000" && (e.NativeError == 229 || e.NativeError == 230));
}

}  // namespace adodb
