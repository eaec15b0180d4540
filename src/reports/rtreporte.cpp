#include "reports/rtreporte.h"

#include "data/db_dll.h"
#include "data/errores.h"
#include "reports/expresion.h"
#include "reports/vista_previa.h"
#include "runtime/operador.h"
#include "runtime/ventanas.h"
#include "runtime/rtentorno.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace reportes {

namespace {

// The page, in points (A4 portrait).
constexpr double kAncho = 595.0, kAlto = 842.0, kMargen = 36.0;
constexpr double kEncabezado = 44.0;  // company, date, title and page before the column captions
constexpr double kTitulos = 18.0;     // column captions and their rule
constexpr double kRenglon = 12.0;
constexpr double kSeparacion = 6.0;  // between columns
constexpr int kResolucionPdf = 300;

QFont letra(int puntos, bool negrita = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(puntos);  // the painter works in points, so pixels here are points on paper
    f.setBold(negrita);
    // Without ligatures the PDF's text reads back as typed ("fi", not one glyph),
    // so it can be searched and copied.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

// Left edge and width of each column, the relative widths spread over the page.
std::vector<std::pair<double, double>> posiciones(const std::vector<ColumnaReporte>& columnas)
{
    std::vector<std::pair<double, double>> r;
    double suma = 0;
    for (const auto& c : columnas) suma += std::max(1, c.ancho);
    const double util = kAncho - 2 * kMargen - kSeparacion * (columnas.size() > 0 ? columnas.size() - 1 : 0);
    double x = kMargen;
    for (const auto& c : columnas) {
        const double w = suma > 0 ? util * std::max(1, c.ancho) / suma : util;
        r.emplace_back(x, w);
        x += w + kSeparacion;
    }
    return r;
}

// A cell's text whole on one line: when it is wider than its column it is
// drawn in a smaller letter, down to kLetraMinima of the row's size; only a
// text that does not fit even then loses its end.
constexpr double kLetraMinima = 0.4;

void PintaCelda(QPainter& p, const QRectF& celda, Qt::Alignment alineacion, const QString& texto, const QFontMetricsF& medida)
{
    // The measure is the screen's; a printer or a zoomed page may round the
    // letters a hair wider, which then overflows into the gap between
    // columns rather than losing a letter to the clip.
    const int banderas = static_cast<int>(alineacion) | Qt::TextDontClip;
    const double ancho = medida.horizontalAdvance(texto);
    if (ancho <= celda.width()) {
        p.drawText(celda, banderas, texto);
        return;
    }
    const double escala = std::max(kLetraMinima, celda.width() / ancho * 0.98);
    const QRectF reducida(-celda.width() / escala / 2, -celda.height() / escala / 2, celda.width() / escala,
                          celda.height() / escala);
    p.save();
    p.translate(celda.center());
    p.scale(escala, escala);
    p.drawText(reducida, banderas, medida.elidedText(texto, Qt::ElideRight, reducida.width()));
    p.restore();
}

}  // namespace

QString ArchivoDefinicion(const QString& carpeta, const QString& nombre)
{
    const QString buscado = nombre.trimmed() + QStringLiteral(".rep");
    const QDir dir(carpeta);
    for (const QString& f : dir.entryList(QDir::Files | QDir::Readable))
        if (rt::Iguales(f, buscado)) return dir.filePath(f);
    return {};
}

DefinicionReporte LeeDefinicion(const QString& ruta)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) throw ErrorReporte(QStringLiteral("No se puede leer el reporte ") + ruta);
    DefinicionReporte d;
    // UTF-8 as the build writes them; a file saved by a Windows editor of the
    // suite's installations is Windows-1252, and keeps its accents.
    const QByteArray bytes = f.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texto = utf8.decode(bytes);
    if (utf8.hasError()) texto = rt::DeWindows1252(bytes);
    const QStringList lineas = texto.split(QLatin1Char('\n'));
    int numero = 0;
    for (QString linea : lineas) {
        ++numero;
        linea = linea.trimmed();
        if (linea.isEmpty() || linea.startsWith(u'#')) continue;
        const qsizetype igual = linea.indexOf(u'=');
        if (igual < 0) throw ErrorReporte(QStringLiteral("Línea %1 del reporte %2: falta \"=\"").arg(numero).arg(ruta));
        const QString clave = linea.left(igual).trimmed().toLower();
        const QString valor = linea.mid(igual + 1).trimmed();
        if (clave == QLatin1String("titulo"))
            d.titulo = valor;
        else if (clave == QLatin1String("origen"))
            d.origen = valor;
        else if (clave == QLatin1String("orden")) {
            const QStringList partes = valor.split(u'|');
            d.orden << partes[0].trimmed();
            const QString modo = partes.value(1).trimmed();
            if (rt::Iguales(modo, QStringLiteral("numero")) || rt::Iguales(modo, QStringLiteral("número")))
                d.ordenNumerico = d.ordenNumerico || d.orden.size() == 1;
            else if (partes.size() > 1)
                throw ErrorReporte(QStringLiteral("Línea %1 del reporte %2: orden mal escrito").arg(numero).arg(ruta));
        } else if (clave == QLatin1String("columna")) {
            const QStringList partes = valor.split(u'|');
            ColumnaReporte c;
            c.campo = partes.value(0).trimmed();
            c.titulo = partes.value(1, c.campo).trimmed();
            bool ok = true;
            c.ancho = partes.size() > 2 ? partes[2].trimmed().toInt(&ok) : 10;
            if (!ok || c.ancho <= 0 || c.campo.isEmpty())
                throw ErrorReporte(QStringLiteral("Línea %1 del reporte %2: columna mal escrita").arg(numero).arg(ruta));
            d.columnas.push_back(c);
        } else {
            throw ErrorReporte(QStringLiteral("Línea %1 del reporte %2: clave desconocida \"%3\"").arg(numero).arg(ruta, clave));
        }
    }
    static const QRegularExpression nombre(QStringLiteral("^[A-Za-z_][A-Za-z0-9_$#]*$"));
    if (!nombre.match(d.origen).hasMatch())
        throw ErrorReporte(QStringLiteral("El reporte ") + ruta + QStringLiteral(" no nombra una tabla de origen válida"));
    if (d.columnas.empty()) throw ErrorReporte(QStringLiteral("El reporte ") + ruta + QStringLiteral(" no tiene columnas"));
    return d;
}

