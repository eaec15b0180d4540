-- Benchmark data: a large chart of accounts generated in SQL.
-- Run schema.sql first, on an empty database.
--
--   MA_CUENTAS        100,000 ledger sub-accounts (titulo 0) with unique
--                     11-digit codes
--                     (every 37th one has an optional code "OP00037", ...)
--   TA_TITCOPIADORES  200 titles, codes "   1" .. " 200"; title k covers the
--                     400 accounts that start block k of 500 accounts, so the
--                     ranges never overlap and 100 accounts per block stay
--                     outside every title
--   TA_CPTE           200 voucher types "T1" .. "T200"
--   TA_CONFIGURACION  the account-code structure and the usual keys

SAVEPOINT bench;

INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, VALORAUX) VALUES
    ('NOMBRE',                  'Mayorista de Pruebas S.A.', NULL),
    ('DIGITOS_CAPITULO',        '1', NULL),
    ('DIGITOS_SUBCAPITULO',     '1', NULL),
    ('DIGITOS_RUBRO',           '2', NULL),
    ('DIGITOS_SUBRUBRO',        '2', NULL),
    ('DIGITOS_CUENTA',          '2', NULL),
    ('DIGITOS_SUBCUENTA',       '3', NULL),
    ('TopConsArt',              '1000', NULL),
    ('ESCRIBE_SOLO_MAYUSCULAS', 'NO', NULL),
    ('SS_CONFIDENCIALIDAD',     'NO', NULL);

INSERT INTO TA_USUARIOS (nombre, Administrador, NombreCompleto, Activo) VALUES
    ('ADMIN',    1, 'Administrador del sistema', 1),
    ('OPERADOR', 0, 'Operador contable',         1),
    ('CONSULTA', 0, 'Usuario de consulta',       1);

INSERT INTO TA_MENU (Clave, Proceso, Nombre, Modulo, Orden) VALUES
    ('CN020', 'TA_TITCOPIADORES.EXE', 'Títulos Copiadores', 'CONTABILIDAD', 20);

INSERT INTO TA_TAREAS (USUARIO, TAREA) VALUES
    ('ADMIN', 'CN020'), ('OPERADOR', 'CN020');

-- Account number i (0 .. 99999) in code order:
--   chapter    = i / 20000 + 1                       (1 .. 5)
--   idx        = (i % 20000) / 100                   (0 .. 199) gives
--     sub-chapter idx / 100 + 1, rubro (idx / 20) % 5 + 1,
--     sub-rubro (idx / 4) % 5 + 1, cuenta idx % 4 + 1
--   sub-cuenta = i % 100 + 1                         (001 .. 100)
CREATE TEMP TABLE bench_codigos (i INTEGER PRIMARY KEY, Codigo TEXT NOT NULL);

INSERT INTO bench_codigos (i, Codigo)
WITH RECURSIVE n(i) AS (
    SELECT 0
    UNION ALL
    SELECT i + 1 FROM n WHERE i < 99999
)
SELECT i,
       printf('%d%d%02d%02d%02d%03d',
              i / 20000 + 1,
              ((i % 20000) / 100) / 100 + 1,
              (((i % 20000) / 100) / 20) % 5 + 1,
              (((i % 20000) / 100) / 4) % 5 + 1,
              ((i % 20000) / 100) % 4 + 1,
              i % 100 + 1)
  FROM n;

