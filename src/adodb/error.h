#pragma once
// Errors carry ADO's numbers because callers branch on them.
#include <QString>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace adodb {

constexpr std::int32_t hr(std::uint32_t v)
{
    return static_cast<std::int32_t>(v);
}

// Provider-level HRESULTs (as a VB caller sees them: negative 32-bit numbers).
// E_FAIL is what a caller takes for "the link is gone" (it reconnects), so only a
// lost link or a failed open carries it; see IsLinkLost.
inline constexpr std::int32_t kErrUnspecified = hr(0x80004005);
inline constexpr std::int32_t kErrSyntax = hr(0x80040E14);           // DB_E_ERRORSINCOMMAND
inline constexpr std::int32_t kErrIntegrity = hr(0x80040E2F);        // DB_E_INTEGRITYVIOLATION
inline constexpr std::int32_t kErrNoTable = hr(0x80040E37);          // DB_E_NOTABLE
inline constexpr std::int32_t kErrRowNotFound = hr(0x80040E38);      // row cannot be located for updating
inline constexpr std::int32_t kErrTimeout = hr(0x80040E31);          // DB_E_ABORTLIMITREACHED (also busy, locked)
inline constexpr std::int32_t kErrPermission = hr(0x80040E09);       // DB_SEC_E_PERMISSIONDENIED (read-only database)
inline constexpr std::int32_t kErrAuthFailed = hr(0x80040E4D);       // DB_SEC_E_AUTH_FAILED (login refused)
inline constexpr std::int32_t kErrCanceled = hr(0x80040E4E);         // DB_E_CANCELED (interrupted)
inline constexpr std::int32_t kErrDiskFull = hr(0x80030070);         // STG_E_MEDIUMFULL
inline constexpr std::int32_t kErrOutOfMemory = hr(0x8007000E);      // E_OUTOFMEMORY
inline constexpr std::int32_t kErrTransactionLost = hr(0x8004D019);  // XACT_E_ABORTED: rolled back behind the caller's back
// ADO's own numbers.
inline constexpr std::int32_t kErrObjectClosed = 3704;
inline constexpr std::int32_t kErrObjectOpen = 3705;
inline constexpr std::int32_t kErrConnectionInvalid = 3709;
inline constexpr std::int32_t kErrNotInContext = 3219;
inline constexpr std::int32_t kErrItemNotFound = 3265;
inline constexpr std::int32_t kErrDataConversion = 3421;
inline constexpr std::int32_t kErrBofEof = 3021;
inline constexpr std::int32_t kErrNotSupported = 3251;
inline constexpr std::int32_t kErrInvalidArgument = 5;
/// adErrProviderFailed: any provider error without a more precise number. Never
/// taken for a lost link.
inline constexpr std::int32_t kErrProviderFailed = 3000;

/// One error record: ADO number, text, where it came from, SQLSTATE and the engine's own code.
struct Error {
    std::int32_t Number = 0;
    QString Description;
    QString Source;
    QString SQLState;
    std::int32_t NativeError = 0;
};

/// True when the error means the link to the database is gone (ODBC SQLSTATE
/// class 08, or the states drivers use for a dropped link), so reconnecting
/// is the remedy; an ordinary statement error never is.
bool IsLinkLost(const Error& e);

/// True when the failure took the open transaction with it: the link went, or
/// it had gone already and the connection was reopened since. Repeating the
/// failed statement cannot help; only starting the whole transaction again can.
bool IsTransactionLost(const Error& e);

/// True when the server refused the statement for want of rights on an
/// object (SQLSTATE 42501; SQL Server's 42000 with native error 229 or 230):
/// the login answers, but may not touch that table.
bool IsPermissionDenied(const Error& e);

/// The ADO number for an SQLSTATE (kErrProviderFailed when none fits): the
/// one table that numbers what every engine reports.
std::int32_t NumberForSqlState(const QString& sqlState);

/// An engine's error record: the engine says what happened (SQLSTATE, text,
/// its own code) and the table above gives the number.
Error ProviderError(const QString& sqlState, const QString& description, const QString& source, std::int32_t nativeError = 0);

/// The exception every failing ADO operation throws. It carries every
/// diagnostic record of the failure, the one that names it first, as the
/// connection's Errors collection keeps them.
class AdoException : public std::exception {
public:
    explicit AdoException(std::vector<Error> records);
    explicit AdoException(Error e) : AdoException(std::vector<Error>{std::move(e)}) {}
    AdoException(std::int32_t number, const QString& description, const QString& source = QStringLiteral("ADODB"))
        : AdoException(Error{number, description, source, {}, 0})
    {}
    const Error& error() const { return records_.front(); }
    const std::vector<Error>& records() const { return records_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    std::vector<Error> records_;
    std::string what_;
};

/// Runs a step whose failure the caller can do without (closing what may be
/// closed already, an optional table, a probe): a database error it raises is
/// dropped. True when the step ran through.
template <class Step>
bool Attempt(Step&& step)
{
    try {
        step();
        return true;
    } catch (const AdoException&) {
        return false;
    }
}

/// The provider errors of the last operation on a connection.
class Errors {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const Error& Item(int i) const { return items_.at(static_cast<size_t>(i)); }
    void Clear() { items_.clear(); }
    void Add(Error e) { items_.push_back(std::move(e)); }
    bool empty() const { return items_.empty(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<Error> items_;
};

}  // namespace adodb