QString ValorDeFormula(const QString& valorFormula, const QString& nombre)
{
    static const QRegularExpression asignacion(QStringLiteral("([A-Za-z_][A-Za-z0-9_]*)\\s*=\\s*'((?:[^']|'')*)'"));
    auto it = asignacion.globalMatch(valorFormula);
    while (it.hasNext()) {
        const auto m = it.next();
        if (rt::Iguales(m.captured(1), nombre)) return m.captured(2).replace(QStringLiteral("''"), QStringLiteral("'"));
    }
    return {};
}

QString SentenciaReporte(const DefinicionReporte& def, const QStringList& orden, const QString& formula, bool rangosNativos)
{
    QStringList columnas;
    for (const auto& c : def.columnas) columnas << CampoSql(c.campo, def.origen);
    QString sql = QStringLiteral("SELECT ") + columnas.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + def.origen;
    const QString donde = FormulaASql(formula, def.origen, rangosNativos);
    if (!donde.isEmpty()) sql += QStringLiteral(" WHERE ") + donde;
    QStringList por;
    for (const QString& o : orden)
        if (!o.trimmed().isEmpty()) por << CampoOrden(o, def.origen);
    if (por.isEmpty())
        for (const QString& o : def.orden)
            if (!o.trimmed().isEmpty()) por << CampoOrden(o, def.origen);
    if (!por.isEmpty()) sql += QStringLiteral(" ORDER BY ") + por.join(QStringLiteral(", "));
    return sql;
}

// ---------------------------------------------------------------------------

long Informe::cantidad() const
{
    return filas.State() == adodb::adStateOpen ? filas.RecordCount() : 0;
}

int Informe::paginas() const
{
    // The closing count needs a row's room of its own.
    return static_cast<int>(cantidad() / kFilasPorPagina) + 1;
}

std::pair<long, long> Informe::filasDePagina(int pagina) const
{
    const long desde = std::min<long>(cantidad(), static_cast<long>(pagina) * kFilasPorPagina);
    return {desde, std::min<long>(cantidad(), desde + kFilasPorPagina)};
}

QString Informe::celda(long fila, int columna) const
{
    const size_t f = orden_.empty() ? static_cast<size_t>(fila) : static_cast<size_t>(orden_[static_cast<size_t>(fila)]);
    return filas.cell(f, static_cast<size_t>(columna)).toString();
}

void Informe::OrdenaComoNumeros(int columna, bool descendente)
{
    // As the titles window reads codes when it proposes the next one: trimmed,
    // digits only, at most 18 of them.
    const long n = cantidad();
    std::vector<std::pair<long long, long>> numeros;
    std::vector<long> otros;
    for (long i = 0; i < n; ++i) {
        const QString c = filas.cell(static_cast<size_t>(i), static_cast<size_t>(columna)).toString().trimmed();
        const bool numero =
            !c.isEmpty() && c.size() <= 18 && std::all_of(c.begin(), c.end(), [](QChar x) { return x >= u'0' && x <= u'9'; });
        if (numero)
            numeros.emplace_back(c.toLongLong(), i);
        else
            otros.push_back(i);
    }
    std::stable_sort(numeros.begin(), numeros.end(),
                     [&](const auto& a, const auto& b) { return descendente ? a.first > b.first : a.first < b.first; });
    orden_.clear();
    for (const auto& p : numeros) orden_.push_back(p.second);
    orden_.insert(descendente ? orden_.begin() : orden_.end(), otros.begin(), otros.end());
}

