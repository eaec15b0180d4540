#include "db_dll.h"

#include "runtime/protocolo.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"

#include <algorithm>
#include <initializer_list>

using adodb::AdoException;
using adodb::Variant;

namespace {

bool EnFamilia(const Variant& q, std::initializer_list<int> codigos)
{
    const long long t = q.toInt64();
    return std::find(codigos.begin(), codigos.end(), t) != codigos.end();
}

[[noreturn]] void ArgumentoInvalido()
{
    throw AdoException(adodb::kErrInvalidArgument, QStringLiteral("Llamada a procedimiento o argumento no válido."),
                       QStringLiteral("DB_Dll"));
}

}  // namespace

bool DB_Dll::adodate(const Variant& Qtype)
{
    return EnFamilia(Qtype, {7, 64, 133, 134, 135, 137});
}
bool DB_Dll::ADOText(const Variant& Qtype)
{
    return EnFamilia(Qtype, {8, 129, 130, 200, 201, 202, 203});
}
bool DB_Dll::ADONumeric(const Variant& Qtype)
{
    return EnFamilia(Qtype, {2, 3, 4, 5, 14, 16, 17, 18, 19, 20, 21, 131});
}
bool DB_Dll::ADOCurrency(const Variant& Qtype)
{
    return Qtype.toInt64() == 6;
}
bool DB_Dll::ADOBoolean(const Variant& Qtype)
{
    return Qtype.toInt64() == 11;
}
QString DB_Dll::ADOComilla(const Variant& Qtype)
{
    return adodate(Qtype) || ADOText(Qtype) ? QStringLiteral("'") : QString();
}

Variant DB_Dll::SQLValue(const Variant& Valor, const QString& Tipo)
{
    if (Valor.isNull()) return Tipo == QLatin1String("@") ? QStringLiteral("0") : QStringLiteral("NULL");
    QString texto = RtTexto::ValorCampo(Valor);
    if (Tipo == QLatin1String("@")) {
        // Always "." as decimal separator, whatever the regional settings wrote.
        texto = RtTexto::Reemplaza(Variant(RtTexto::TextoANumero(texto)).toString(), QStringLiteral(","), QStringLiteral("."));
        return texto;
    }
    if (Tipo == QLatin1String("'")) return QStringLiteral("'") + rt::Comillas(texto) + QStringLiteral("'");
    return texto;
}

QString DB_Dll::stSTF(QString& rsName, short rnPart)
{
    const int p = static_cast<int>(rsName.indexOf(QLatin1Char('.')));
    if (p >= 0 && rsName.indexOf(QLatin1Char('.'), p + 1) >= 0) return StripOwner(rsName);
    if (rnPart != 0) return p < 0 ? rsName : rsName.mid(p + 1);
    if (p < 0) ArgumentoInvalido();
    return rsName.left(p);
}

QString DB_Dll::AddBrackets(const QString& rObjName)
{
    if (rObjName.contains(QLatin1Char(' ')) && !rObjName.startsWith(QLatin1Char('[')))
        return QStringLiteral("[") + rObjName + QStringLiteral("]");
    return rObjName;
}

QString DB_Dll::StripConnect(const QString& rsTblName)
{
    const int p = rt::InStr(rsTblName, QStringLiteral("->"));
    if (p == 0) return rsTblName;
    if (p == 1) ArgumentoInvalido();
    return rsTblName.left(p - 2);
}

QString DB_Dll::StripBrackets(const QString& rsObjName)
{
    if (!rsObjName.startsWith(QLatin1Char('['))) return rsObjName;
    if (rsObjName.size() < 2) ArgumentoInvalido();
    return rsObjName.mid(1, rsObjName.size() - 2);
}

QString DB_Dll::StripOwner(QString& rsTblName)
{
    const int p = static_cast<int>(rsTblName.indexOf(QLatin1Char('.')));
    if (p < 0) return rsTblName;
    rsTblName = rsTblName.mid(p + 1);
    return rsTblName;
}

QString DB_Dll::StripFileName(const QString& rsFileName)
{
    const int p = static_cast<int>(rsFileName.lastIndexOf(QLatin1Char('\\')));
    const int q = static_cast<int>(rsFileName.lastIndexOf(QLatin1Char('/')));
    const int corte = std::max(p, q);
    return corte < 0 ? QString() : rsFileName.left(corte);
}

bool DB_Dll::ExisteTablaDB(const QString& Tabla)
{
    bool existe = false;
    rt::Protocolo p([this](const adodb::Error& e) { return TratamientoErrores(e, {}, QStringLiteral("VerificaCampos")); });
    adodb::Recordset rs;
    if (!p.paso([&] { rs = gCnn.OpenSchema(adodb::adSchemaTables); })) return false;
    bool vacio = true;
    if (!p.paso([&] { vacio = rs.BOF(); }) || vacio) return false;
    p.recorre(rs, [&] {
        existe = rt::Iguales(RtTexto::ValorCampo(rs.Fields(QStringLiteral("TABLE_NAME")).Value()).trimmed(), Tabla.trimmed());
        return existe;
    });
    return existe;
}

bool DB_Dll::ExisteCampoDB(const QString& Tabla, const QString& Campo)
{
    if (rt::Contiene(gProveedor, QStringLiteral("ORACLE"))) return true;
    bool existe = false;
    rt::Protocolo p([this](const adodb::Error& e) { return TratamientoErrores(e, {}, QStringLiteral("VerificaCampos")); });
    adodb::Recordset rs;
    if (!p.paso([&] { rs = gCnn.OpenSchema(adodb::adSchemaColumns, {Variant(gDBName), Variant(), Variant(Tabla), Variant()}); }))
        return false;
    bool vacio = true;
    if (!p.paso([&] { vacio = rs.BOF(); }) || vacio) return false;
    p.recorre(rs, [&] {
        existe = rt::Iguales(RtTexto::ValorCampo(rs.Fields(QStringLiteral("COLUMN_NAME")).Value()).trimmed(), Campo.trimmed());
        return existe;
    });
    return existe;
}

void DB_Dll::AddField(const QString& Tabla, const QString& Campo, const QString& Tipo, bool PermiteNulos,
                      const Variant& ValorDefault)
{
    QString sql = QStringLiteral("ALTER TABLE dbo.") + Tabla + QStringLiteral(" ADD ") + Campo + QStringLiteral(" ") + Tipo;
    sql += PermiteNulos ? QStringLiteral(" Null ") : QStringLiteral(" Not Null ");
    if (!ValorDefault.isEmpty())
        sql += QStringLiteral(" CONSTRAINT DF_") + Tabla.trimmed() + QStringLiteral("_") + Campo.trimmed() +
               QStringLiteral(" DEFAULT (") + ValorDefault.toString() + QStringLiteral(")");
    rt::Protocolo p([this](const adodb::Error& e) { return TratamientoErrores(e, {}, QStringLiteral("errAddField")); });
    p.paso([&] { Ejecuta(sql); });
}

bool DB_Dll::VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar, const QString& Tipo, bool PermiteNulos,
                        const Variant& ValorDefault)
{
    if (ExisteTablaDB(Tabla) && !ExisteCampoDB(Tabla, Campo) && Agregar) AddField(Tabla, Campo, Tipo, PermiteNulos, ValorDefault);
    return true;
}