INSERT INTO MA_CUENTAS (Codigo, CodigoOpcional, DESCRIPCION, DV, titulo, Imputable)
WITH sustantivo(k, palabra) AS (
    VALUES (0, 'Deudores'), (1, 'Proveedores'), (2, 'Caja'), (3, 'Banco'),
           (4, 'Anticipos'), (5, 'Documentos'), (6, 'Retenciones'),
           (7, 'Percepciones'), (8, 'Gastos'), (9, 'Ventas'), (10, 'Compras'),
           (11, 'Intereses'), (12, 'Honorarios'), (13, 'Alquileres'),
           (14, 'Seguros'), (15, 'Fletes'), (16, 'Comisiones'),
           (17, 'Previsiones'), (18, 'Amortizaciones'), (19, 'Valores')
),
calificativo(k, palabra) AS (
    VALUES (0, 'varios'), (1, 'en pesos'), (2, 'en dólares'),
           (3, 'a cobrar'), (4, 'a pagar'), (5, 'diferidos'),
           (6, 'Casa Central'), (7, 'Sucursal Norte'), (8, 'Sucursal Sur'),
           (9, 'del exterior'), (10, 'en gestión'), (11, 'a depositar'),
           (12, 'comerciales'), (13, 'administrativos'), (14, 'financieros'),
           (15, 'no operativos'), (16, 'a rendir')
)
SELECT c.Codigo,
       CASE WHEN c.i % 37 = 0 THEN printf('OP%05d', c.i) END,
       s.palabra || ' ' || q.palabra || ' ' || printf('%05d', c.i),
       CAST(min(9, (11 - (  substr(c.Codigo, 1, 1) * 5 + substr(c.Codigo, 2, 1) * 4
                          + substr(c.Codigo, 3, 1) * 3 + substr(c.Codigo, 4, 1) * 2
                          + substr(c.Codigo, 5, 1) * 7 + substr(c.Codigo, 6, 1) * 6
                          + substr(c.Codigo, 7, 1) * 5 + substr(c.Codigo, 8, 1) * 4
                          + substr(c.Codigo, 9, 1) * 3 + substr(c.Codigo, 10, 1) * 2
                          + substr(c.Codigo, 11, 1) * 7) % 11) % 11) AS TEXT),
       0,
       'S'
  FROM bench_codigos c
  JOIN sustantivo s ON s.k = c.i % 20
  JOIN calificativo q ON q.k = (c.i / 20) % 17
 ORDER BY c.i;

INSERT INTO TA_CPTE (Codigo, Descripcion, Abreviatura, Modulo, Signo, Letra, Numerador)
WITH RECURSIVE n(j) AS (
    SELECT 1
    UNION ALL
    SELECT j + 1 FROM n WHERE j < 200
)
SELECT 'T' || j,
       'Comprobante de prueba ' || j,
       'CP' || j,
       CASE j % 4 WHEN 0 THEN 'VENTAS' WHEN 1 THEN 'COMPRAS'
                  WHEN 2 THEN 'BANCOS' ELSE 'CONTABLE' END,
       CASE WHEN j % 5 = 0 THEN -1 ELSE 1 END,
       CASE j % 3 WHEN 0 THEN 'A' WHEN 1 THEN 'B' ELSE NULL END,
       j * 10
  FROM n;

-- Title k (0 .. 199) covers accounts k*500 .. k*500+399; TC lists eight
-- voucher types, each padded on the left to four characters.
INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA, TC,
                              fechahora_grabacion, fechahora_modificacion)
SELECT printf('%4d', d.i / 500 + 1),
       'Copiador ' || (d.i / 500 + 1) || ' - ' || substr(m.DESCRIPCION, 1, 30),
       d.Codigo,
       h.Codigo,
       printf('%4s,%4s,%4s,%4s,%4s,%4s,%4s,%4s',
              'T' || ((d.i / 500 * 7 + 0) % 200 + 1),
              'T' || ((d.i / 500 * 7 + 1) % 200 + 1),
              'T' || ((d.i / 500 * 7 + 2) % 200 + 1),
              'T' || ((d.i / 500 * 7 + 3) % 200 + 1),
              'T' || ((d.i / 500 * 7 + 4) % 200 + 1),
              'T' || ((d.i / 500 * 7 + 5) % 200 + 1),
              'T' || ((d.i / 500 * 7 + 6) % 200 + 1),
              'T' || ((d.i / 500 * 7 + 7) % 200 + 1)),
       printf('2024-%02d-%02d %02d:%02d:00',
              (d.i / 500) % 12 + 1, (d.i / 500) % 28 + 1,
              8 + (d.i / 500) % 10, (d.i / 500 * 13) % 60),
       NULL
  FROM bench_codigos d
  JOIN bench_codigos h ON h.i = d.i + 399
  JOIN MA_CUENTAS m ON m.Codigo = d.Codigo
 WHERE d.i % 500 = 0
 ORDER BY d.i;

DROP TABLE temp.bench_codigos;

RELEASE bench;