bool Informe::numerica(int columna) const
{
    return adodb::IsNumericType(filas.columns().at(static_cast<size_t>(columna)).type);
}

QString Informe::textoPagina(int pagina) const
{
    return QStringLiteral("Página %1 de %2").arg(pagina + 1).arg(paginas());
}

QString Informe::textoCantidad() const
{
    return QStringLiteral("Cantidad de registros: %1").arg(cantidad());
}

void PintaPagina(QPainter& p, const Informe& informe, int pagina)
{
    p.save();
    p.setPen(Qt::black);
    const QRectF linea1(kMargen, kMargen, kAncho - 2 * kMargen, 14);
    p.setFont(letra(10, true));
    p.drawText(linea1, Qt::AlignLeft | Qt::AlignVCenter, informe.empresa.trimmed());
    p.setFont(letra(9));
    p.drawText(linea1, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Fecha: ") + informe.fecha);
    const QRectF linea2(kMargen, kMargen + 16, kAncho - 2 * kMargen, 22);
    p.setFont(letra(13, true));
    p.drawText(linea2, Qt::AlignHCenter | Qt::AlignVCenter, informe.titulo);
    p.setFont(letra(9));
    p.drawText(linea2, Qt::AlignRight | Qt::AlignVCenter, informe.textoPagina(pagina));

    const auto pos = posiciones(informe.columnas);
    const size_t nc = std::min(pos.size(), informe.filas.columns().size());
    double y = kMargen + kEncabezado;
    const QFont negrita = letra(9, true), normal = letra(9);
    p.setFont(negrita);
    for (size_t c = 0; c < nc; ++c) {
        const auto align = (informe.numerica(static_cast<int>(c)) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
        p.drawText(QRectF(pos[c].first, y, pos[c].second, 14), align, informe.columnas[c].titulo);
    }
    p.drawLine(QPointF(kMargen, y + 15), QPointF(kAncho - kMargen, y + 15));
    y += kTitulos;

    p.setFont(normal);
    const QFontMetricsF medida(normal);
    const auto [desde, hasta] = informe.filasDePagina(pagina);
    for (long f = desde; f < hasta; ++f, y += kRenglon) {
        for (size_t c = 0; c < nc; ++c) {
            const bool num = informe.numerica(static_cast<int>(c));
            PintaCelda(p, QRectF(pos[c].first, y, pos[c].second, kRenglon),
                       (num ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, informe.celda(f, static_cast<int>(c)), medida);
        }
    }
    if (pagina == informe.paginas() - 1) {
        p.drawLine(QPointF(kMargen, y + 2), QPointF(kAncho - kMargen, y + 2));
        p.setFont(negrita);
        p.drawText(QRectF(kMargen, y + 3, kAncho - 2 * kMargen, kRenglon), Qt::AlignLeft | Qt::AlignVCenter,
                   informe.textoCantidad());
    }
    p.restore();
}

bool EscribePdf(const Informe& informe, const QString& ruta, const std::function<bool(int, int)>& progreso)
{
    bool escrito = false;
    {
        QPdfWriter pdf(ruta);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(kResolucionPdf);
        pdf.setTitle(informe.titulo);
        pdf.setCreator(QStringLiteral("Títulos Copiadores"));
        QPainter p;
        if (p.begin(&pdf)) {
            escrito = true;
            const int total = informe.paginas();
            for (int i = 0; i < total; ++i) {
                if (progreso && !progreso(i, total)) {
                    escrito = false;
                    break;
                }
                if (i > 0) pdf.newPage();
                p.save();
                p.scale(kResolucionPdf / 72.0, kResolucionPdf / 72.0);
                PintaPagina(p, informe, i);
                p.restore();
            }
            p.end();
        }
    }
    if (!escrito || !QFile::exists(ruta)) {
        QFile::remove(ruta);
        return false;
    }
    return true;
}

bool EsEmbebida(const adodb::Connection& cn)
{
    return cn.State() && !adodb::ConnectionInfo::parse(cn.ConnectionString).embeddedFile().isEmpty();
}

void AnotaFalla(const QString& rutina, const QString& mensaje)
{
    // Until a log of the library's own is named, its failures go where every
    // other error of the session goes: whoever reads VLERR.LOG finds them all.
    QString log = RtTexto::ArchivoLogActual();
    if (log.trimmed().isEmpty()) log = DB().RutaLogErrores();
    errores::AgregaLinea(log, errores::LineaLog(QDateTime::currentDateTime(), adodb::Variant(rutina), mensaje, rt::vbOK));
}

}  // namespace reportes

// ---------------------------------------------------------------------------

namespace {
QString& carpetaReportes()
{
    static QString c;
    return c;
}
}  // namespace

void RtReporte::CarpetaReportes(const QString& carpeta)
{
    carpetaReportes() = carpeta;
}

QString RtReporte::CarpetaReportesActual()
{
    return carpetaReportes().isEmpty() ? RtEntorno::CarpetaPrograma() : carpetaReportes();
}

std::shared_ptr<reportes::Informe> RtReporte::ArmaInforme(const QString& Reporte, const QStringList& CamposOrden,
                                                          const QString& Formula, const QString& ValorFormula)
{
    using namespace reportes;
    const QString archivo = ArchivoDefinicion(CarpetaReportesActual(), Reporte);
    if (archivo.isEmpty())
        throw ErrorReporte(QStringLiteral("No se encuentra el reporte ") + Reporte + QStringLiteral(" en ") +
                           CarpetaReportesActual());
    const DefinicionReporte def = LeeDefinicion(archivo);
    const QString sql = SentenciaReporte(def, CamposOrden, Formula, EsEmbebida(DB().gCnn));
    auto informe = std::make_shared<Informe>();
    informe->titulo = def.titulo.isEmpty() ? Reporte : def.titulo;
    informe->empresa = ValorDeFormula(ValorFormula, QStringLiteral("empresa"));
    informe->fecha = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    informe->columnas = def.columnas;
    DB().AbrirRecordset(sql, informe->filas, nullptr, adodb::adOpenForwardOnly, adodb::adLockReadOnly);
    // AbrirRecordset has already shown its failure to the operator.
    if (informe->filas.State() != adodb::adStateOpen) throw ErrorReporte(QString());
    const bool ordenPropio =
        std::all_of(CamposOrden.begin(), CamposOrden.end(), [](const QString& o) { return o.trimmed().isEmpty(); });
    if (def.ordenNumerico && ordenPropio && !def.orden.isEmpty()) {
        // The engine sorted the codes as texts; numbers go in numeric order on top.
        const QString primero = def.orden.first().trimmed();
        const bool descendente = primero.startsWith(u'-');
        const QString campo = CampoSql(primero.startsWith(u'+') || descendente ? primero.mid(1).trimmed() : primero, def.origen);
        for (size_t c = 0; c < def.columnas.size(); ++c)
            if (rt::Iguales(CampoSql(def.columnas[c].campo, def.origen), campo)) {
                informe->OrdenaComoNumeros(static_cast<int>(c), descendente);
                break;
            }
    }
    return informe;
}

bool RtReporte::ImprimeReporte(const QString& Reporte, const QStringList& CamposOrden, const QString& Formula,
                               const QString& /*Conexion: the session's own database*/, QString& ValorFormula,
                               const adodb::Variant&, const adodb::Variant&, const adodb::Variant&, const adodb::Variant&,
                               const QString&, const QString&, const QString&)
{
    using namespace reportes;
    QString falla;
    try {
        ultimo = ArmaInforme(Reporte, CamposOrden, Formula, ValorFormula);
        if (!ArchivoSalida.isEmpty()) {
            if (EscribePdf(*ultimo, ArchivoSalida)) return true;
            falla = QStringLiteral("No se pudo escribir el archivo ") + ArchivoSalida;
        } else {
            auto* v = new VistaPrevia(ultimo);
            // Placed before it shows, so it does not jump, and again once its frame is known.
            const QWidget* sobre = QApplication::activeWindow();
            rt::UbicaSobre(v, sobre);
            v->show();
            rt::UbicaSobre(v, sobre);
            v->raise();
            v->activateWindow();
            vista = v;
            return true;
        }
    } catch (const ErrorFormula& e) {
        falla = QStringLiteral("La fórmula de selección del reporte no es válida: ") + e.texto();
    } catch (const ErrorReporte& e) {
        falla = e.texto();
    } catch (const adodb::AdoException& e) {
        falla = errores::Mensaje(e.error());
    }
    if (!falla.isEmpty()) {
        rt::operador().MsgBox(falla, rt::vbExclamation, QStringLiteral("Reporte ") + Reporte);
        AnotaFalla(QStringLiteral("ImprimeReporte"), falla);
    }
    return false;
}

void RtReporte::FinReporte(int Valor)
{
    if (Valor == 20) ultimo.reset();
}
