-- Schema of the accounting database on PostgreSQL (15 or later, built with
-- ICU, as Debian's is). The same tables and views as schema.sql, for the
-- program reaching the server through psqlODBC ("@Server=pg:host,port;").
--
--   createdb -E UTF8 -T template0 contable
--   psql -1 -d contable -f demo/schema_postgres.sql
--   psql -1 -d contable -f demo/demo.sql
--
-- Text columns use the collation ci: letter case is ignored as in SQL
-- Server's default collation. Trailing blanks and LIKE are taken care of by
-- the program's statement translation (a nondeterministic collation keeps
-- trailing blanks significant on varchar and refuses LIKE).

CREATE COLLATION IF NOT EXISTS ci (provider = icu, locale = 'und-u-ks-level2', deterministic = false);

-- SQL Server joins text with +; the translation turns + next to a literal
-- into ||, this operator covers column + column.
DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_operator WHERE oprname = '+'
                     AND oprleft = 'text'::regtype AND oprright = 'text'::regtype) THEN
        CREATE OPERATOR + (LEFTARG = text, RIGHTARG = text, FUNCTION = textcat);
    END IF;
END
$$;

-- ---------------------------------------------------------------------------
-- Configuration (key / value / auxiliary value)
-- ---------------------------------------------------------------------------
CREATE TABLE TA_CONFIGURACION (
    CLAVE     varchar(50)  COLLATE ci NOT NULL PRIMARY KEY,
    VALOR     varchar(255) COLLATE ci,
    VALORAUX  varchar(255) COLLATE ci
);

-- ---------------------------------------------------------------------------
-- Chart of accounts. Codes follow the structure 1-1-2-2-2-3 digits and are
-- stored at the length of their level: chapter "1", sub-chapter "11",
-- rubro "1101", sub-rubro "110101", cuenta "11010101", sub-cuenta
-- "11010101001". titulo = 1 marks heading accounts, 0 ledger (leaf) accounts.
-- ---------------------------------------------------------------------------
CREATE TABLE MA_CUENTAS (
    Codigo          varchar(15) COLLATE ci NOT NULL PRIMARY KEY,
    CodigoOpcional  varchar(15) COLLATE ci,
    DESCRIPCION     varchar(60) COLLATE ci,
    DV              varchar(1)  COLLATE ci,
    titulo          smallint NOT NULL DEFAULT 0,
    Imputable       varchar(1)  COLLATE ci DEFAULT 'N',
    Moneda          varchar(3)  COLLATE ci DEFAULT 'ARS',
    AjustaInflacion smallint DEFAULT 0,
    Confidencial    smallint DEFAULT 0
);
CREATE INDEX IX_MA_CUENTAS_CodigoOpcional ON MA_CUENTAS (CodigoOpcional);

-- Restricted synonym for users who are not administrators: hides the
-- confidential accounts.
CREATE VIEW SS_MA_CUENTAS AS
    SELECT Codigo, CodigoOpcional, DESCRIPCION, DV, titulo, Imputable, Moneda,
           AjustaInflacion, Confidencial
      FROM MA_CUENTAS
     WHERE Confidencial = 0;

-- ---------------------------------------------------------------------------
-- Copy-book titles. CODIGO is right-aligned, padded on the left with blanks
-- to four characters. TC lists the included voucher types, each padded on
-- the left to four characters, separated by commas.
-- ---------------------------------------------------------------------------
CREATE TABLE TA_TITCOPIADORES (
    CODIGO                  varchar(4)   COLLATE ci NOT NULL PRIMARY KEY,
    DESCRIPCION             varchar(50)  COLLATE ci,
    DESDE                   varchar(15)  COLLATE ci,
    HASTA                   varchar(15)  COLLATE ci,
    TC                      varchar(255) COLLATE ci,
    fechahora_grabacion     timestamp(3),
    fechahora_modificacion  timestamp(3)
);

-- ---------------------------------------------------------------------------
-- Voucher types (comprobantes)
-- ---------------------------------------------------------------------------
CREATE TABLE TA_CPTE (
    Codigo       varchar(4)  COLLATE ci NOT NULL PRIMARY KEY,
    Descripcion  varchar(40) COLLATE ci,
    Abreviatura  varchar(10) COLLATE ci,
    Modulo       varchar(10) COLLATE ci,
    Signo        smallint DEFAULT 1,
    Letra        varchar(1)  COLLATE ci,
    Numerador    int DEFAULT 0
);

