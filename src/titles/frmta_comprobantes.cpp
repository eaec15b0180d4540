// The voucher types a title includes: the check list and its stored form.
#include "titles/frmta_titcopiadores.h"

#include "data/db_dll.h"
#include "runtime/rttexto.h"
#include "runtime/texto.h"

#include <QListWidget>

namespace {

// Each item carries its code in the stored form (four characters, padded on the
// left), apart from the text the operator reads.
constexpr int kRolCodigo = Qt::UserRole;

QString codigoDeItem(const QListWidgetItem* item)
{
    return item->data(kRolCodigo).toString();
}

}  // namespace

void frmTA_TITCOPIADORES::CargaCpte(const QString& /*Subdiario*/)
{
    LstCpte->clear();
    adodb::Recordset rs;
    adodb::Attempt([&] {
        DB().AbrirRecordset(
            QStringLiteral("SELECT * ") + QStringLiteral("FROM VT_TA_CPTE  ") + QStringLiteral("WHERE (CODIGO <> 'ÿRS') "), rs);
    });
    // A row that cannot be read is left out; a walk that cannot go on ends the list.
    if (rs.State() == adodb::adStateOpen) {
        adodb::Attempt([&] {
            for (; !rs.EOF_(); rs.MoveNext()) {
                adodb::Attempt([&] {
                    const QString codigo = RtTexto::AnchoFijo(RtTexto::ValorCampo(rs[QStringLiteral("Codigo")]), 4);
                    const QString texto =
                        RtTexto::ValorCampo(rs[QStringLiteral("Descripcion")]) + QStringLiteral(" /     ") + codigo;
                    auto* item = new QListWidgetItem(texto, LstCpte);
                    item->setData(kRolCodigo, codigo);
                    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
                    item->setCheckState(Qt::Checked);
                });
            }
        });
    }
    adodb::Attempt([&] { DB().CierraRecordset(rs); });
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
    if (Texto.trimmed().isEmpty()) return false;
    const QString buscada = Palabra.trimmed();
    QString resto = Texto;
    if (!Separador.isEmpty()) {
        for (int pos = rt::InStr(resto, Separador); pos > 0; pos = rt::InStr(resto, Separador)) {
            if (rt::Iguales(resto.left(pos - 1).trimmed(), buscada)) return true;
            resto = resto.mid(pos - 1 + Separador.size());
        }
    }
    return !resto.trimmed().isEmpty() && rt::Iguales(resto.trimmed(), buscada);
}

QString frmTA_TITCOPIADORES::CptesMarcados() const
{
    QStringList codigos;
    for (int i = 0; i < LstCpte->count(); ++i)
        if (LstCpte->item(i)->checkState() == Qt::Checked) codigos << codigoDeItem(LstCpte->item(i));
    return codigos.join(QLatin1Char(','));
}

void frmTA_TITCOPIADORES::MarcaCptes(const QString& TC)
{
    for (int i = 0; i < LstCpte->count(); ++i) {
        QListWidgetItem* item = LstCpte->item(i);
        item->setCheckState(ExistePalabra(TC, codigoDeItem(item).trimmed(), QStringLiteral(",")) ? Qt::Checked : Qt::Unchecked);
    }
}
