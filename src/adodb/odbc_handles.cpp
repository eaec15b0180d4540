#include "odbc_handles.h"

#include <QStringList>
#include <algorithm>

namespace adodb::odbc {

Handle& Handle::operator=(Handle&& o) noexcept
{
    if (this != &o) {
        reset();
        type_ = o.type_;
        h_ = std::exchange(o.h_, nullptr);
        connected_ = std::exchange(o.connected_, false);
    }
    return *this;
}

void Handle::reset()
{
    if (h_ == SQL_NULL_HANDLE) return;
    if (connected_) SQLDisconnect(h_);
    SQLFreeHandle(type_, h_);
    h_ = SQL_NULL_HANDLE;
    connected_ = false;
}

namespace {

// "[unixODBC][FreeTDS][SQL Server]text": the tags name layers that Source already names.
QString withoutTags(QString message)
{
    while (message.startsWith(u'[')) {
        const qsizetype end = message.indexOf(u']');
        if (end < 0) break;
        message.remove(0, end + 1);
    }
    return message.trimmed();
}

}  // namespace

std::vector<Error> diagnostics(SQLSMALLINT type, SQLHANDLE h, const QString& source)
{
    std::vector<Error> out;
    if (h == SQL_NULL_HANDLE) return out;
    // Large enough that no retry is needed: some drivers forget a record once read.
    std::vector<SQLWCHAR> text(4096);
    for (SQLSMALLINT i = 1;; ++i) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN rc =
            SQLGetDiagRecW(type, h, i, state, &native, text.data(), static_cast<SQLSMALLINT>(text.size()), &length);
        if (!succeeded(rc)) break;
        out.push_back(ProviderError(
            fromWide(state, 5), withoutTags(fromWide(text.data(), qMin<qsizetype>(length, text.size() - 1))), source, native));
    }
    return out;
}

void failureFirst(std::vector<Error>& records)
{
    std::stable_partition(records.begin(), records.end(), [](const Error& r) { return !r.SQLState.startsWith(u"01"); });
}

void leadWithTheReason(std::vector<Error>& records)
{
    // FreeTDS tells why a connection failed ("Unknown host machine name.") only in
    // an informational record after two generic errors; the operator reads the
    // first record's text, so the reason goes in front of it.
    if (records.empty() || !records.front().SQLState.startsWith(u"08")) return;
    QStringList reasons;
    for (const Error& r : records)
        if (r.SQLState.startsWith(u"01") && !r.Description.isEmpty() && !records.front().Description.contains(r.Description))
            reasons << r.Description;
    if (!reasons.isEmpty()) records.front().Description = reasons.join(u' ') + u' ' + records.front().Description;
}

}  // namespace adodb::odbc
