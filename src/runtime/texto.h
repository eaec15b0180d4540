#pragma once
// The string idioms the whole program leans on, written once.
#include <QString>
#include <QStringList>

namespace rt {

/// Equality without regard to letter case.
bool Iguales(const QString& a, const QString& b);
/// 1-based position of `buscado` in `texto` from `inicio`, ignoring case; 0 when absent.
int InStr(const QString& texto, const QString& buscado, int inicio = 1);
/// Last 1-based position of `buscado`, ignoring case; 0 when absent.
int InStrRev(const QString& texto, const QString& buscado);
/// `texto` contains `buscado`, ignoring case.
bool Contiene(const QString& texto, const QString& buscado);
/// Every occurrence replaced, searching without regard to case.
QString ReemplazaSinCaso(const QString& texto, const QString& buscar, const QString& con);
/// Leading number of a text: blanks skipped, digits with one "." and an optional
/// exponent, "&H"/"&O" prefixes; stops at the first character that does not fit.
/// "12abc" gives 12, "abc" gives 0.
double Val(const QString& texto);
/// VB's Left/Right/Mid with 1-based start, tolerant of out-of-range arguments.
QString Izquierda(const QString& t, int n);
QString Derecha(const QString& t, int n);
QString Medio(const QString& t, int inicio, int n = -1);
/// A value ready to sit between single quotes in a statement: its own
/// apostrophes doubled, so it can never end the literal early; NUL characters
/// (which no engine takes inside a statement) left out.
QString Comillas(const QString& valor);
/// The fields of a comma-separated line as the suite's files hold them:
/// unquoted fields trimmed, quoted ones kept whole, commas and blanks included.
QStringList CamposSeparados(const QString& linea);
/// Text of the suite's files, which its Windows installations wrote in Windows-1252.
QString DeWindows1252(const QByteArray& bytes);
QByteArray AWindows1252(const QString& texto);
/// Rounds half to even, as the 16-bit conversions of the suite do.
long long RedondeoBanquero(double v);

}  // namespace rt
