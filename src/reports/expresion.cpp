#include "reports/expresion.h"

#include "runtime/texto.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>

namespace reportes {

namespace {

// Chains shorter than this are written as they came, so short selections stay
// readable in logs; longer ones are folded or nested.
constexpr size_t kCadenaLarga = 8;

// Nobody writes a condition this deep; refusing it keeps reading, writing and
// freeing the tree (all recursive) well inside the stack.
constexpr int kNivelesMaximos = 200;

struct Token {
    enum Tipo { Fin, Abre, Cierra, Coma, Operador, Campo, Texto, Numero, Nombre };
    Tipo tipo = Fin;
    QString texto;
    int posicion = 0;
};

bool esInicioNombre(QChar c)
{
    return c.isLetter() || c == u'_';
}
bool esNombre(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#';
}

const QRegularExpression& patronNombre()
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_$#]*$"));
    return re;
}

[[noreturn]] void falla(const QString& que, int posicion)
{
    throw ErrorFormula(que + QStringLiteral(" (posición %1)").arg(posicion + 1));
}

std::vector<Token> divide(const QString& t)
{
    std::vector<Token> r;
    int i = 0;
    const int n = static_cast<int>(t.size());
    while (i < n) {
        const QChar c = t.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token k;
        k.posicion = i;
        if (c == u'(' || c == u')' || c == u',') {
            k.tipo = c == u'(' ? Token::Abre : c == u')' ? Token::Cierra : Token::Coma;
            k.texto = c;
            ++i;
        } else if (c == u'{') {
            const int fin = static_cast<int>(t.indexOf(u'}', i));
            if (fin < 0) falla(QStringLiteral("Falta la llave de cierre del campo"), i);
            k.tipo = Token::Campo;
            k.texto = t.mid(i + 1, fin - i - 1).trimmed();
            i = fin + 1;
        } else if (c == u'\'' || c == u'"') {
            // A doubled quote stands for itself, as in both formulas and SQL.
            QString valor;
            int j = i + 1;
            for (;;) {
                if (j >= n) falla(QStringLiteral("Falta cerrar el texto entre comillas"), i);
                if (t.at(j) == c) {
                    if (j + 1 < n && t.at(j + 1) == c) {
                        valor += c;
                        j += 2;
                        continue;
                    }
                    break;
                }
                valor += t.at(j++);
            }
            k.tipo = Token::Texto;
            k.texto = valor;
            i = j + 1;
        } else if (c.isDigit()) {
            int j = i;
            while (j < n && (t.at(j).isDigit() || t.at(j) == u'.')) ++j;
            k.tipo = Token::Numero;
            k.texto = t.mid(i, j - i);
            if (k.texto.count(u'.') > 1) falla(QStringLiteral("Número mal escrito: ") + k.texto, i);
            i = j;
        } else if (esInicioNombre(c)) {
            int j = i;
            while (j < n && (esNombre(t.at(j)) || (t.at(j) == u'.' && j + 1 < n && esInicioNombre(t.at(j + 1))))) ++j;
            k.tipo = Token::Nombre;
            k.texto = t.mid(i, j - i);
            i = j;
        } else {
            static const char* const ops[] = {"<>", "!=", "<=", ">=", "=", "<", ">"};
            bool hallado = false;
            for (const char* op : ops) {
                const QString o = QString::fromLatin1(op);
                if (t.mid(i, o.size()) == o) {
                    k.tipo = Token::Operador;
                    k.texto = o == QLatin1String("!=") ? QStringLiteral("<>") : o;
                    i += static_cast<int>(o.size());
                    hallado = true;
                    break;
                }
            }
            if (!hallado) falla(QStringLiteral("Carácter no permitido: ") + c, i);
        }
        r.push_back(std::move(k));
    }
    Token fin;
    fin.posicion = n;
    r.push_back(fin);
    return r;
}

class Lector {
public:
    explicit Lector(std::vector<Token> t) : t_(std::move(t)) {}

    std::unique_ptr<Nodo> todo()
    {
        auto n = disyuncion();
        if (actual().tipo != Token::Fin)
            falla(QStringLiteral("Sobra texto al final de la condición: ") + actual().texto, actual().posicion);
        return n;
    }

private:
    const Token& actual() const { return t_[p_]; }
    // One level deeper: a parenthesis, a call or a NOT. (After a failure the
    // reader is discarded, so only successful returns step back out.)
    void entra(int posicion)
    {
        if (++nivel_ > kNivelesMaximos)
            falla(QStringLiteral("La condición anida más de %1 niveles de paréntesis, funciones o NOT").arg(kNivelesMaximos),
                  posicion);
    }
    bool palabra(const char* p) const { return actual().tipo == Token::Nombre && rt::Iguales(actual().texto, QLatin1String(p)); }

