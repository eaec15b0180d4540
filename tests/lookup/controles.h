#pragma once
// The lookup windows' controls, found by their object names as automation
// finds them: the windows keep the controls to themselves.
#include "../control.h"
#include "lookup/cabecera_busqueda.h"

#include <QComboBox>
#include <QList>
#include <QPushButton>
#include <QTableView>
#include <QTreeView>
#include <gtest/gtest.h>

inline QComboBox* CajaDe(const QWidget& v, int i)
{
    return ControlDe<QComboBox>(v, QStringLiteral("CmbSearch_%1").arg(i));
}
/// The search boxes in column order.
inline QList<QComboBox*> CajasDe(const QWidget& v)
{
    QList<QComboBox*> r;
    while (auto* c = v.findChild<QComboBox*>(QStringLiteral("CmbSearch_%1").arg(r.size()))) r << c;
    return r;
}
inline QTableView* ListaDe(const QWidget& v)
{
    return ControlDe<QTableView>(v, QStringLiteral("ListView1"));
}
inline CabeceraBusqueda* CabeceraDe(const QWidget& v)
{
    return ControlDe<CabeceraBusqueda>(v, QStringLiteral("picFields"));
}
inline QTreeView* ArbolDe(const QWidget& v)
{
    return ControlDe<QTreeView>(v, QStringLiteral("TreeV"));
}
inline QPushButton* BotonDe(const QWidget& v, const char* nombre)
{
    return ControlDe<QPushButton>(v, QString::fromLatin1(nombre));
}
