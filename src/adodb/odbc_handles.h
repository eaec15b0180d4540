#pragma once
// ODBC handles and what they report when a call fails.
#include "error.h"

#include <sql.h>
#include <sqlext.h>

#include <QString>
#include <utility>
#include <vector>

namespace adodb::odbc {

// unixODBC's SQLWCHAR is UTF-16, which is what QString holds; wchar_t never crosses.
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));

inline SQLWCHAR* wide(const QString& s)
{
    return const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(s.utf16()));
}

// Not QString::fromUtf16, which takes a leading U+FEFF for a byte-order mark and drops it.
inline QString fromWide(const SQLWCHAR* p, qsizetype chars)
{
    return QString(reinterpret_cast<const QChar*>(p), chars);
}

inline bool succeeded(SQLRETURN rc)
{
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

/// Owns one ODBC handle; a connection handle is disconnected before it is freed.
class Handle {
public:
    Handle() = default;
    Handle(SQLSMALLINT type, SQLHANDLE h) : type_(type), h_(h) {}
    Handle(Handle&& o) noexcept { *this = std::move(o); }
    Handle& operator=(Handle&& o) noexcept;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(); }

    void reset();
    void markConnected() { connected_ = true; }
    SQLHANDLE get() const { return h_; }
    SQLSMALLINT type() const { return type_; }
    explicit operator bool() const { return h_ != SQL_NULL_HANDLE; }

private:
    SQLSMALLINT type_ = SQL_HANDLE_ENV;
    SQLHANDLE h_ = SQL_NULL_HANDLE;
    bool connected_ = false;
};

/// Every diagnostic record a handle holds, each with its ADO number, its
/// text without the driver layers' "[tags]", and `source`.
std::vector<Error> diagnostics(SQLSMALLINT type, SQLHANDLE h, const QString& source);

/// Puts first the record that names the failure: warnings may come before it.
void failureFirst(std::vector<Error>& records);

/// For a failed connection, puts the reason a driver gave only in a later
/// informational record in front of the first record's text.
void leadWithTheReason(std::vector<Error>& records);

}  // namespace adodb::odbc
