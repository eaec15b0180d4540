// The data sheet's order on data other programs wrote: texts in Spanish
// dictionary order without regard to case or surrounding blanks, numbers by
// value, dates by date, empty cells first; the workbook keeps the order shown.
#include "reports/rtplanilla.h"

#include "../aplicacion.h"
#include "../lectores.h"
#include "../sesion_db.h"

#include <QApplication>
#include <QTableView>

using namespace reportes;

namespace {

class OrdenDePlanilla : public SesionDb {
protected:
    void SetUp() override
    {
        aplicacion();
        SesionDb::SetUp();
        prepara(QStringLiteral(
            "CREATE TABLE T (Id int, Texto varchar(20), Numero numeric(12,2), Fecha datetime);"
            "INSERT INTO T VALUES "
            "(1, 'zapato', 10, '2024-03-01 10:00:00'), (2, '  Árbol', -2.5, '2023-12-31 23:59:00'), "
            "(3, 'arbol', 3, NULL), (4, NULL, NULL, '2024-01-01 00:00:00'), (5, 'Ñu', 100, '2024-03-01 09:00:00'), "
            "(6, 'nube ', 2.75, '2020-06-15 12:00:00'), (7, 'Azúcar', 0, '2021-01-01 00:00:00'), "
            "(8, 'item 10', 1e3, '2022-02-02 00:00:00'), (9, 'Item 9', -100, '2019-01-01 00:00:00'), "
            "(10, '   ', 7, '2025-01-01 00:00:00'), (11, 'ZORRO', 0.5, '2018-01-01 00:00:00'), "
            "(12, 'Caja', 5, '2017-01-01 00:00:00'), (13, 'caja', 6, '2016-01-01 00:00:00');"));
        conecta();
    }
    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets()) delete w;
        SesionDb::TearDown();
    }
    static QStringList ids(QTableView* t)
    {
        QStringList r;
        for (int f = 0; f < t->model()->rowCount(); ++f) r << t->model()->index(f, 0).data().toString();
        return r;
    }
};

}  // namespace

TEST_F(OrdenDePlanilla, EachKindOfColumnSortsAsItIsRead)
{
    RtPlanilla p;
    ASSERT_TRUE(p.Planilla(QStringLiteral("select Id, Texto, Numero, Fecha from T order by Id"), QString(), QStringLiteral("T")));
    QTableView* t = p.ventana->tabla();
    const struct {
        int columna;
        Qt::SortOrder orden;
        QStringList ids;
    } casos[] = {
        // Empty and blank first, in the statement's order; then arbol before Árbol (accents
        // count only between otherwise equal words), 9 before 10, n before ñ, and case ignored:
        // Caja and caja are equal and keep the statement's order either way.
        {1, Qt::AscendingOrder, {"4", "10", "3", "2", "7", "12", "13", "9", "8", "6", "5", "1", "11"}},
        {1, Qt::DescendingOrder, {"11", "1", "5", "6", "8", "9", "12", "13", "7", "2", "3", "4", "10"}},
        {2, Qt::AscendingOrder, {"4", "9", "2", "7", "11", "6", "3", "12", "13", "10", "1", "5", "8"}},
        {3, Qt::AscendingOrder, {"3", "13", "12", "11", "9", "6", "7", "8", "2", "4", "5", "1", "10"}},
    };
    for (const auto& c : casos) {
        t->sortByColumn(c.columna, c.orden);
        EXPECT_EQ(ids(t), c.ids) << c.columna << " " << c.orden;
    }

    // The workbook holds the rows as sorted on screen.
    t->sortByColumn(1, Qt::AscendingOrder);
    const OrdenFilas orden = p.ventana->OrdenEnPantalla();
    const QString ruta = dir.filePath(QStringLiteral("orden.xlsx"));
    ASSERT_TRUE(EscribeXlsx(p.ventana->contenido(), ruta, nullptr, &orden));
    const QJsonArray filas = LeeXlsx(ruta)[QStringLiteral("celdas")].toArray();
    QStringList enLibro;
    for (qsizetype i = 1; i < filas.size(); ++i) enLibro << QString::number(filas[i].toArray()[0].toObject()[QStringLiteral("v")].toDouble());
    EXPECT_EQ(enLibro, casos[0].ids);
    // An order that is not this sheet's is not trusted: the statement's order.
    const OrdenFilas ajeno{3, 1};
    ASSERT_TRUE(EscribeXlsx(p.ventana->contenido(), ruta, nullptr, &ajeno));
    EXPECT_EQ(LeeXlsx(ruta)[QStringLiteral("celdas")].toArray()[1].toArray()[0].toObject()[QStringLiteral("v")].toDouble(), 1);
}
