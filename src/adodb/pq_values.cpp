// What the libpq engine translates without a server: connection keywords,
// statements, and values between libpq's text format and Variant.
#include "dialect_lexer.h"
#include "pq_engine.h"
#include "pq_engine_p.h"

#include <QDate>
#include <QStringDecoder>
#include <QTime>
#include <charconv>

using namespace Qt::StringLiterals;

namespace adodb {

bool NamesPostgresDirectly(const ConnectionInfo& info)
{
    if (!info.dsn.trimmed().isEmpty() || !info.driver.trimmed().isEmpty()) return false;
    return info.server.trimmed().startsWith(u"pg:", Qt::CaseInsensitive) ||
           info.provider.contains(u"PostgreSQL", Qt::CaseInsensitive);
}

namespace pq {

namespace {

// Type OIDs fixed by the server's catalog (pg_type.dat).
enum : Oid {
    kBool = 16,
    kBytea = 17,
    kChar = 18,
    kName = 19,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kText = 25,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kMoney = 790,
    kBpchar = 1042,
    kVarchar = 1043,
    kDate = 1082,
    kTime = 1083,
    kTimestamp = 1114,
    kTimestampTz = 1184,
    kTimeTz = 1266,
    kNumeric = 1700,
};

// A time of day alone lands on VB's day zero, as ADO hands it to VB code.
const QDate kDayZero(1899, 12, 30);

// Reads `count` digits at p; -1 when one is not a digit.
int digits(const char* p, int count)
{
    int v = 0;
    for (int i = 0; i < count; ++i) {
        if (p[i] < '0' || p[i] > '9') return -1;
        v = v * 10 + (p[i] - '0');
    }
    return v;
}

// "HH:MM:SS[.ffffff]" at p (n characters left); an offset after it is the
// session's own time zone and is left out, as psqlODBC leaves it.
QTime readTime(const char* p, int n)
{
    if (n < 8 || p[2] != ':' || p[5] != ':') return {};
    const int h = digits(p, 2), m = digits(p + 3, 2), s = digits(p + 6, 2);
    if (h < 0 || m < 0 || s < 0) return {};
    int ms = 0;
    if (n > 9 && p[8] == '.') {
        int scale = 100;
        for (int i = 9; i < n && p[i] >= '0' && p[i] <= '9'; ++i, scale /= 10) ms += (p[i] - '0') * scale;
    }
    if (h == 24) return QTime(23, 59, 59, 999);  // "24:00:00" is the end of the day
    return QTime(h, m, s, ms);
}

QDate readDate(const char* p, int n)
{
    // Years past 9999 and BC dates have other shapes; they come back as text.
    if (n < 10 || p[4] != '-' || p[7] != '-') return {};
    const int y = digits(p, 4), m = digits(p + 5, 2), d = digits(p + 8, 2);
    if (y < 0 || m < 0 || d < 0) return {};
    if (n > 10 && p[10] != ' ') return {};
    return QDate(y, m, d);
}

}  // namespace

QString text(const char* p, int n)
{
    // QString::fromUtf8 takes a leading U+FEFF for a byte-order mark and drops
    // it; stored text keeps it.
    if (n >= 3 && static_cast<unsigned char>(p[0]) == 0xEF && static_cast<unsigned char>(p[1]) == 0xBB &&
        static_cast<unsigned char>(p[2]) == 0xBF) {
        QStringDecoder whole(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return whole(QByteArrayView(p, n));
    }
    return QString::fromUtf8(p, n);
}

Decode decodeFor(Oid type)
{
    switch (type) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid: return Decode::Integer;
    case kFloat4:
    case kFloat8:
    case kNumeric: return Decode::Double;
    case kMoney: return Decode::Money;
    case kBool: return Decode::Boolean;
    case kDate: return Decode::Date;
    case kTime:
    case kTimeTz: return Decode::Time;
    case kTimestamp:
    case kTimestampTz: return Decode::Timestamp;
    default: return Decode::Text;
    }
}

int adoType(Oid type)
{
    switch (type) {
    case kBool: return adBoolean;
    case kInt2: return adSmallInt;
    case kInt4:
    case kOid: return adInteger;
    case kInt8: return adBigInt;
    case kFloat4: return adSingle;
    case kFloat8: return adDouble;
    case kNumeric: return adNumeric;
    case kMoney: return adCurrency;
    case kChar:
    case kBpchar: return adWChar;
    case kText: return adLongVarWChar;
    case kBytea: return adLongVarBinary;
    case kDate: return adDBDate;
    case kTime:
    case kTimeTz: return adDBTime;
    case kTimestamp:
    case kTimestampTz: return adDBTimeStamp;
    default: return adVarWChar;
    }
}

int definedSize(Oid type, int typmod)
{
    switch (type) {
    case kBpchar:
    case kVarchar: return typmod >= 4 ? typmod - 4 : 0;
    case kChar: return 1;
    case kName: return 63;
    case kNumeric: return typmod >= 4 ? ((typmod - 4) >> 16) & 0xffff : 0;
    case kInt2: return 2;
    case kInt4:
    case kOid:
    case kFloat4: return 4;
    case kInt8:
    case kFloat8:
    case kMoney: return 8;
    default: return 0;
    }
}

Variant decode(Decode how, const char* p, int n)
{
    switch (how) {
    case Decode::Integer: {
        long long v = 0;
        const auto [end, ec] = std::from_chars(p, p + n, v);
        if (ec == std::errc() && end == p + n) return Variant(v);
        break;
    }
    case Decode::Double: {
        double v = 0;
        const auto [end, ec] = std::from_chars(p, p + n, v);
        if (ec == std::errc() && end == p + n) return Variant(v);
        break;
    }
    case Decode::Money: {
        // "$1,234.50", "-$1,234.50" under lc_monetary C: the digits and the sign are what count.
        QByteArray plain;
        for (int i = 0; i < n; ++i)
            if ((p[i] >= '0' && p[i] <= '9') || p[i] == '.' || p[i] == '-') plain += p[i];
        double v = 0;
        const auto [end, ec] = std::from_chars(plain.constData(), plain.constData() + plain.size(), v);
        if (ec == std::errc() && !plain.isEmpty()) return Variant(v);
        break;
    }
    case Decode::Boolean: return Variant(n > 0 && p[0] == 't');
    case Decode::Date:
        if (const QDate d = readDate(p, n); d.isValid()) return Variant(QDateTime(d, QTime(0, 0)));
        break;
    case Decode::Time:
        if (const QTime t = readTime(p, n); t.isValid()) return Variant(QDateTime(kDayZero, t));
        break;
    case Decode::Timestamp:
        if (const QDate d = readDate(p, n); d.isValid())
            if (const QTime t = readTime(p + 11, n - 11); t.isValid()) return Variant(QDateTime(d, t));
        break;
    case Decode::Text: break;
    }
    // Whatever has no place among Variant's kinds (infinity, BC dates) is shown as the server wrote it.
    return Variant(text(p, n));
}

bool encode(const Variant& v, QByteArray& out)
{
    switch (v.type()) {
    case VarType::Empty:
    case VarType::Null: return false;
    case VarType::Text: out = v.toString().toUtf8(); return true;
    case VarType::Integer: out = QByteArray::number(static_cast<qlonglong>(v.toInt64())); return true;
    case VarType::Double: {
        char buf[32];
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v.toDouble());
        out = QByteArray(buf, ec == std::errc() ? static_cast<qsizetype>(end - buf) : 0);
        return true;
    }
    // The server reads "1" and "0" as a boolean and as a number alike (the
    // suite's flags are smallint columns on PostgreSQL).
    case VarType::Boolean: out = v.toBool() ? "1" : "0"; return true;
    case VarType::Date: {
        const QDateTime d = v.toDateTime();
        if (!d.isValid()) return false;
        out = d.toString(u"yyyy-MM-dd HH:mm:ss.zzz"_s).toUtf8();
        return true;
    }
    }
    return false;
}

Params connectionParams(const ConnectionInfo& info, int connectTimeoutSecs, int commandTimeoutSecs,
                        const std::vector<QByteArray>& known)
{
    Params out;
    auto put = [&](const QByteArray& key, const QString& value) {
        if (value.isEmpty()) return;
        for (auto& kv : out)
            if (kv.first == key) {
                kv.second = value.toUtf8();
                return;
            }
        out.emplace_back(key, value.toUtf8());
    };
    QString server = info.server.trimmed();
    if (server.startsWith(u"pg:", Qt::CaseInsensitive)) server = server.mid(3).trimmed();
    if (server.startsWith(u"tcp:", Qt::CaseInsensitive)) server = server.mid(4).trimmed();
    QString port;
    if (const qsizetype comma = server.lastIndexOf(u','); comma >= 0) {
        port = server.mid(comma + 1).trimmed();
        server = server.left(comma).trimmed();
    }
    if (server.isEmpty() || server == u"." || server.compare(u"(local)", Qt::CaseInsensitive) == 0) server = u"localhost"_s;
    put("host", server);
    put("port", port);
    put("dbname", info.database.isEmpty() ? info.dataSource : info.database);
    put("user", info.user);
    put("password", info.password);
    // libpq takes fewer than 2 seconds as 2.
    if (connectTimeoutSecs > 0) put("connect_timeout", QString::number(qMax(2, connectTimeoutSecs)));
    put("client_encoding", u"UTF8"_s);
    put("application_name", u"TA_TITCOPIADORES"_s);
    // Settings that ride on the login cost no statement: the time-out of
    // every statement, and the date format the rows are read in.
    QString options = u"-c statement_timeout=%1 -c DateStyle=ISO,YMD"_s.arg(qMax(0LL, 1000LL * commandTimeoutSecs));
    // The administrator's extra settings (sslmode, ...), where libpq knows them.
    const QStringList pieces = info.extra.split(u';', Qt::SkipEmptyParts);
    for (const QString& piece : pieces) {
        const qsizetype eq = piece.indexOf(u'=');
        if (eq <= 0) continue;
        const QByteArray key = piece.left(eq).trimmed().toLower().toUtf8();
        QString value = piece.mid(eq + 1).trimmed();
        if (value.startsWith(u'{') && value.endsWith(u'}')) value = value.mid(1, value.size() - 2);
        if (key == "options")
            options += u' ' + value;
        else if (std::find(known.begin(), known.end(), key) != known.end())
            put(key, value);
    }
    put("options", options);
    return out;
}

Statement prepare(const QString& translated)
{
    using namespace dialect;
    Statement st;
    const Tokens tokens = lex(translated);
    bool ended = false;  // a ";" met: anything after it is another statement
    for (const Token& t : tokens) {
        if (t.kind == Tok::Space) {
            st.text += t.text;
            continue;
        }
        if (ended) st.batch = true;
        if (t.kind == Tok::Punct && t.text == u"?") {
            st.text += u'$' + QString::number(++st.placeholders);
            continue;
        }
        if (t.kind == Tok::Punct && t.text == u";") ended = true;
        if (is(t, "CREATE") || is(t, "ALTER") || is(t, "DROP") || is(t, "RENAME") || is(t, "TRUNCATE")) st.definition = true;
        st.text += t.text;
    }
    return st;
}

}  // namespace pq
}  // namespace adodb