    std::unique_ptr<Nodo> cadena(Nodo::Tipo tipo, const char* palabraClave, std::unique_ptr<Nodo> (Lector::*siguiente)())
    {
        auto primero = (this->*siguiente)();
        if (!palabra(palabraClave)) return primero;
        auto n = std::make_unique<Nodo>();
        n->tipo = tipo;
        n->hijos.push_back(std::move(primero));
        while (palabra(palabraClave)) {
            ++p_;
            n->hijos.push_back((this->*siguiente)());
        }
        return n;
    }
    std::unique_ptr<Nodo> disyuncion() { return cadena(Nodo::O, "or", &Lector::conjuncion); }
    std::unique_ptr<Nodo> conjuncion() { return cadena(Nodo::Y, "and", &Lector::negacion); }

    std::unique_ptr<Nodo> negacion()
    {
        if (!palabra("not")) return comparacion();
        ++p_;
        auto n = std::make_unique<Nodo>();
        n->tipo = Nodo::No;
        entra(actual().posicion);
        n->hijos.push_back(negacion());
        --nivel_;
        return n;
    }

    std::unique_ptr<Nodo> comparacion()
    {
        auto izq = operando();
        if (actual().tipo != Token::Operador) return izq;
        auto n = std::make_unique<Nodo>();
        n->tipo = Nodo::Comparacion;
        n->valor = actual().texto;
        ++p_;
        n->hijos.push_back(std::move(izq));
        n->hijos.push_back(operando());
        return n;
    }

    std::unique_ptr<Nodo> operando()
    {
        const Token k = actual();
        auto n = std::make_unique<Nodo>();
        switch (k.tipo) {
        case Token::Abre: {
            ++p_;
            entra(k.posicion);
            auto dentro = disyuncion();
            if (actual().tipo != Token::Cierra) falla(QStringLiteral("Falta cerrar un paréntesis"), actual().posicion);
            ++p_;
            --nivel_;
            return dentro;
        }
        case Token::Campo: {
            ++p_;
            const qsizetype punto = k.texto.lastIndexOf(u'.');
            n->tipo = Nodo::Campo;
            n->tabla = punto < 0 ? QString() : k.texto.left(punto).trimmed();
            n->valor = k.texto.mid(punto + 1).trimmed();
            if (!patronNombre().match(n->valor).hasMatch() || (!n->tabla.isEmpty() && !patronNombre().match(n->tabla).hasMatch()))
                falla(QStringLiteral("Campo no válido: {") + k.texto + QLatin1Char('}'), k.posicion);
            return n;
        }
        case Token::Texto:
            ++p_;
            n->tipo = Nodo::Texto;
            n->valor = k.texto;
            return n;
        case Token::Numero:
            ++p_;
            n->tipo = Nodo::Numero;
            n->valor = k.texto;
            return n;
        case Token::Nombre: {
            ++p_;
            if (rt::Iguales(k.texto, QStringLiteral("true")) || rt::Iguales(k.texto, QStringLiteral("false"))) {
                n->tipo = Nodo::Logico;
                n->valor = rt::Iguales(k.texto, QStringLiteral("true")) ? QStringLiteral("1") : QStringLiteral("0");
                return n;
            }
            for (const char* reservada : {"and", "or", "not"})
                if (rt::Iguales(k.texto, QLatin1String(reservada)))
                    falla(QStringLiteral("Falta un operando antes de ") + k.texto, k.posicion);
            if (actual().tipo == Token::Abre) {
                ++p_;
                n->tipo = Nodo::Funcion;
                n->valor = k.texto;
                entra(k.posicion);
                if (actual().tipo != Token::Cierra) {
                    n->hijos.push_back(operando());
                    while (actual().tipo == Token::Coma) {
                        ++p_;
                        n->hijos.push_back(operando());
                    }
                }
                if (actual().tipo != Token::Cierra)
                    falla(QStringLiteral("Falta cerrar la función ") + k.texto, actual().posicion);
                ++p_;
                --nivel_;
                return n;
            }
            const qsizetype punto = k.texto.lastIndexOf(u'.');
            n->tipo = Nodo::Campo;
            n->tabla = punto < 0 ? QString() : k.texto.left(punto);
            n->valor = k.texto.mid(punto + 1);
            return n;
        }
        case Token::Fin: falla(QStringLiteral("La condición termina antes de tiempo"), k.posicion);
        default: falla(QStringLiteral("Se esperaba un valor y se encontró ") + k.texto, k.posicion);
        }
    }

