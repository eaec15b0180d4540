// A selection formula compares a field with a quoted text (a stored range
// end, a company name, a typed value): the row found is the one holding that
// text exactly, whatever the text holds.
#include "reports/expresion.h"

#include "../hostiles.h"
#include "../sesion_db.h"
#include "adodb/recordset.h"
#include "runtime/texto.h"

#include <set>

using namespace reportes;

namespace {

class FormulaHostil : public SesionDb {
protected:
    void SetUp() override
    {
        SesionDb::SetUp();
        prepara(QStringLiteral("CREATE TABLE T (ID int PRIMARY KEY, D varchar(6000) COLLATE CI);"));
        conecta();
        adodb::Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM T"), &DB().gCnn, adodb::adOpenDynamic, adodb::adLockOptimistic);
        for (int i = 0; i < textos().size(); ++i) {
            rs.AddNew();
            rs.Fields(QStringLiteral("ID")).setValue(i);
            rs.Fields(QStringLiteral("D")).setValue(textos()[i]);
            rs.Update();
        }
    }
    static QStringList textos()
    {
        QStringList t;
        for (const TextoHostil& h : TextosHostiles()) t << h.texto;
        return t << QStringLiteral("ab") << QStringLiteral("O") << QStringLiteral("x") << QStringLiteral("1000");
    }
    std::set<int> ids(const QString& formula)
    {
        std::set<int> r;
        adodb::Recordset rs =
            DB().gCnn.Execute(QStringLiteral("SELECT ID FROM T WHERE ") + FormulaASql(formula, QStringLiteral("T")));
        for (; !rs.EOF_(); rs.MoveNext()) r.insert(static_cast<int>(rs.Fields(0).Value().toInt64()));
        return r;
    }
    static std::set<int> iguales(QString buscado)
    {
        // A NUL cannot sit inside a statement's text: the comparison is made without it.
        buscado.remove(QChar(u'\0'));
        std::set<int> r;
        for (int i = 0; i < textos().size(); ++i)
            if (textos()[i].compare(buscado, Qt::CaseInsensitive) == 0) r.insert(i);
        return r;
    }
};

}  // namespace

TEST_F(FormulaHostil, AQuotedTextFindsOnlyTheRowsHoldingItExactly)
{
    for (const TextoHostil& h : TextosHostiles()) {
        SCOPED_TRACE(h.nombre);
        EXPECT_EQ(ids(QStringLiteral("{T.D} = '") + rt::Comillas(h.texto) + u'\''), iguales(h.texto));
        if (!h.texto.contains(u'"'))
            EXPECT_EQ(ids(QStringLiteral("{T.D} = \"") + QString(h.texto).remove(QChar(u'\0')) + u'"'), iguales(h.texto));
        EXPECT_EQ(ids(QStringLiteral("not ({T.D} <> '") + rt::Comillas(h.texto) + QStringLiteral("')")), iguales(h.texto));
    }
    EXPECT_EQ(DB().gCnn.Execute(QStringLiteral("SELECT COUNT(*) FROM T")).Fields(0).Value().toInt64(), textos().size());
}
