#pragma once
// Errors carry ADO's numbers because callers branch on them.
#include <QString>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace adodb {

constexpr std::int32_t hr(std::uint32_t v) { return static_cast<std::int32_t>(v); }

// Provider-level HRESULTs (as a VB caller sees them: negative 32-bit numbers).
inline constexpr std::int32_t kErrUnspecified = hr(0x80004005);   // E_FAIL: link lost, open failed
inline constexpr std::int32_t kErrSyntax = hr(0x80040E14);        // DB_E_ERRORSINCOMMAND
inline constexpr std::int32_t kErrIntegrity = hr(0x80040E2F);     // DB_E_INTEGRITYVIOLATION
inline constexpr std::int32_t kErrNoTable = hr(0x80040E37);       // DB_E_NOTABLE
inline constexpr std::int32_t kErrRowNotFound = hr(0x80040E38);   // row cannot be located for updating
inline constexpr std::int32_t kErrTimeout = hr(0x80040E31);       // DB_E_ABORTLIMITREACHED
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

/// One error record: ADO number, text, where it came from, SQLSTATE and the engine's own code.
struct Error {
    std::int32_t Number = 0;
    QString Description;
    QString Source;
    QString SQLState;
    std::int32_t NativeError = 0;
};

/// The exception every failing ADO operation throws; it carries the same record
/// that the connection's Errors collection keeps for provider errors.
class AdoException : public std::exception {
public:
    explicit AdoException(Error e) : err_(std::move(e)), what_(err_.Description.toStdString()) {}
    AdoException(std::int32_t number, const QString& description, const QString& source = QStringLiteral("ADODB"))
        : AdoException(Error{number, description, source, {}, 0}) {}
    const Error& error() const { return err_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    Error err_;
    std::string what_;
};

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