    std::vector<Token> t_;
    size_t p_ = 0;
    int nivel_ = 0;
};

// ---------------------------------------------------------------------------

QString funcionSql(const QString& nombre)
{
    static const std::map<QString, QString> conocidas = {
        {QStringLiteral("LTRIM"), QStringLiteral("LTRIM")},     {QStringLiteral("RTRIM"), QStringLiteral("RTRIM")},
        {QStringLiteral("TRIM"), QStringLiteral("TRIM")},       {QStringLiteral("UPPER"), QStringLiteral("UPPER")},
        {QStringLiteral("UPPERCASE"), QStringLiteral("UPPER")}, {QStringLiteral("UCASE"), QStringLiteral("UPPER")},
        {QStringLiteral("LOWER"), QStringLiteral("LOWER")},     {QStringLiteral("LOWERCASE"), QStringLiteral("LOWER")},
        {QStringLiteral("LCASE"), QStringLiteral("LOWER")},
    };
    const auto it = conocidas.find(nombre.toUpper());
    if (it == conocidas.end()) throw ErrorFormula(QStringLiteral("Función no admitida en la condición: ") + nombre);
    return it->second;
}

class Escritor {
public:
    explicit Escritor(QString tabla) : tabla_(std::move(tabla)) {}

    QString condicion(const Nodo& n)
    {
        switch (n.tipo) {
        case Nodo::Y:
        case Nodo::O: return cadena(n);
        case Nodo::No: return QStringLiteral("NOT ") + envuelve(condicion(*n.hijos[0]));
        case Nodo::Comparacion: return valor(*n.hijos[0]) + QLatin1Char(' ') + n.valor + QLatin1Char(' ') + valor(*n.hijos[1]);
        case Nodo::Campo: return valor(n) + QStringLiteral(" <> 0");  // a yes/no column standing alone
        case Nodo::Logico: return n.valor == QLatin1String("1") ? QStringLiteral("1 = 1") : QStringLiteral("1 = 0");
        default: throw ErrorFormula(QStringLiteral("Se esperaba una condición y se encontró un valor: ") + valor(n));
        }
    }

    QString valor(const Nodo& n)
    {
        switch (n.tipo) {
        case Nodo::Campo:
            if (!n.tabla.isEmpty() && !tabla_.isEmpty() && !rt::Iguales(n.tabla, tabla_))
                throw ErrorFormula(QStringLiteral("La condición nombra la tabla ") + n.tabla +
                                   QStringLiteral(", que el reporte no lee"));
            if (!patronNombre().match(n.valor).hasMatch()) throw ErrorFormula(QStringLiteral("Campo no válido: ") + n.valor);
            return tabla_.isEmpty() && !n.tabla.isEmpty() ? n.tabla + QLatin1Char('.') + n.valor : n.valor;
        case Nodo::Texto: return LiteralSql(n.valor);
        case Nodo::Numero:
        case Nodo::Logico: return n.valor;
        case Nodo::Funcion: {
            QStringList args;
            for (const auto& h : n.hijos) args << valor(*h);
            return funcionSql(n.valor) + QLatin1Char('(') + args.join(QStringLiteral(", ")) + QLatin1Char(')');
        }
        default: return QLatin1Char('(') + condicion(n) + QLatin1Char(')');
        }
    }

private:
    static QString envuelve(const QString& s) { return QLatin1Char('(') + s + QLatin1Char(')'); }

    // One "outside [lo, hi]" clause: (E < 'lo' OR E > 'hi').
    struct Exclusion {
        QString expresion, desde, hasta;
    };

    static bool soloDigitos(const QString& s)
    {
        return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    }

    bool exclusion(const Nodo& n, Exclusion& e)
    {
        if (n.tipo != Nodo::O || n.hijos.size() != 2) return false;
        const Nodo* a = n.hijos[0].get();
        const Nodo* b = n.hijos[1].get();
        if (a->tipo != Nodo::Comparacion || b->tipo != Nodo::Comparacion) return false;
        if (a->valor == QLatin1String(">")) std::swap(a, b);
        if (a->valor != QLatin1String("<") || b->valor != QLatin1String(">")) return false;
        if (a->hijos[1]->tipo != Nodo::Texto || b->hijos[1]->tipo != Nodo::Texto) return false;
        const Nodo::Tipo t = a->hijos[0]->tipo;
        if (t != Nodo::Campo && t != Nodo::Funcion) return false;
        e.expresion = valor(*a->hijos[0]);
        if (valor(*b->hijos[0]) != e.expresion) return false;
        e.desde = a->hijos[1]->valor;
        e.hasta = b->hijos[1]->valor;
        // Merging needs the engine's order; codes of digits sort alike under
        // every collation, anything else is left to the engine clause by clause.
        return soloDigitos(e.desde) && soloDigitos(e.hasta);
    }

