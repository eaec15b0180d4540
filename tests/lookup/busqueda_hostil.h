#pragma once
// What the operator types in a lookup's search box reaches the server inside
// a LIKE: "%" and "_" (and "*", and blanks with "contains") are wildcards, the
// rest is searched for as itself, and nothing may break the statement. The
// same searches run on every engine the lookups meet; what each should find
// is worked out here, from the rows as the engine stored them.
#include "../hostiles.h"
#include "adodb/recordset.h"
#include "controles.h"
#include "data/db_dll.h"
#include "lookup/lib_frmcons3.h"
#include "lookup/lib_frmcons3tree.h"
#include "lookup/modelo_consulta.h"
#include "runtime/operador.h"

#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>

namespace hostil {

// Rows the searches run on: every hostile text, and neighbours that a
// wildcard finds and a literal reading would not (or the other way round).
inline QStringList Descripciones()
{
    QStringList d;
    for (const TextoHostil& h : TextosHostiles(2000)) d << h.texto;
    d << QStringLiteral("ab") << QStringLiteral("axb") << QStringLiteral("100 pesos") << QStringLiteral("1000")
      << QStringLiteral("az") << QStringLiteral("cxxx") << QStringLiteral("o'brien y cía") << QStringLiteral("abc!d")
      << QStringLiteral("a!xb") << QStringLiteral("50 pesos!") << QStringLiteral("[1]!zz") << QStringLiteral("c:x%");
    return d;
}

// How the search reads what was typed: the words in order (list search with
// "contains"), the text at the start (plain list search), the text anywhere (tree).
enum class Modo { Contiene, Empieza, Arbol };

// LIKE's meaning, written apart from the code that builds the statement.
inline bool Coincide(const QString& valor, QString buscado, Modo modo)
{
    // A NUL cannot travel inside a statement's text; it is left out of the search.
    buscado.remove(QChar(u'\0'));
    if (modo == Modo::Empieza) buscado.replace(u'*', u'%');
    if (modo == Modo::Contiene) buscado.replace(u' ', u'%');
    QString patron;
    for (QChar c : buscado) {
        if (c == u'%')
            patron += QStringLiteral(".*");
        else if (c == u'_')
            patron += u'.';
        else
            patron += QRegularExpression::escape(QString(c));
    }
    const QString inicio = modo == Modo::Empieza ? QString() : QStringLiteral(".*");
    const QRegularExpression re(QRegularExpression::anchoredPattern(inicio + patron + QStringLiteral(".*")),
                                QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return re.match(valor).hasMatch();
}

/// The table HOSTIL on the session's database: a root "1" and one row a
/// description below it, so that it also reads as a tree.
inline void CreaTabla()
{
    DB().gCnn.Execute(
        QStringLiteral("CREATE TABLE HOSTIL (CODIGO varchar(10) COLLATE CI PRIMARY KEY, DESCRIPCION varchar(4000) COLLATE CI)"));
    adodb::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM HOSTIL"), &DB().gCnn, adodb::adOpenDynamic, adodb::adLockOptimistic);
    auto agrega = [&](const QString& codigo, const QString& descripcion) {
        rs.AddNew();
        rs.Fields(QStringLiteral("CODIGO")).setValue(codigo);
        rs.Fields(QStringLiteral("DESCRIPCION")).setValue(descripcion);
        rs.Update();
    };
    agrega(QStringLiteral("1"), QStringLiteral("raíz"));
    const QStringList d = Descripciones();
    for (int i = 0; i < d.size(); ++i) {
        // An engine that cannot hold a NUL refuses that row; the others are what count.
        try {
            agrega(QStringLiteral("1%1").arg(i + 10), d[i]);
        } catch (const adodb::AdoException&) {
            rs.CancelUpdate();
        }
    }
    rs.Close();
}

/// Codes the statement returns, run on the session as the window ran it.
inline std::set<QString> Codigos(const QString& sql)
{
    std::set<QString> r;
    adodb::Recordset rs = DB().gCnn.Execute(sql);
    for (; !rs.EOF_(); rs.MoveNext()) r.insert(rs.Fields(0).Value().toString().trimmed());
    return r;
}

/// The rows as stored: code -> description.
inline std::map<QString, QString> Filas()
{
    std::map<QString, QString> r;
    adodb::Recordset rs = DB().gCnn.Execute(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM HOSTIL"));
    for (; !rs.EOF_(); rs.MoveNext()) r[rs.Fields(0).Value().toString().trimmed()] = rs.Fields(1).Value().toString();
    return r;
}

inline std::set<QString> Esperados(const QString& buscado, Modo modo)
{
    std::set<QString> r;
    for (const auto& [codigo, descripcion] : Filas())
        if (Coincide(descripcion, buscado, modo)) r.insert(codigo);
    return r;
}

inline QString Mensajes(const rt::OperadorGuionado& op)
{
    return op.mensajes().join(u'|');
}

/// F5 in the list's description box with every hostile text, in both ways
/// the list can search.
inline void BuscaEnLista(const rt::OperadorGuionado& op)
{
    for (const bool contiene : {true, false}) {
        for (const TextoHostil& h : TextosHostiles(2000)) {
            SCOPED_TRACE(std::string(h.nombre) + (contiene ? " (contiene)" : " (empieza)"));
            Lib_FrmCons3 lista;
            lista.GrabarCfg = false;
            lista.CfgUsaConsultaLIKE = contiene;
            lista.sql = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM HOSTIL ORDER BY CODIGO");
            lista.show();
            lista.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&lista));
            CajaDe(lista, 1)->setEditText(h.texto);
            QTest::keyClick(CajaDe(lista, 1), Qt::Key_F5);
            ASSERT_TRUE(op.preguntas.empty()) << Mensajes(op).toStdString() << "\n" << lista.SentenciaActual().toStdString();
            const std::set<QString> hallados = Codigos(lista.SentenciaActual());
            EXPECT_EQ(hallados, Esperados(h.texto, contiene ? Modo::Contiene : Modo::Empieza))
                << lista.SentenciaActual().toStdString();
            EXPECT_EQ(lista.Modelo()->rowCount(), static_cast<int>(hallados.size()));
        }
    }
}

/// F5 in the tree's search box with every hostile text.
inline void BuscaEnArbol(const rt::OperadorGuionado& op)
{
    for (const TextoHostil& h : TextosHostiles(2000)) {
        SCOPED_TRACE(h.nombre);
        Lib_FrmCons3Tree arbol;
        arbol.sql = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM HOSTIL ORDER BY CODIGO");
        arbol.show();
        arbol.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&arbol));
        CajaDe(arbol, 0)->setEditText(h.texto);
        QTest::keyClick(CajaDe(arbol, 0), Qt::Key_F5);
        ASSERT_TRUE(op.preguntas.empty()) << Mensajes(op).toStdString() << "\n" << arbol.sql.toStdString();
        EXPECT_EQ(Codigos(arbol.sql), Esperados(h.texto, Modo::Arbol)) << arbol.sql.toStdString();
    }
}

}  // namespace hostil