CREATE VIEW VT_TA_CPTE AS
    SELECT Codigo, Descripcion FROM TA_CPTE;

-- ---------------------------------------------------------------------------
-- Users, menu entries and tasks granted to users; access log
-- ---------------------------------------------------------------------------
CREATE TABLE TA_USUARIOS (
    nombre          varchar(30) COLLATE ci NOT NULL PRIMARY KEY,
    Administrador   int NOT NULL DEFAULT 0,
    NombreCompleto  varchar(60) COLLATE ci,
    Email           varchar(80) COLLATE ci,
    Activo          smallint DEFAULT 1
);

CREATE TABLE TA_MENU (
    Clave    varchar(10)  COLLATE ci NOT NULL PRIMARY KEY,
    Proceso  varchar(255) COLLATE ci,
    Nombre   varchar(60)  COLLATE ci,
    Modulo   varchar(30)  COLLATE ci,
    Orden    int
);

CREATE TABLE TA_TAREAS (
    USUARIO  varchar(30) COLLATE ci NOT NULL,
    TAREA    varchar(10) COLLATE ci NOT NULL,
    PRIMARY KEY (USUARIO, TAREA)
);

CREATE TABLE Control_Acceso (
    ID             serial PRIMARY KEY,
    Maquina        varchar(50) COLLATE ci,
    Usuario        varchar(50) COLLATE ci,
    Formulario     varchar(50) COLLATE ci,
    Tarea          varchar(60) COLLATE ci,
    Ingreso        varchar(20) COLLATE ci,
    NombreUsuario  varchar(30) COLLATE ci
);

-- ---------------------------------------------------------------------------
-- Journal entries (small sample) and their restricted synonym
-- ---------------------------------------------------------------------------
CREATE TABLE MV_ASIENTOS (
    ID            serial PRIMARY KEY,
    NroAsiento    int NOT NULL,
    Renglon       smallint NOT NULL,
    Fecha         timestamp(3),
    Cuenta        varchar(15) COLLATE ci,
    Comprobante   varchar(4)  COLLATE ci,
    NroCpte       varchar(13) COLLATE ci,
    Concepto      varchar(60) COLLATE ci,
    Debe          numeric(19,4) DEFAULT 0,
    Haber         numeric(19,4) DEFAULT 0,
    Confidencial  smallint DEFAULT 0
);

CREATE VIEW SS_MV_ASIENTOS AS
    SELECT ID, NroAsiento, Renglon, Fecha, Cuenta, Comprobante, NroCpte,
           Concepto, Debe, Haber, Confidencial
      FROM MV_ASIENTOS
     WHERE Confidencial = 0;

-- ---------------------------------------------------------------------------
-- Depots, cash boxes, salesmen
-- ---------------------------------------------------------------------------
CREATE TABLE TA_DEPOSITO (
    IDDEPOSITO     varchar(4)  COLLATE ci NOT NULL PRIMARY KEY,
    DESCRIPCION    varchar(40) COLLATE ci,
    UnidadNegocio  varchar(4)  COLLATE ci,
    Domicilio      varchar(60) COLLATE ci,
    Restringido    smallint DEFAULT 0
);

CREATE VIEW V_TA_DEPOSITO AS
    SELECT IdDeposito, Descripcion, UnidadNegocio, Domicilio FROM TA_DEPOSITO;

CREATE VIEW SS_V_TA_DEPOSITO AS
    SELECT IdDeposito, Descripcion, UnidadNegocio, Domicilio FROM TA_DEPOSITO
     WHERE Restringido = 0;

CREATE TABLE TA_CAJAS (
    IDCajas       varchar(4)  COLLATE ci NOT NULL PRIMARY KEY,
    DESCRIPCION   varchar(40) COLLATE ci,
    Cuenta        varchar(15) COLLATE ci,
    Moneda        varchar(3)  COLLATE ci DEFAULT 'ARS',
    Restringida   smallint DEFAULT 0
);

CREATE VIEW V_TA_CAJAS AS
    SELECT IDCajas, DESCRIPCION, Cuenta, Moneda FROM TA_CAJAS;

CREATE VIEW SS_V_TA_CAJAS AS
    SELECT IDCajas, DESCRIPCION, Cuenta, Moneda FROM TA_CAJAS
     WHERE Restringida = 0;

