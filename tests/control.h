#pragma once
// A window's control found by its object name, as automation finds it: the
// windows keep their controls to themselves.
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

template <class T>
T* ControlDe(const QWidget& ventana, const QString& nombre)
{
    T* c = ventana.findChild<T*>(nombre);
    EXPECT_NE(c, nullptr) << qPrintable(nombre);
    return c;
}
template <class T>
T* ControlDe(const QWidget* ventana, const QString& nombre)
{
    return ControlDe<T>(*ventana, nombre);
}
