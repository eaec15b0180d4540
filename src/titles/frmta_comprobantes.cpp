// The voucher types a title includes: the check list and its stored form.
#include "titles/frmta_titcopiadores.h"

#include "data/db_dll.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"

#include <QListWidget>

namespace {

// An item's code is its last four characters: the text before it is only for reading.
QString codigoDeItem(const QListWidgetItem* item)
{
    return item->text().right(4);
}

} // namespace

void frmTA_TITCOPIADORES::CargaCpte(const QString& /*Subdiario*/)
{
    LstCpte->clear();
    adodb::Recordset rs;
    try {
        DB().AbrirRecordset(QStringLiteral("SELECT * ") + QStringLiteral("FROM VT_TA_CPTE  ") + QStringLiteral("WHERE (CODIGO <> 'ÿRS') "), rs);
    } catch (const adodb::AdoException&) {
    }
    if (rs.State() == adodb::adStateOpen) {
        try {
            for (; !rs.EOF_(); rs.MoveNext()) {
                try {
                    const QString texto = RtTexto::ValorCampo(rs[QStringLiteral("Descripcion")]) + QStringLiteral(" /     ") +
                                          RtTexto::AnchoFijo(RtTexto::ValorCampo(rs[QStringLiteral("Codigo")]), 4);
                    auto* item = new QListWidgetItem(texto, LstCpte);
                    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
                    item->setCheckState(Qt::Checked);
                } catch (const adodb::AdoException&) {
                }
            }
        } catch (const adodb::AdoException&) {
        }
    }
    try {
        DB().CierraRecordset(rs);
    } catch (const adodb::AdoException&) {
    }
}

void frmTA_TITCOPIADORES::CmdTodos_Click()
{
    for (int i = 0; i < LstCpte->count(); ++i) {
        QListWidgetItem* item = LstCpte->item(i);
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
}

bool frmTA_TITCOPIADORES::ExistePalabra(const QString& Texto, const QString& Palabra, const QString& Separador)
{
    if (Texto.trimmed().isEmpty())
        return false;
    const QString buscada = Palabra.trimmed();
    QString resto = Texto;
    if (!Separador.isEmpty()) {
        for (int pos = rt::InStr(resto, Separador); pos > 0; pos = rt::InStr(resto, Separador)) {
            if (rt::Iguales(resto.left(pos - 1).trimmed(), buscada))
                return true;
            resto = resto.mid(pos - 1 + Separador.size());
        }
    }
    return !resto.trimmed().isEmpty() && rt::Iguales(resto.trimmed(), buscada);
}

QString frmTA_TITCOPIADORES::CptesMarcados() const
{
    QStringList codigos;
    for (int i = 0; i < LstCpte->count(); ++i)
        if (LstCpte->item(i)->checkState() == Qt::Checked)
            codigos << codigoDeItem(LstCpte->item(i));
    return codigos.join(QLatin1Char(','));
}

void frmTA_TITCOPIADORES::MarcaCptes(const QString& TC)
{
    for (int i = 0; i < LstCpte->count(); ++i) {
        QListWidgetItem* item = LstCpte->item(i);
        item->setCheckState(ExistePalabra(TC, codigoDeItem(item).trimmed(), QStringLiteral(",")) ? Qt::Checked : Qt::Unchecked);
    }
}