CREATE TABLE TA_VENDEDORES (
    IDVENDEDOR  varchar(4)  COLLATE ci NOT NULL PRIMARY KEY,
    NOMBRE      varchar(50) COLLATE ci,
    Comision    numeric(5,2) DEFAULT 0,
    Zona        varchar(30) COLLATE ci,
    Activo      smallint DEFAULT 1
);

CREATE VIEW V_TA_VENDEDORES AS
    SELECT IdVendedor, Nombre, Comision, Zona FROM TA_VENDEDORES
     WHERE Activo = 1;

-- ---------------------------------------------------------------------------
-- Article families (hierarchical codes: "1", "101", "10101") and articles
-- ---------------------------------------------------------------------------
CREATE TABLE TA_FAMILIAS (
    IdFamilia    varchar(10) COLLATE ci NOT NULL PRIMARY KEY,
    Descripcion  varchar(50) COLLATE ci,
    IdPadre      varchar(10) COLLATE ci,
    Restringida  smallint DEFAULT 0
);

CREATE VIEW V_TA_FAMILIAS AS
    SELECT IdFamilia, Descripcion, IdPadre FROM TA_FAMILIAS;

CREATE VIEW SS_V_TA_FAMILIAS AS
    SELECT IdFamilia, Descripcion, IdPadre FROM TA_FAMILIAS
     WHERE Restringida = 0;

-- ---------------------------------------------------------------------------
-- Cost centres and positions (hierarchical codes, shown as trees)
-- ---------------------------------------------------------------------------
CREATE TABLE TA_CCOSTO (
    CODIGO       varchar(10) COLLATE ci NOT NULL PRIMARY KEY,
    DESCRIPCION  varchar(50) COLLATE ci
);
CREATE VIEW SS_TA_CCOSTO AS SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO;

CREATE TABLE MA_POSICIONES (
    IDPOSICION   varchar(10) COLLATE ci NOT NULL PRIMARY KEY,
    DESCRIPCION  varchar(50) COLLATE ci
);
CREATE VIEW SS_MA_POSICIONES AS SELECT IDPOSICION, DESCRIPCION FROM MA_POSICIONES;

CREATE TABLE VT_MA_ARTICULOS (
    IDARTICULO   varchar(25) COLLATE ci NOT NULL PRIMARY KEY,
    DESCRIPCION  varchar(60) COLLATE ci,
    IdFamilia    varchar(10) COLLATE ci,
    Unidad       varchar(5)  COLLATE ci,
    PRECIO1      numeric(19,4) DEFAULT 0,
    PRECIO2      numeric(19,4) DEFAULT 0,
    STOCK        numeric(12,2) DEFAULT 0,
    PUNTOPEDIDO  numeric(12,2) DEFAULT 0,
    SUSPENDIDO   int DEFAULT 0
);

CREATE VIEW V_MA_ARTICULOS AS
    SELECT IDARTICULO, DESCRIPCION, IdFamilia, Unidad, PRECIO1, PRECIO2,
           STOCK, PUNTOPEDIDO, SUSPENDIDO
      FROM VT_MA_ARTICULOS;

-- Out-of-stock notes written from the article lookup (a writable "view").
CREATE TABLE V_MV_FALTANTES (
    ID           serial PRIMARY KEY,
    FechaHora    timestamp(3),
    IdArticulo   varchar(25) COLLATE ci,
    Descripcion  varchar(60) COLLATE ci,
    Usuario      varchar(30) COLLATE ci
);

-- ---------------------------------------------------------------------------
-- Customers and suppliers
-- ---------------------------------------------------------------------------
CREATE TABLE VT_CLIENTES (
    CODIGO        varchar(10) COLLATE ci NOT NULL PRIMARY KEY,
    RAZON_SOCIAL  varchar(60) COLLATE ci,
    CUIT          varchar(13) COLLATE ci,
    CondicionIVA  varchar(30) COLLATE ci,
    Localidad     varchar(40) COLLATE ci,
    Dada_De_Baja  int NOT NULL DEFAULT 0
);

CREATE TABLE VT_PROVEEDORES (
    CODIGO        varchar(10) COLLATE ci NOT NULL PRIMARY KEY,
    RAZON_SOCIAL  varchar(60) COLLATE ci,
    CUIT          varchar(13) COLLATE ci,
    CondicionIVA  varchar(30) COLLATE ci,
    Localidad     varchar(40) COLLATE ci,
    Dada_De_Baja  int NOT NULL DEFAULT 0
);
