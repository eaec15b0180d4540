#include "titles/titulos.h"

#include "adodb/connection.h"
#include "adodb/recordset.h"
#include "data/db_dll.h"
#include "runtime/protocolo.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"

#include <QDateTime>

#include <algorithm>
#include <set>

namespace titulos {

namespace {

const QString kTabla = QStringLiteral("TA_TITCOPIADORES");

// Rows written by other programs may hold the code padded or not: every
// statement finds the title by its code without blanks, as the operator sees it.
QString dondeCodigo(const QString& codigo)
{
    return QStringLiteral(" WHERE LTRIM(RTRIM(CODIGO)) = '") + rt::Comillas(codigo.trimmed()) + QStringLiteral("'");
}

QString filasDe(const QString& codigo)
{
    return QStringLiteral("SELECT * FROM ") + kTabla + dondeCodigo(codigo);
}

// Tables made by other programs may lack the optional columns.
int columna(const adodb::Recordset& rs, const QString& nombre)
{
    for (size_t c = 0; c < rs.columns().size(); ++c)
        if (rt::Iguales(rs.columns()[c].name, nombre)) return static_cast<int>(c);
    return -1;
}

bool esNumero(const QString& t)
{
    if (t.isEmpty()) return false;
    for (const QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

QString sinCeros(const QString& t)
{
    qsizetype i = 0;
    while (i + 1 < t.size() && t.at(i) == QLatin1Char('0')) ++i;
    return t.mid(i);
}

// Every spelling of a numeric code that fits the column, the one typed first:
// a title stored as "03" by another program is found by "3", and where both
// are stored the exact one wins.
QString condicionNumerica(const QString& texto, int ancho)
{
    const QString cifras = sinCeros(texto);
    QStringList formas;
    for (QString f = cifras; f.size() <= ancho; f.prepend(QLatin1Char('0'))) formas << QLatin1Char('\'') + f + QLatin1Char('\'');
    return QStringLiteral("LTRIM(RTRIM(CODIGO)) IN (") + formas.join(QLatin1Char(',')) +
           QStringLiteral(") ORDER BY CASE WHEN LTRIM(RTRIM(CODIGO)) = '") + texto +
           QStringLiteral("' THEN 0 ELSE 1 END, LTRIM(RTRIM(CODIGO))");
}

// A column the table lacks reads as empty.
QString valor(adodb::Recordset& rs, const QString& nombre)
{
    QString v;
    adodb::Attempt([&] { v = RtTexto::ValorCampo(rs.Fields(nombre).Value()); });
    return v;
}

}  // namespace

bool MismoNumero(const QString& a, const QString& b)
{
    return esNumero(a) && esNumero(b) && sinCeros(a) == sinCeros(b);
}

std::optional<Titulo> Busca(const QString& codigo)
{
    const QString texto = codigo.trimmed();
    const QString condicion = esNumero(texto) ? condicionNumerica(texto, kAnchoCodigo) : QString();
    adodb::Recordset rs;
    if (!DB().ExisteEnTabla(kTabla, texto, QStringLiteral("Codigo"), &rs, adodb::adBSTR, condicion, true)) return std::nullopt;
    return Titulo{valor(rs, QStringLiteral("CODIGO")), valor(rs, QStringLiteral("DESCRIPCION")),
                  valor(rs, QStringLiteral("DESDE")), valor(rs, QStringLiteral("HASTA")), valor(rs, QStringLiteral("TC"))};
}

QString Huella(const QString& codigo, adodb::Variant* creado)
{
    if (creado) *creado = adodb::Variant::Null();
    adodb::Recordset rs;
    DB().Abre(filasDe(codigo), rs);
    QStringList filas;
    for (long i = 0; i < rs.RecordCount(); ++i) {
        QStringList celdas;
        for (size_t c = 0; c < rs.columns().size(); ++c)
            celdas << RtTexto::ValorCampo(rs.cell(static_cast<size_t>(i), c)).trimmed();
        filas << celdas.join(QChar(0x1f));
    }
    const int cCreado = columna(rs, QStringLiteral("fechahora_grabacion"));
    for (long i = 0; creado && cCreado >= 0 && i < rs.RecordCount() && creado->isNull(); ++i)
        *creado = rs.cell(static_cast<size_t>(i), static_cast<size_t>(cCreado));
    filas.sort();
    return filas.join(QChar(0x1e));
}

QString ProximoCodigo()
{
    // The codes are text: MAX() would compare "   3" with "10" character by
    // character, and codes stored unpadded by other programs would be
    // proposed again. Numbers only; a code such as "A1" does not count.
    long long mayor = 0;
    std::set<long long> usados;
    adodb::Recordset rs;
    DB().AbrirRecordset(QStringLiteral("SELECT CODIGO FROM ") + kTabla, rs);
    if (rs.State() == adodb::adStateOpen) {
        for (long i = 0; i < rs.RecordCount(); ++i) {
            const QString codigo = RtTexto::ValorCampo(rs.cell(static_cast<size_t>(i), 0)).trimmed();
            if (codigo.isEmpty() || codigo.size() > 18 || !esNumero(codigo)) continue;
            const long long v = codigo.toLongLong();
            usados.insert(v);
            mayor = std::max(mayor, v);
        }
        DB().CierraRecordset(rs);
    }
    long long propuesto = mayor + 1;
    // Past the stored width, the first free number that still fits.
    const long long tope = 9999;
    if (propuesto > tope) {
        for (long long v = 1; v <= tope; ++v)
            if (!usados.count(v)) {
                propuesto = v;
                break;
            }
    }
    return QString::number(propuesto);
}

Grabacion Graba(const Titulo& t, const QString& huellaMostrada, bool nuevo, const Informe& informe,
                const std::function<void(const adodb::Error&)>& sinBorrar)
{
    adodb::Connection& cn = DB().gCnn;
    QString escribiendo;  // the column being written, for the report of a value it refuses
    rt::Protocolo p([&](const adodb::Error& e) { return informe(e, escribiendo); });
    const QString codigo = t.codigo.trimmed();
    Grabacion g;

    // Checking, deleting the old rows and writing the new one happen in one
    // transaction: all of it or none. The guard rolls back on any way out
    // that does not reach the commit; the row being written is dropped after it.
    adodb::Recordset fila;
    std::optional<adodb::Transaction> tx;
    p.paso([&] { tx.emplace(cn); });
    if (!tx) return g;
    adodb::Variant creado;
    QString actual;
    // Unread is not "deleted by another operator": the failure is reported.
    p.paso([&] { actual = Huella(codigo, &creado); });
    if (p.abortado()) return g;
    if (actual != huellaMostrada) {
        // Never ask the operator while holding the database's write lock.
        g.resultado = huellaMostrada.isEmpty() ? Resultado::CodigoDeOtro : Resultado::CambiadoPorOtro;
        g.huella = actual;
        return g;
    }

    const auto abreFila = [&] { DB().Abre(filasDe(codigo), fila, adodb::adOpenDynamic, adodb::adLockOptimistic); };
    // A new title whose code another operator stored meanwhile, saved anyway
    // by the operator's Yes, comes with that title's fingerprint: adding a
    // second row would only hit the key, so it replaces the rows like any
    // existing title.
    const bool agrega = nuevo && huellaMostrada.isEmpty();
    std::optional<adodb::Error> noBorro;
    if (!agrega) {
        p.paso([&] {
            try {
                DB().Ejecuta(QStringLiteral("DELETE FROM ") + kTabla + dondeCodigo(codigo));
            } catch (const adodb::AdoException& e) {
                // A lost link took the transaction: the whole save starts again or stops.
                if (adodb::IsTransactionLost(e.error())) throw;
                noBorro = e.error();
            }
        });
        if (!p.abortado() && noBorro) sinBorrar(*noBorro);
    }
    p.paso(abreFila);
    // Old rows still there are written over in place.
    if (!noBorro) p.paso([&] { fila.AddNew(); });

    const auto escribe = [&](const QString& nombre, const adodb::Variant& v) {
        escribiendo = nombre;
        p.paso([&] { fila.Fields(nombre).setValue(v); });
        escribiendo.clear();
    };
    const auto texto = [](const QString& s) { return adodb::Variant(RtTexto::ValorCampo(adodb::Variant(s))); };
    escribe(QStringLiteral("CODIGO"), adodb::Variant(RtTexto::AnchoFijo(codigo, kAnchoCodigo)));
    escribe(QStringLiteral("DESCRIPCION"), texto(t.descripcion));
    escribe(QStringLiteral("DESDE"), texto(t.desde));
    escribe(QStringLiteral("HASTA"), texto(t.hasta));
    // The replacing row keeps the title's creation date: the old row is
    // deleted, and with it the only record of when the title was made.
    const auto fecha = [&](const QString& nombre, const adodb::Variant& v) {
        if (columna(fila, nombre) >= 0) p.paso([&] { fila.Fields(nombre).setValue(v); });
    };
    const adodb::Variant ahora(QDateTime::currentDateTime());
    if (!agrega) {
        fecha(QStringLiteral("fechahora_grabacion"), creado);
        fecha(QStringLiteral("fechahora_modificacion"), ahora);
    } else {
        fecha(QStringLiteral("fechahora_grabacion"), ahora);
    }
    p.paso([&] { fila.Fields(QStringLiteral("TC")).setValue(adodb::Variant(t.comprobantes)); });
    bool escrito = false;
    p.paso([&] {
        fila.Update();
        escrito = true;
    });
    if (!escrito) {
        if (fila.State() == adodb::adStateOpen && fila.EditMode() != adodb::adEditNone) fila.CancelUpdate();
        return g;
    }
    try {
        tx->Commit();
    } catch (const adodb::AdoException& e) {
        tx.reset();
        g.alConfirmar = e.error();
        return g;
    }
    g.resultado = Resultado::Grabado;
    return g;
}

std::optional<long> Borra(const QString& codigo, const Informe& informe)
{
    long borrados = -1;
    rt::Protocolo p([&](const adodb::Error& e) { return informe(e, QString()); });
    p.paso([&] { borrados = DB().Ejecuta(QStringLiteral("DELETE FROM ") + kTabla + dondeCodigo(codigo)); });
    if (p.abortado()) return std::nullopt;
    return borrados;
}

std::vector<std::pair<QString, int>> LargosDeTexto()
{
    using namespace adodb;
    std::vector<std::pair<QString, int>> largos;
    if (DB().gCnn.State() != adStateOpen) return largos;
    Recordset esquema =
        DB().Esquema(adSchemaColumns, {Variant(DB().gCnn.DefaultDatabase()), Variant::Null(), Variant(kTabla), Variant::Null()});
    if (esquema.State() != adStateOpen || esquema.BOF()) return largos;
    for (esquema.MoveFirst(); !esquema.EOF_(); esquema.MoveNext()) {
        const Variant largo = esquema["CHARACTER_MAXIMUM_LENGTH"];
        const int tipo = static_cast<int>(esquema["DATA_TYPE"].toInt64());
        const bool texto = tipo == adBSTR || tipo == adChar || tipo == adWChar || tipo == adVarChar || tipo == adLongVarChar ||
                           tipo == adVarWChar || tipo == adLongVarWChar;
        if (largo.isNull() || largo.isEmpty() || !texto) continue;
        const qint64 n = largo.toInt64();
        if (n <= 0 || n >= 32767) continue;
        largos.emplace_back(RtTexto::ValorCampo(esquema["COLUMN_NAME"]), static_cast<int>(n));
    }
    return largos;
}

bool EstaGuardado(const Titulo& t)
{
    adodb::Recordset rs;
    DB().Abre(filasDe(t.codigo), rs);
    if (rs.RecordCount() != 1) return false;
    const auto guardado = [&](const QString& campo) { return RtTexto::ValorCampo(rs.Fields(campo).Value()).trimmed(); };
    return guardado(QStringLiteral("CODIGO")) == t.codigo.trimmed() &&
           guardado(QStringLiteral("DESCRIPCION")) == t.descripcion.trimmed() &&
           guardado(QStringLiteral("DESDE")) == t.desde.trimmed() && guardado(QStringLiteral("HASTA")) == t.hasta.trimmed() &&
           guardado(QStringLiteral("TC")) == t.comprobantes.trimmed();
}

}  // namespace titulos