    // Outside every range of a sorted, disjoint list: a binary search written
    // as SQL, so each row meets about two comparisons per halving.
    QString busqueda(const QString& x, const std::vector<std::pair<QString, QString>>& r, size_t desde, size_t hasta)
    {
        if (desde >= hasta) return {};
        const size_t medio = desde + (hasta - desde) / 2;
        const QString izq = busqueda(x, r, desde, medio);
        const QString der = busqueda(x, r, medio + 1, hasta);
        QString menor = x + QStringLiteral(" < ") + LiteralSql(r[medio].first);
        QString mayor = x + QStringLiteral(" > ") + LiteralSql(r[medio].second);
        if (!izq.isEmpty()) menor = envuelve(menor + QStringLiteral(" AND ") + izq);
        if (!der.isEmpty()) mayor = envuelve(mayor + QStringLiteral(" AND ") + der);
        return envuelve(menor + QStringLiteral(" OR ") + mayor);
    }

    QString plegadas(const QString& x, std::vector<std::pair<QString, QString>> rangos)
    {
        // A reversed range excludes nothing: every code is below its start or above its end.
        rangos.erase(std::remove_if(rangos.begin(), rangos.end(), [](const auto& p) { return p.first > p.second; }),
                     rangos.end());
        if (rangos.empty()) return QStringLiteral("1 = 1");
        std::sort(rangos.begin(), rangos.end());
        std::vector<std::pair<QString, QString>> unidos;
        for (const auto& r : rangos) {
            if (!unidos.empty() && r.first <= unidos.back().second)
                unidos.back().second = std::max(unidos.back().second, r.second);
            else
                unidos.push_back(r);
        }
        // A bare column would tempt the embedded engine into an index scan per
        // branch of the search, three times slower than reading the table once;
        // unary + keeps the column's collation and leaves its index alone.
        if (rangosNativos && !x.contains(u'(')) return busqueda(QLatin1Char('+') + x, unidos, 0, unidos.size());
        if (rangosNativos) {
            // A function's result: the embedded engine's FUERA_DE_RANGOS
            // compares as the clauses would (CI collation), one search per row in C.
            QStringList lista;
            for (const auto& r : unidos) lista << r.first + QLatin1Char(':') + r.second;
            return QStringLiteral("FUERA_DE_RANGOS(") + x + QStringLiteral(", '") + lista.join(u',') + QStringLiteral("') = 1");
        }
        return busqueda(x, unidos, 0, unidos.size());
    }

    static QString equilibrada(const QStringList& partes, const QString& op, qsizetype desde, qsizetype hasta)
    {
        if (hasta - desde == 1) return partes[desde];
        const qsizetype medio = desde + (hasta - desde) / 2;
        return envuelve(equilibrada(partes, op, desde, medio) + op + equilibrada(partes, op, medio, hasta));
    }

    QString cadena(const Nodo& n)
    {
        const bool y = n.tipo == Nodo::Y;
        const QString op = y ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
        QStringList partes;
        if (y && n.hijos.size() >= kCadenaLarga) {
            // Group the range exclusions by the expression they test, keeping
            // the place of the first one.
            std::vector<std::pair<QString, std::vector<std::pair<QString, QString>>>> grupos;
            std::vector<int> orden;  // -1: a plain term, else the group index
            QStringList sueltos;
            for (const auto& h : n.hijos) {
                Exclusion e;
                if (exclusion(*h, e)) {
                    auto it = std::find_if(grupos.begin(), grupos.end(), [&](const auto& g) { return g.first == e.expresion; });
                    if (it == grupos.end()) {
                        grupos.push_back({e.expresion, {}});
                        orden.push_back(static_cast<int>(grupos.size() - 1));
                        it = grupos.end() - 1;
                    }
                    it->second.emplace_back(e.desde, e.hasta);
                } else {
                    orden.push_back(-1);
                    sueltos << condicion(*h);
                }
            }
            qsizetype suelto = 0;
            for (int g : orden) {
                if (g < 0)
                    partes << sueltos[suelto++];
                else
                    partes << plegadas(grupos[g].first, grupos[g].second);
            }
        } else {
            for (const auto& h : n.hijos) partes << condicion(*h);
        }
        if (partes.size() < static_cast<qsizetype>(kCadenaLarga)) return envuelve(partes.join(op));
        return equilibrada(partes, op, 0, partes.size());
    }

