#pragma once
// The lookup request: the settings every lookup shares, the resolution of a
// table name or statement into the statement to show, the modal list window,
// and what the operator chose, kept until the next request.
#include "lib_frmcons3.h"

#include "adodb/variant.h"

#include <QSet>
#include <QString>
#include <QVariantList>

class Lib_ClsCons3 {
public:
    /// Reads the lookup settings from configuration (the session must be open).
    Lib_ClsCons3();

    adodb::Variant StkNivel1, StkNivel2, StkNivel3, StkNivel4;
    QString MuestraStock;
    Coleccion CmpsDevueltos;
    Coleccion Valores;
    Coleccion Cantidades;
    bool Checks = false;
    QString ValorDevuelto;
    QString gConnString;
    QString gRutaMascaraConsultas;
    bool gUsarMascarasConsultas = false;
    bool UsaCantidades = false;
    QString CampoDevuelto;

    /// Shows the lookup of `sql` (a statement, or a table or view name) and
    /// leaves the choice in ValorDevuelto, Valores and Cantidades.
    /// `TreeView` asks for the tree window instead of the list.
    void ConsultaSearch(const QString& sql, Coleccion& CmpsDevueltos, QString& Clave, QString& CampoBusqueda, QString& Where,
                        QString& SentenciaOpcional, bool& TreeView, QString& ValoresDefault);

    /// Pick one of the texts `Opc` (values given one by one, or one array):
    /// the chosen text, "" when none.
    QString MenuOpciones(const QString& Titulo, const QVariantList& Opc);
    QString MenuOpciones(const QString& Titulo, const QStringList& Opc) { return MenuOpciones(Titulo, Lista(Opc)); }
    template <class... T>
    requires(sizeof...(T) >= 2) QString MenuOpciones(const QString& Titulo, const T&... Opc)
    {
        return MenuOpciones(Titulo, QVariantList{QVariant(Opc)...});
    }

    /// Tick any of the entries `Opc`, each a first character "1" (ticked) or
    /// another (not) and the text. Always ""; the ticked texts are left in Valores.
    QString CheckOpciones(const QString& Titulo, Coleccion CmpsDevueltos, const QVariantList& Opc);
    QString CheckOpciones(const QString& Titulo, Coleccion CmpsDevueltos, const QStringList& Opc)
    {
        return CheckOpciones(Titulo, std::move(CmpsDevueltos), Lista(Opc));
    }
    template <class... T>
    requires(sizeof...(T) >= 2) QString CheckOpciones(const QString& Titulo, Coleccion CmpsDevueltos, const T&... Opc)
    {
        return CheckOpciones(Titulo, std::move(CmpsDevueltos), QVariantList{QVariant(Opc)...});
    }

    /// Pick one line of a text file (Windows-1252): the line, "" when none was
    /// chosen or the file does not exist (which is told).
    QString ConsultaDesdeArchivo(const QString& Titulo, const QString& QueArchivo, const QString& Separador = {});

    /// Contains-matching for the list's server-side search ("UsaConsultaLike").
    bool CfgUsaConsultaLIKE() const { return usaConsultaLike_; }

private:
    static QVariantList Lista(const QStringList& l) { return QVariantList(l.begin(), l.end()); }
    /// Shows the option list; the window is gone when it returns.
    void muestraOpciones(Lib_FrmCons3& ventana, const QString& Titulo, const QStringList& textos, const QList<bool>& marcas,
                         qsizetype largo);

    bool usaConsultaLike_ = false;
    QSet<QString> avisadas_;  // tables whose definition names missing columns, already told
};

/// The one request object of the program, created on first use.
Lib_ClsCons3& ClsCons3();
/// Drops the shared request object; the next use creates it again and reads
/// the configuration of the session then open (another database, a test).
void DescartaClsCons3();

/// Start-up, after connecting: the connection text the lookups hand over and
/// the definitions file, with definitions switched on.
void PreparaConsultas(const QString& connString, const QString& rutaVrl);
/// The same with the session's connection text and "consultas.vrl" of the program folder.
void PreparaConsultas();
