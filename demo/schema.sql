-- Schema of the accounting database used by the demo and the benchmark.
--
-- Run it on an empty database (scripts/demo-db.sh and scripts/bench-db.sh
-- recreate the file first), then run demo.sql or bench.sql for the data.
--
-- Column types are declared the SQL Server way; the program's database layer
-- maps them to field types. Every text column uses the collation CI that the
-- layer registers on each connection (letter case and trailing blanks are
-- ignored, as in SQL Server's default collation), so the file can only be
-- queried through the program's layer or the sqlrun tool.

-- ---------------------------------------------------------------------------
-- Configuration (key / value / auxiliary value)
-- ---------------------------------------------------------------------------
CREATE TABLE TA_CONFIGURACION (
    CLAVE     varchar(50)  COLLATE CI NOT NULL PRIMARY KEY,
    VALOR     varchar(255) COLLATE CI,
    VALORAUX  varchar(255) COLLATE CI
);

-- ---------------------------------------------------------------------------
-- Chart of accounts. Codes follow the structure 1-1-2-2-2-3 digits and are
-- stored at the length of their level: chapter "1", sub-chapter "11",
-- rubro "1101", sub-rubro "110101", cuenta "11010101", sub-cuenta
-- "11010101001". titulo = 1 marks heading accounts, 0 ledger (leaf) accounts.
-- ---------------------------------------------------------------------------
CREATE TABLE MA_CUENTAS (
    Codigo          varchar(15) COLLATE CI NOT NULL PRIMARY KEY,
    CodigoOpcional  varchar(15) COLLATE CI,
    DESCRIPCION     varchar(60) COLLATE CI,
    DV              varchar(1)  COLLATE CI,
    titulo          bit NOT NULL DEFAULT 0,
    Imputable       varchar(1)  COLLATE CI DEFAULT 'N',
    Moneda          varchar(3)  COLLATE CI DEFAULT 'ARS',
    AjustaInflacion bit DEFAULT 0,
    Confidencial    bit DEFAULT 0
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
    CODIGO                  varchar(4)   COLLATE CI NOT NULL PRIMARY KEY,
    DESCRIPCION             varchar(50)  COLLATE CI,
    DESDE                   varchar(15)  COLLATE CI,
    HASTA                   varchar(15)  COLLATE CI,
    TC                      varchar(255) COLLATE CI,
    fechahora_grabacion     datetime,
    fechahora_modificacion  datetime
);

-- ---------------------------------------------------------------------------
-- Voucher types (comprobantes)
-- ---------------------------------------------------------------------------
CREATE TABLE TA_CPTE (
    Codigo       varchar(4)  COLLATE CI NOT NULL PRIMARY KEY,
    Descripcion  varchar(40) COLLATE CI,
    Abreviatura  varchar(10) COLLATE CI,
    Modulo       varchar(10) COLLATE CI,
    Signo        smallint DEFAULT 1,
    Letra        varchar(1)  COLLATE CI,
    Numerador    int DEFAULT 0
);

CREATE VIEW VT_TA_CPTE AS
    SELECT Codigo, Descripcion FROM TA_CPTE;

-- ---------------------------------------------------------------------------
-- Users, menu entries and tasks granted to users; access log
-- ---------------------------------------------------------------------------
CREATE TABLE TA_USUARIOS (
    nombre          varchar(30) COLLATE CI NOT NULL PRIMARY KEY,
    Administrador   int NOT NULL DEFAULT 0,
    NombreCompleto  varchar(60) COLLATE CI,
    Email           varchar(80) COLLATE CI,
    Activo          bit DEFAULT 1
);

CREATE TABLE TA_MENU (
    Clave    varchar(10)  COLLATE CI NOT NULL PRIMARY KEY,
    Proceso  varchar(255) COLLATE CI,
    Nombre   varchar(60)  COLLATE CI,
    Modulo   varchar(30)  COLLATE CI,
    Orden    int
);

CREATE TABLE TA_TAREAS (
    USUARIO  varchar(30) COLLATE CI NOT NULL,
    TAREA    varchar(10) COLLATE CI NOT NULL,
    PRIMARY KEY (USUARIO, TAREA)
);

CREATE TABLE Control_Acceso (
    ID             INTEGER PRIMARY KEY AUTOINCREMENT,
    Maquina        varchar(50) COLLATE CI,
    Usuario        varchar(50) COLLATE CI,
    Formulario     varchar(50) COLLATE CI,
    Tarea          varchar(60) COLLATE CI,
    Ingreso        varchar(20) COLLATE CI,
    NombreUsuario  varchar(30) COLLATE CI
);

-- ---------------------------------------------------------------------------
-- Journal entries (small sample) and their restricted synonym
-- ---------------------------------------------------------------------------
CREATE TABLE MV_ASIENTOS (
    ID            INTEGER PRIMARY KEY AUTOINCREMENT,
    NroAsiento    int NOT NULL,
    Renglon       smallint NOT NULL,
    Fecha         datetime,
    Cuenta        varchar(15) COLLATE CI,
    Comprobante   varchar(4)  COLLATE CI,
    NroCpte       varchar(13) COLLATE CI,
    Concepto      varchar(60) COLLATE CI,
    Debe          money DEFAULT 0,
    Haber         money DEFAULT 0,
    Confidencial  bit DEFAULT 0
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
    IDDEPOSITO     varchar(4)  COLLATE CI NOT NULL PRIMARY KEY,
    DESCRIPCION    varchar(40) COLLATE CI,
    UnidadNegocio  varchar(4)  COLLATE CI,
    Domicilio      varchar(60) COLLATE CI,
    Restringido    bit DEFAULT 0
);

CREATE VIEW V_TA_DEPOSITO AS
    SELECT IdDeposito, Descripcion, UnidadNegocio, Domicilio FROM TA_DEPOSITO;

CREATE VIEW SS_V_TA_DEPOSITO AS
    SELECT IdDeposito, Descripcion, UnidadNegocio, Domicilio FROM TA_DEPOSITO
     WHERE Restringido = 0;

CREATE TABLE TA_CAJAS (
    IDCajas       varchar(4)  COLLATE CI NOT NULL PRIMARY KEY,
    DESCRIPCION   varchar(40) COLLATE CI,
    Cuenta        varchar(15) COLLATE CI,
    Moneda        varchar(3)  COLLATE CI DEFAULT 'ARS',
    Restringida   bit DEFAULT 0
);

CREATE VIEW V_TA_CAJAS AS
    SELECT IDCajas, DESCRIPCION, Cuenta, Moneda FROM TA_CAJAS;

CREATE VIEW SS_V_TA_CAJAS AS
    SELECT IDCajas, DESCRIPCION, Cuenta, Moneda FROM TA_CAJAS
     WHERE Restringida = 0;

CREATE TABLE TA_VENDEDORES (
    IDVENDEDOR  varchar(4)  COLLATE CI NOT NULL PRIMARY KEY,
    NOMBRE      varchar(50) COLLATE CI,
    Comision    numeric(5,2) DEFAULT 0,
    Zona        varchar(30) COLLATE CI,
    Activo      bit DEFAULT 1
);

CREATE VIEW V_TA_VENDEDORES AS
    SELECT IdVendedor, Nombre, Comision, Zona FROM TA_VENDEDORES
     WHERE Activo = 1;

-- ---------------------------------------------------------------------------
-- Article families (hierarchical codes: "1", "101", "10101") and articles
-- ---------------------------------------------------------------------------
CREATE TABLE TA_FAMILIAS (
    IdFamilia    varchar(10) COLLATE CI NOT NULL PRIMARY KEY,
    Descripcion  varchar(50) COLLATE CI,
    IdPadre      varchar(10) COLLATE CI,
    Restringida  bit DEFAULT 0
);

CREATE VIEW V_TA_FAMILIAS AS
    SELECT IdFamilia, Descripcion, IdPadre FROM TA_FAMILIAS;

CREATE VIEW SS_V_TA_FAMILIAS AS
    SELECT IdFamilia, Descripcion, IdPadre FROM TA_FAMILIAS
     WHERE Restringida = 0;

CREATE TABLE VT_MA_ARTICULOS (
    IDARTICULO   varchar(25) COLLATE CI NOT NULL PRIMARY KEY,
    DESCRIPCION  varchar(60) COLLATE CI,
    IdFamilia    varchar(10) COLLATE CI,
    Unidad       varchar(5)  COLLATE CI,
    PRECIO1      money DEFAULT 0,
    PRECIO2      money DEFAULT 0,
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
    ID           INTEGER PRIMARY KEY AUTOINCREMENT,
    FechaHora    datetime,
    IdArticulo   varchar(25) COLLATE CI,
    Descripcion  varchar(60) COLLATE CI,
    Usuario      varchar(30) COLLATE CI
);

-- ---------------------------------------------------------------------------
-- Customers and suppliers
-- ---------------------------------------------------------------------------
CREATE TABLE VT_CLIENTES (
    CODIGO        varchar(10) COLLATE CI NOT NULL PRIMARY KEY,
    RAZON_SOCIAL  varchar(60) COLLATE CI,
    CUIT          varchar(13) COLLATE CI,
    CondicionIVA  varchar(30) COLLATE CI,
    Localidad     varchar(40) COLLATE CI,
    Dada_De_Baja  int NOT NULL DEFAULT 0
);

CREATE TABLE VT_PROVEEDORES (
    CODIGO        varchar(10) COLLATE CI NOT NULL PRIMARY KEY,
    RAZON_SOCIAL  varchar(60) COLLATE CI,
    CUIT          varchar(13) COLLATE CI,
    CondicionIVA  varchar(30) COLLATE CI,
    Localidad     varchar(40) COLLATE CI,
    Dada_De_Baja  int NOT NULL DEFAULT 0
);

-- ---------------------------------------------------------------------------
-- Cost centres and positions (hierarchical codes, shown as trees)
-- ---------------------------------------------------------------------------
CREATE TABLE TA_CCOSTO (
    CODIGO       varchar(10) COLLATE CI NOT NULL PRIMARY KEY,
    DESCRIPCION  varchar(50) COLLATE CI
);
CREATE VIEW SS_TA_CCOSTO AS SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO;

CREATE TABLE MA_POSICIONES (
    IDPOSICION   varchar(10) COLLATE CI NOT NULL PRIMARY KEY,
    DESCRIPCION  varchar(50) COLLATE CI
);
CREATE VIEW SS_MA_POSICIONES AS SELECT IDPOSICION, DESCRIPCION FROM MA_POSICIONES;