    QString tabla_;

public:
    /// The engine offers FUERA_DE_RANGOS.
    bool rangosNativos = false;
};

int comparaciones(const Nodo& n)
{
    int c = n.tipo == Nodo::Comparacion ? 1 : 0;
    for (const auto& h : n.hijos) c += comparaciones(*h);
    return c;
}

// 0-based start of the last WHERE that is a whole word outside quotes and
// parentheses; -1 when there is none.
qsizetype ultimoWhere(const QString& s)
{
    qsizetype hallado = -1;
    int nivel = 0;
    QChar comilla;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (!comilla.isNull()) {
            if (c == comilla) comilla = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"')
            comilla = c;
        else if (c == u'(')
            ++nivel;
        else if (c == u')')
            --nivel;
        else if (nivel == 0 && (c == u'w' || c == u'W') &&
                 s.mid(i, 5).compare(QLatin1String("where"), Qt::CaseInsensitive) == 0) {
            const bool antes = i == 0 || !esNombre(s.at(i - 1));
            const bool despues = i + 5 >= s.size() || !esNombre(s.at(i + 5));
            if (antes && despues) hallado = i;
        }
    }
    return hallado;
}

}  // namespace

std::unique_ptr<Nodo> LeeCondicion(const QString& texto)
{
    if (texto.trimmed().isEmpty()) return nullptr;
    return Lector(divide(texto)).todo();
}

QString CondicionSql(const Nodo& nodo, const QString& tabla, bool rangosNativos)
{
    Escritor e(tabla);
    e.rangosNativos = rangosNativos;
    QString s = e.condicion(nodo);
    // The outermost parentheses add nothing.
    if (s.startsWith(u'(') && s.endsWith(u')')) {
        int nivel = 0;
        bool envuelve = true;
        for (qsizetype i = 0; i < s.size() - 1 && envuelve; ++i) {
            if (s.at(i) == u'\'') {
                i = s.indexOf(u'\'', i + 1);
                while (i + 1 < s.size() && s.at(i + 1) == u'\'') i = s.indexOf(u'\'', i + 2);
                continue;
            }
            if (s.at(i) == u'(')
                ++nivel;
            else if (s.at(i) == u')')
                --nivel;
            if (nivel == 0) envuelve = false;
        }
        if (envuelve) s = s.mid(1, s.size() - 2);
    }
    return s;
}

QString FormulaASql(const QString& formula, const QString& tabla, bool rangosNativos)
{
    const auto n = LeeCondicion(formula);
    if (!n) return {};
    return CondicionSql(*n, tabla, rangosNativos);
}

QString CompactaSentencia(const QString& sentencia, bool rangosNativos)
{
    const qsizetype w = ultimoWhere(sentencia);
    if (w < 0) return sentencia;
    try {
        const auto n = LeeCondicion(sentencia.mid(w + 5));
        if (!n || comparaciones(*n) < static_cast<int>(2 * kCadenaLarga)) return sentencia;
        Escritor e{QString()};
        e.rangosNativos = rangosNativos;
        return sentencia.left(w + 5) + QLatin1Char(' ') + e.condicion(*n);
    } catch (const ErrorFormula&) {
        return sentencia;
    }
}

QString CampoOrden(const QString& campo, const QString& tabla)
{
    QString t = campo.trimmed();
    if (t.isEmpty()) return {};
    QString sentido = QStringLiteral(" ASC");
    if (t.startsWith(u'+') || t.startsWith(u'-')) {
        if (t.startsWith(u'-')) sentido = QStringLiteral(" DESC");
        t = t.mid(1).trimmed();
    }
    return CampoSql(t, tabla) + sentido;
}

QString CampoSql(const QString& campo, const QString& tabla)
{
    const auto n = LeeCondicion(campo);
    if (!n || n->tipo != Nodo::Campo) throw ErrorFormula(QStringLiteral("Campo no válido: ") + campo);
    return Escritor(tabla).valor(*n);
}

QString LiteralSql(const QString& texto)
{
    return QLatin1Char('\'') + rt::Comillas(texto) + QLatin1Char('\'');
}

}  // namespace reportes
