#pragma once
// What one save of a title writes, derived from a version number alone, so
// that a row read back tells which save wrote it and whether it is whole.
#include <QRegularExpression>
#include <QString>
#include <QStringList>

struct VersionTitulo {
    QString descripcion, desde, hasta, tc;

    static VersionTitulo De(const QString& codigo, int n)
    {
        static const char* const kRangos[][2] = {
            {"11030101001", "11030201001"}, {"51010101001", "51010103001"}, {"21010101001", "21010104001"}};
        static const char* const kCptes[] = {"  FC,  NC,  ND,  RC", "  FP, NCP", ""};
        const int k = n % 3;
        const int j = (n / 3) % 3;
        return {QStringLiteral("Versión %1 del título %2").arg(n).arg(codigo.trimmed()), QString::fromLatin1(kRangos[k][0]),
                QString::fromLatin1(kRangos[k][1]), QString::fromLatin1(kCptes[j])};
    }
    /// Versions of different operators never collide.
    static int Numero(const QString& operador, int i) { return (operador.at(0).toUpper().unicode() - 'A' + 1) * 100000 + i; }
    /// The version a stored description names; -1 when it names none.
    static int DeDescripcion(const QString& d)
    {
        static const QRegularExpression re(QStringLiteral("^Versión (\\d+) del título "));
        const auto m = re.match(d);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    /// The voucher list as a set, whatever the order it was stored in.
    static QStringList Cptes(const QString& tc)
    {
        QStringList l;
        for (const QString& c : tc.split(QLatin1Char(','), Qt::SkipEmptyParts))
            if (!c.trimmed().isEmpty()) l << c.trimmed();
        l.sort();
        return l;
    }
    /// True when the stored row is exactly what version `n` of `codigo` writes.
    static bool Entera(const QString& codigo, int n, const QString& desc, const QString& desde, const QString& hasta,
                       const QString& tc)
    {
        const VersionTitulo v = De(codigo, n);
        return desc == v.descripcion && desde.trimmed() == v.desde && hasta.trimmed() == v.hasta && Cptes(tc) == Cptes(v.tc);
    }
};
