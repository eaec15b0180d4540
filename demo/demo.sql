-- Demo data: "Distribuidora del Litoral S.A.", a wholesale distributor from
-- Santa Fe (Argentina). Run schema.sql first, on an empty database.
--
-- Everything is loaded in one transaction (a savepoint also works when the
-- runner already opened one).

SAVEPOINT demo;

-- ---------------------------------------------------------------------------
-- Configuration
-- ---------------------------------------------------------------------------
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, VALORAUX) VALUES
    ('NOMBRE',                  'Distribuidora del Litoral S.A.', '30-71234567-4'),
    ('DIRECCION',               'Bv. Gálvez 1850, Santa Fe',      NULL),
    ('DIGITOS_CAPITULO',        '1', NULL),
    ('DIGITOS_SUBCAPITULO',     '1', NULL),
    ('DIGITOS_RUBRO',           '2', NULL),
    ('DIGITOS_SUBRUBRO',        '2', NULL),
    ('DIGITOS_CUENTA',          '2', NULL),
    ('DIGITOS_SUBCUENTA',       '3', NULL),
    ('TopConsArt',              '1000', NULL),
    ('ESCRIBE_SOLO_MAYUSCULAS', 'NO', NULL),
    ('SS_CONFIDENCIALIDAD',     'NO', NULL),
    ('UsaConsultaLike',         'NO', NULL),
    -- stock colouring in article lookups (colour values in BGR order:
    -- green, blue, red, grey) and the names of the price lists
    ('MostrarStockenConsultas', 'SI', NULL),
    ('Stk_Nivel1',              '32768', NULL),
    ('Stk_Nivel2',              '16711680', NULL),
    ('Stk_Nivel3',              '255', NULL),
    ('Stk_Nivel4',              '8421504', NULL),
    ('NOM_PCLASE1',             'Precio Mayorista', NULL),
    ('NOM_PCLASE2',             'Precio Minorista', NULL);

-- ---------------------------------------------------------------------------
-- Chart of accounts (Codigo, CodigoOpcional, DESCRIPCION); titulo, Imputable,
-- DV and the other flags are set by the updates below.
-- ---------------------------------------------------------------------------
INSERT INTO MA_CUENTAS (Codigo, CodigoOpcional, DESCRIPCION) VALUES
    -- 1 Activo
    ('1',            NULL,        'ACTIVO'),
    ('11',           NULL,        'ACTIVO CORRIENTE'),
    ('1100',         NULL,        'FONDOS EN TRÁNSITO'),
    ('110001',       NULL,        'FONDOS EN TRÁNSITO'),
    ('11000101',     NULL,        'Transferencias en tránsito'),
    ('11000101001',  NULL,        'Transferencias bancarias en tránsito'),
    ('11000101002',  NULL,        'Remesas entre sucursales en tránsito'),
    ('1101',         NULL,        'CAJA Y BANCOS'),
    ('110101',       NULL,        'CAJA'),
    ('11010101',     NULL,        'Caja en pesos'),
    ('11010101001',  'CAJA',      'Caja Central'),
    ('11010101002',  'CAJAROS',   'Caja Sucursal Rosario'),
    ('11010101003',  'FFIJO',     'Fondo fijo administración'),
    ('11010102',     NULL,        'Caja en moneda extranjera'),
    ('11010102001',  'CAJAUSD',   'Caja dólares estadounidenses'),
    ('11010103',     NULL,        'Valores a depositar'),
    ('11010103001',  'CHQTER',    'Cheques de terceros en cartera'),
    ('11010103002',  NULL,        'Cupones de tarjetas a depositar'),
    ('110102',       NULL,        'BANCOS'),
    ('11010201',     NULL,        'Bancos cuentas corrientes'),
    ('11010201001',  'BNA01',     'Banco de la Nación Argentina Cta. Cte.'),
    ('11010201002',  'BSF01',     'Nuevo Banco de Santa Fe Cta. Cte.'),
    ('11010201003',  'GAL01',     'Banco de Galicia Cta. Cte.'),
    ('11010201004',  NULL,        'Banco Macro Cta. Cte.'),
    ('11010202',     NULL,        'Bancos cajas de ahorro'),
    ('11010202001',  NULL,        'Banco de la Nación Argentina C.A. $'),
    ('11010202002',  NULL,        'Banco de la Nación Argentina C.A. U$S'),
    ('1102',         NULL,        'INVERSIONES TEMPORARIAS'),
    ('110201',       NULL,        'INVERSIONES TRANSITORIAS'),
    ('11020101',     NULL,        'Plazos fijos'),
    ('11020101001',  NULL,        'Plazo fijo Banco Nación'),
    ('11020101002',  NULL,        'Plazo fijo Banco Galicia'),
    ('11020102',     NULL,        'Fondos comunes de inversión'),
    ('11020102001',  NULL,        'FCI Money Market'),
    ('11020103',     NULL,        'Títulos públicos'),
    ('11020103001',  NULL,        'Bonos del Tesoro Nacional'),
    ('1103',         NULL,        'CRÉDITOS POR VENTAS'),
    ('110301',       NULL,        'DEUDORES POR VENTAS'),
    ('11030101',     NULL,        'Deudores por ventas'),
    ('11030101001',  'DEUDORES',  'Deudores comunes'),
    ('11030101002',  NULL,        'Deudores en gestión judicial'),
    ('11030101003',  NULL,        'Deudores morosos'),
    ('11030102',     NULL,        'Documentos a cobrar'),
    ('11030102001',  NULL,        'Documentos a cobrar'),
    ('11030102002',  NULL,        'Cheques de pago diferido a cobrar'),
    ('11030103',     NULL,        'Tarjetas de crédito a cobrar'),
    ('11030103001',  NULL,        'Tarjeta Visa a cobrar'),
    ('11030103002',  NULL,        'Tarjeta Mastercard a cobrar'),
    ('11030103003',  NULL,        'Tarjeta Cabal a cobrar'),
    ('11030103004',  NULL,        'Tarjeta American Express a cobrar'),
    ('110302',       NULL,        'PREVISIONES SOBRE CRÉDITOS'),
    ('11030201',     NULL,        'Previsión para deudores incobrables'),
    ('11030201001',  NULL,        'Previsión para deudores incobrables'),
    ('1104',         NULL,        'OTROS CRÉDITOS'),
    ('110401',       NULL,        'CRÉDITOS FISCALES'),
    ('11040101',     NULL,        'IVA crédito fiscal'),
    ('11040101001',  'IVACF',     'IVA crédito fiscal 21%'),
    ('11040101002',  'IVACF105',  'IVA crédito fiscal 10,5%'),
    ('11040101003',  NULL,        'IVA crédito fiscal 27%'),
    ('11040102',     NULL,        'Percepciones sufridas'),
    ('11040102001',  'PERCIVA',   'Percepciones de IVA sufridas'),
    ('11040102002',  NULL,        'Percepciones IIBB Santa Fe sufridas'),
    ('11040102003',  NULL,        'Percepciones IIBB Buenos Aires sufridas'),
    ('11040103',     NULL,        'Retenciones sufridas'),
    ('11040103001',  NULL,        'Retenciones de Ganancias sufridas'),
    ('11040103002',  NULL,        'Retenciones de IVA sufridas'),
    ('11040103003',  NULL,        'Retenciones de IIBB sufridas'),
    ('11040104',     NULL,        'Anticipos de impuestos'),
    ('11040104001',  NULL,        'Anticipos impuesto a las Ganancias'),
    ('11040104002',  NULL,        'Saldo a favor Ingresos Brutos'),
    ('110402',       NULL,        'CRÉDITOS DIVERSOS'),
    ('11040201',     NULL,        'Anticipos al personal'),
    ('11040201001',  NULL,        'Anticipos de sueldos'),
    ('11040201002',  NULL,        'Préstamos al personal'),
    ('11040202',     NULL,        'Gastos pagados por adelantado'),
    ('11040202001',  NULL,        'Seguros pagados por adelantado'),
    ('11040202002',  NULL,        'Alquileres pagados por adelantado'),
    ('11040203',     NULL,        'Depósitos en garantía'),
    ('11040203001',  NULL,        'Depósitos en garantía de alquileres'),
    ('11040204',     NULL,        'Anticipos a proveedores'),
    ('11040204001',  NULL,        'Anticipos a proveedores'),
    ('1105',         NULL,        'BIENES DE CAMBIO'),
    ('110501',       NULL,        'MERCADERÍAS'),
    ('11050101',     NULL,        'Mercaderías de reventa'),
    ('11050101001',  NULL,        'Mercaderías - Depósito Central'),
    ('11050101002',  NULL,        'Mercaderías - Depósito Rosario'),
    ('11050101003',  NULL,        'Mercaderías en tránsito'),
    ('11050102',     NULL,        'Importaciones en curso'),
    ('11050102001',  NULL,        'Importaciones en curso'),
    ('110502',       NULL,        'ENVASES Y EMBALAJES'),
    ('11050201',     NULL,        'Envases y embalajes'),
    ('11050201001',  NULL,        'Envases retornables'),
    ('11050201002',  NULL,        'Materiales de embalaje'),
    ('12',           NULL,        'ACTIVO NO CORRIENTE'),
    ('1201',         NULL,        'CRÉDITOS NO CORRIENTES'),
    ('120101',       NULL,        'CRÉDITOS A LARGO PLAZO'),
    ('12010101',     NULL,        'Créditos a largo plazo'),
    ('12010101001',  NULL,        'Documentos a cobrar a largo plazo'),
    ('1202',         NULL,        'BIENES DE USO'),
    ('120201',       NULL,        'BIENES DE USO - VALORES DE ORIGEN'),
    ('12020101',     NULL,        'Inmuebles'),
    ('12020101001',  NULL,        'Terrenos'),
    ('12020101002',  NULL,        'Edificios'),
    ('12020102',     NULL,        'Rodados'),
    ('12020102001',  NULL,        'Camiones de reparto'),
    ('12020102002',  NULL,        'Utilitarios'),
    ('12020103',     NULL,        'Muebles y útiles'),
    ('12020103001',  NULL,        'Muebles y útiles'),
    ('12020104',     NULL,        'Instalaciones'),
    ('12020104001',  NULL,        'Instalaciones'),
    ('12020105',     NULL,        'Equipos de computación'),
    ('12020105001',  NULL,        'Hardware'),
    ('12020105002',  NULL,        'Software y licencias'),
    ('12020106',     NULL,        'Máquinas y herramientas'),
    ('12020106001',  NULL,        'Autoelevadores'),
    ('12020106002',  NULL,        'Herramientas'),
    ('120202',       NULL,        'AMORTIZACIONES ACUMULADAS'),
    ('12020201',     NULL,        'Amortización acumulada edificios'),
    ('12020201001',  NULL,        'Amortización acumulada edificios'),
    ('12020202',     NULL,        'Amortización acumulada rodados'),
    ('12020202001',  NULL,        'Amortización acumulada rodados'),
    ('12020203',     NULL,        'Amortización acumulada muebles y útiles'),
    ('12020203001',  NULL,        'Amortización acumulada muebles y útiles'),
    ('12020204',     NULL,        'Amortización acumulada instalaciones'),
    ('12020204001',  NULL,        'Amortización acumulada instalaciones'),
    ('12020205',     NULL,        'Amortización acumulada equipos de computación'),
    ('12020205001',  NULL,        'Amortización acumulada equipos de computación'),
    ('12020206',     NULL,        'Amortización acumulada máquinas y herramientas'),
    ('12020206001',  NULL,        'Amortización acumulada máquinas y herramientas'),
    ('1203',         NULL,        'ACTIVOS INTANGIBLES'),
    ('120301',       NULL,        'ACTIVOS INTANGIBLES'),
    ('12030101',     NULL,        'Marcas y patentes'),
    ('12030101001',  NULL,        'Marcas y patentes'),
    ('12030102',     NULL,        'Gastos de organización'),
    ('12030102001',  NULL,        'Gastos de organización'),
    ('1204',         NULL,        'INVERSIONES PERMANENTES'),
    ('120401',       NULL,        'PARTICIPACIONES PERMANENTES'),
    ('12040101',     NULL,        'Participaciones en otras sociedades'),
    ('12040101001',  NULL,        'Acciones Transportes del Litoral S.R.L.'),
    -- 2 Pasivo
    ('2',            NULL,        'PASIVO'),
    ('21',           NULL,        'PASIVO CORRIENTE'),
    ('2101',         NULL,        'DEUDAS COMERCIALES'),
    ('210101',       NULL,        'PROVEEDORES'),
    ('21010101',     NULL,        'Proveedores'),
    ('21010101001',  'PROV',      'Proveedores locales'),
    ('21010101002',  NULL,        'Proveedores del exterior'),
    ('21010101003',  NULL,        'Proveedores de servicios'),
    ('21010102',     NULL,        'Documentos a pagar'),
    ('21010102001',  NULL,        'Documentos a pagar'),
    ('21010103',     NULL,        'Cheques de pago diferido emitidos'),
    ('21010103001',  'CHQDIF',    'Cheques diferidos emitidos'),
    ('21010104',     NULL,        'Facturas a recibir'),
    ('21010104001',  NULL,        'Facturas a recibir'),
    ('2102',         NULL,        'DEUDAS BANCARIAS Y FINANCIERAS'),
    ('210201',       NULL,        'DEUDAS BANCARIAS'),
    ('21020101',     NULL,        'Adelantos en cuenta corriente'),
    ('21020101001',  NULL,        'Adelanto en Cta. Cte. Banco Nación'),
    ('21020101002',  NULL,        'Adelanto en Cta. Cte. Banco Galicia'),
    ('21020102',     NULL,        'Préstamos bancarios'),
    ('21020102001',  NULL,        'Préstamo Banco Nación'),
    ('21020102002',  NULL,        'Leasing Banco Galicia'),
    ('21020103',     NULL,        'Tarjetas corporativas'),
    ('21020103001',  NULL,        'Tarjeta corporativa Visa'),
    ('2103',         NULL,        'REMUNERACIONES Y CARGAS SOCIALES'),
    ('210301',       NULL,        'REMUNERACIONES Y CARGAS SOCIALES'),
    ('21030101',     NULL,        'Sueldos a pagar'),
    ('21030101001',  'SUELDOS',   'Sueldos a pagar'),
    ('21030101002',  NULL,        'SAC a pagar'),
    ('21030101003',  NULL,        'Vacaciones a pagar'),
    ('21030102',     NULL,        'Cargas sociales a pagar'),
    ('21030102001',  'F931',      'Aportes y contribuciones SIPA a pagar'),
    ('21030102002',  NULL,        'Obra social a pagar'),
    ('21030102003',  NULL,        'ART a pagar'),
    ('21030102004',  NULL,        'Sindicato Empleados de Comercio a pagar'),
    ('2104',         NULL,        'DEUDAS FISCALES'),
    ('210401',       NULL,        'DEUDAS FISCALES'),
    ('21040101',     NULL,        'IVA débito fiscal'),
    ('21040101001',  'IVADF',     'IVA débito fiscal 21%'),
    ('21040101002',  'IVADF105',  'IVA débito fiscal 10,5%'),
    ('21040102',     NULL,        'IVA a pagar'),
    ('21040102001',  'IVAPAG',    'IVA saldo a pagar'),
    ('21040103',     NULL,        'Ingresos Brutos a pagar'),
    ('21040103001',  NULL,        'Ingresos Brutos Convenio Multilateral'),
    ('21040104',     NULL,        'Impuesto a las Ganancias a pagar'),
    ('21040104001',  NULL,        'Provisión impuesto a las Ganancias'),
    ('21040105',     NULL,        'Retenciones y percepciones a depositar'),
    ('21040105001',  'SICORE',    'Retenciones de Ganancias a depositar'),
    ('21040105002',  NULL,        'Retenciones de IVA a depositar'),
    ('21040105003',  NULL,        'Percepciones IIBB a depositar'),
    ('21040106',     NULL,        'Tasas municipales a pagar'),
    ('21040106001',  NULL,        'Tasa municipal DReI a pagar'),
    ('2105',         NULL,        'OTRAS DEUDAS'),
    ('210501',       NULL,        'OTRAS DEUDAS'),
    ('21050101',     NULL,        'Anticipos de clientes'),
    ('21050101001',  NULL,        'Anticipos de clientes'),
    ('21050102',     NULL,        'Dividendos a pagar'),
    ('21050102001',  NULL,        'Dividendos a pagar'),
    ('21050103',     NULL,        'Acreedores varios'),
    ('21050103001',  NULL,        'Acreedores varios'),
    ('21050104',     NULL,        'Honorarios de directores a pagar'),
    ('21050104001',  NULL,        'Honorarios de directores a pagar'),
    ('22',           NULL,        'PASIVO NO CORRIENTE'),
    ('2201',         NULL,        'DEUDAS BANCARIAS NO CORRIENTES'),
    ('220101',       NULL,        'PRÉSTAMOS A LARGO PLAZO'),
    ('22010101',     NULL,        'Préstamos bancarios a largo plazo'),
    ('22010101001',  NULL,        'Préstamo hipotecario Banco Nación'),
    ('2202',         NULL,        'PREVISIONES'),
    ('220201',       NULL,        'PREVISIONES'),
    ('22020101',     NULL,        'Previsión para juicios laborales'),
    ('22020101001',  NULL,        'Previsión para juicios laborales'),
    -- 3 Patrimonio neto
    ('3',            NULL,        'PATRIMONIO NETO'),
    ('31',           NULL,        'APORTES DE LOS PROPIETARIOS'),
    ('3101',         NULL,        'CAPITAL'),
    ('310101',       NULL,        'CAPITAL'),
    ('31010101',     NULL,        'Capital suscripto'),
    ('31010101001',  NULL,        'Capital social'),
    ('31010102',     NULL,        'Ajuste de capital'),
    ('31010102001',  NULL,        'Ajuste de capital'),
    ('3102',         NULL,        'APORTES IRREVOCABLES'),
    ('310201',       NULL,        'APORTES IRREVOCABLES'),
    ('31020101',     NULL,        'Aportes irrevocables a cuenta de futuras suscripciones'),
    ('31020101001',  NULL,        'Aportes irrevocables'),
    ('32',           NULL,        'RESULTADOS ACUMULADOS'),
    ('3201',         NULL,        'GANANCIAS RESERVADAS'),
    ('320101',       NULL,        'RESERVAS'),
    ('32010101',     NULL,        'Reserva legal'),
    ('32010101001',  NULL,        'Reserva legal'),
    ('32010102',     NULL,        'Reserva facultativa'),
    ('32010102001',  NULL,        'Reserva facultativa'),
    ('3202',         NULL,        'RESULTADOS NO ASIGNADOS'),
    ('320201',       NULL,        'RESULTADOS NO ASIGNADOS'),
    ('32020101',     NULL,        'Resultados de ejercicios anteriores'),
    ('32020101001',  NULL,        'Resultados de ejercicios anteriores'),
    ('32020102',     NULL,        'Resultado del ejercicio'),
    ('32020102001',  'RESEJ',     'Resultado del ejercicio'),
    -- 4 Ingresos (resultados positivos)
    ('4',            NULL,        'INGRESOS'),
    ('41',           NULL,        'INGRESOS OPERATIVOS'),
    ('4101',         NULL,        'VENTAS'),
    ('410101',       NULL,        'VENTAS DE MERCADERÍAS'),
    ('41010101',     NULL,        'Ventas mercado local'),
    ('41010101001',  'VTAS',      'Ventas gravadas 21%'),
    ('41010101002',  NULL,        'Ventas gravadas 10,5%'),
    ('41010101003',  NULL,        'Ventas exentas'),
    ('41010102',     NULL,        'Ventas al exterior'),
    ('41010102001',  NULL,        'Exportaciones'),
    ('41010103',     NULL,        'Devoluciones y bonificaciones sobre ventas'),
    ('41010103001',  NULL,        'Devoluciones sobre ventas'),
    ('41010103002',  NULL,        'Bonificaciones sobre ventas'),
    ('4102',         NULL,        'SERVICIOS'),
    ('410201',       NULL,        'INGRESOS POR SERVICIOS'),
    ('41020101',     NULL,        'Ingresos por servicios'),
    ('41020101001',  NULL,        'Servicios de flete'),
    ('41020101002',  NULL,        'Servicio técnico'),
    ('42',           NULL,        'INGRESOS NO OPERATIVOS'),
    ('4201',         NULL,        'RESULTADOS FINANCIEROS POSITIVOS'),
    ('420101',       NULL,        'RESULTADOS FINANCIEROS POSITIVOS'),
    ('42010101',     NULL,        'Intereses ganados'),
    ('42010101001',  NULL,        'Intereses por plazos fijos'),
    ('42010101002',  NULL,        'Intereses por mora de clientes'),
    ('42010102',     NULL,        'Diferencias de cambio positivas'),
    ('42010102001',  NULL,        'Diferencias de cambio positivas'),
    ('42010103',     NULL,        'Descuentos obtenidos'),
    ('42010103001',  NULL,        'Descuentos obtenidos'),
    ('4202',         NULL,        'OTROS INGRESOS'),
    ('420201',       NULL,        'OTROS INGRESOS'),
    ('42020101',     NULL,        'Recupero de gastos'),
    ('42020101001',  NULL,        'Recupero de gastos'),
    ('42020102',     NULL,        'Resultado por venta de bienes de uso'),
    ('42020102001',  NULL,        'Resultado por venta de bienes de uso'),
    ('42020103',     NULL,        'Ingresos varios'),
    ('42020103001',  NULL,        'Ingresos varios'),
    -- 5 Egresos (resultados negativos)
    ('5',            NULL,        'EGRESOS'),
    ('51',           NULL,        'COSTOS'),
    ('5101',         NULL,        'COSTO DE VENTAS'),
    ('510101',       NULL,        'COSTO DE VENTAS'),
    ('51010101',     NULL,        'Costo de mercaderías vendidas'),
    ('51010101001',  'CMV',       'Costo de mercaderías vendidas'),
    ('51010102',     NULL,        'Compras'),
    ('51010102001',  'COMPRAS',   'Compras de mercaderías'),
    ('51010102002',  NULL,        'Fletes sobre compras'),
    ('51010102003',  NULL,        'Gastos de importación'),
    ('51010103',     NULL,        'Diferencias de inventario'),
    ('51010103001',  NULL,        'Diferencias de inventario'),
    ('52',           NULL,        'GASTOS DE COMERCIALIZACIÓN'),
    ('5201',         NULL,        'GASTOS DE VENTAS'),
    ('520101',       NULL,        'GASTOS DE VENTAS'),
    ('52010101',     NULL,        'Sueldos y jornales comerciales'),
    ('52010101001',  NULL,        'Sueldos y jornales comerciales'),
    ('52010102',     NULL,        'Cargas sociales comerciales'),
    ('52010102001',  NULL,        'Cargas sociales comerciales'),
    ('52010103',     NULL,        'Comisiones a vendedores'),
    ('52010103001',  NULL,        'Comisiones a vendedores'),
    ('52010104',     NULL,        'Publicidad y propaganda'),
    ('52010104001',  NULL,        'Publicidad y propaganda'),
    ('52010105',     NULL,        'Fletes y acarreos'),
    ('52010105001',  NULL,        'Fletes y acarreos'),
    ('52010106',     NULL,        'Impuesto sobre los Ingresos Brutos'),
    ('52010106001',  NULL,        'Impuesto sobre los Ingresos Brutos'),
    ('52010107',     NULL,        'Deudores incobrables'),
    ('52010107001',  NULL,        'Deudores incobrables'),
    ('53',           NULL,        'GASTOS DE ADMINISTRACIÓN'),
    ('5301',         NULL,        'GASTOS ADMINISTRATIVOS'),
    ('530101',       NULL,        'GASTOS ADMINISTRATIVOS'),
    ('53010101',     NULL,        'Sueldos y jornales administrativos'),
    ('53010101001',  NULL,        'Sueldos y jornales administrativos'),
    ('53010102',     NULL,        'Cargas sociales administrativas'),
    ('53010102001',  NULL,        'Cargas sociales administrativas'),
    ('53010103',     NULL,        'Honorarios profesionales'),
    ('53010103001',  NULL,        'Honorarios contables'),
    ('53010103002',  NULL,        'Honorarios legales'),
    ('53010103003',  NULL,        'Honorarios de directores'),
    ('53010104',     NULL,        'Alquileres'),
    ('53010104001',  NULL,        'Alquiler oficinas Santa Fe'),
    ('53010104002',  NULL,        'Alquiler depósito Rosario'),
    ('53010105',     NULL,        'Servicios públicos'),
    ('53010105001',  NULL,        'Energía eléctrica'),
    ('53010105002',  NULL,        'Gas natural'),
    ('53010105003',  NULL,        'Agua corriente'),
    ('53010105004',  NULL,        'Telefonía e internet'),
    ('53010106',     NULL,        'Papelería y útiles de oficina'),
    ('53010106001',  NULL,        'Papelería y útiles de oficina'),
    ('53010107',     NULL,        'Seguros'),
    ('53010107001',  NULL,        'Seguros'),
    ('53010108',     NULL,        'Amortizaciones de bienes de uso'),
    ('53010108001',  NULL,        'Amortizaciones de bienes de uso'),
    ('53010109',     NULL,        'Mantenimiento y reparaciones'),
    ('53010109001',  NULL,        'Mantenimiento y reparaciones'),
    ('53010110',     NULL,        'Gastos de movilidad'),
    ('53010110001',  NULL,        'Gastos de movilidad y viáticos'),
    ('53010111',     NULL,        'Impuestos, tasas y contribuciones'),
    ('53010111001',  NULL,        'Impuestos, tasas y contribuciones'),
    ('54',           NULL,        'GASTOS FINANCIEROS'),
    ('5401',         NULL,        'RESULTADOS FINANCIEROS NEGATIVOS'),
    ('540101',       NULL,        'RESULTADOS FINANCIEROS NEGATIVOS'),
    ('54010101',     NULL,        'Intereses pagados'),
    ('54010101001',  NULL,        'Intereses bancarios'),
    ('54010101002',  NULL,        'Intereses fiscales'),
    ('54010102',     NULL,        'Gastos y comisiones bancarias'),
    ('54010102001',  NULL,        'Gastos y comisiones bancarias'),
    ('54010103',     NULL,        'Impuesto sobre débitos y créditos bancarios'),
    ('54010103001',  NULL,        'Impuesto sobre débitos y créditos bancarios'),
    ('54010104',     NULL,        'Diferencias de cambio negativas'),
    ('54010104001',  NULL,        'Diferencias de cambio negativas'),
    ('54010105',     NULL,        'Descuentos otorgados'),
    ('54010105001',  NULL,        'Descuentos otorgados'),
    ('55',           NULL,        'IMPUESTO A LAS GANANCIAS'),
    ('5501',         NULL,        'IMPUESTO A LAS GANANCIAS'),
    ('550101',       NULL,        'IMPUESTO A LAS GANANCIAS'),
    ('55010101',     NULL,        'Impuesto a las Ganancias del ejercicio'),
    ('55010101001',  NULL,        'Impuesto a las Ganancias del ejercicio');

-- Heading accounts are those above the sub-account level (11 digits).
UPDATE MA_CUENTAS
   SET titulo    = CASE WHEN length(Codigo) < 11 THEN 1 ELSE 0 END,
       Imputable = CASE WHEN length(Codigo) < 11 THEN 'N' ELSE 'S' END;

-- Check digit: modulo 11 with weights 5,4,3,2,7,6,5,4,3,2,7 over the digits
-- of the code (missing positions count 0); a result of 11 gives 0 and 10
-- gives 9 (x - x / 10). Written without LIKE or text arithmetic so that
-- PostgreSQL runs it too.
UPDATE MA_CUENTAS
   SET DV = CAST((11 - (CAST(substr(Codigo || '00000000000', 1, 1) AS INTEGER) * 5
                  + CAST(substr(Codigo || '00000000000', 2, 1) AS INTEGER) * 4
                  + CAST(substr(Codigo || '00000000000', 3, 1) AS INTEGER) * 3
                  + CAST(substr(Codigo || '00000000000', 4, 1) AS INTEGER) * 2
                  + CAST(substr(Codigo || '00000000000', 5, 1) AS INTEGER) * 7
                  + CAST(substr(Codigo || '00000000000', 6, 1) AS INTEGER) * 6
                  + CAST(substr(Codigo || '00000000000', 7, 1) AS INTEGER) * 5
                  + CAST(substr(Codigo || '00000000000', 8, 1) AS INTEGER) * 4
                  + CAST(substr(Codigo || '00000000000', 9, 1) AS INTEGER) * 3
                  + CAST(substr(Codigo || '00000000000', 10, 1) AS INTEGER) * 2
                  + CAST(substr(Codigo || '00000000000', 11, 1) AS INTEGER) * 7) % 11) % 11
           - (11 - (CAST(substr(Codigo || '00000000000', 1, 1) AS INTEGER) * 5
                  + CAST(substr(Codigo || '00000000000', 2, 1) AS INTEGER) * 4
                  + CAST(substr(Codigo || '00000000000', 3, 1) AS INTEGER) * 3
                  + CAST(substr(Codigo || '00000000000', 4, 1) AS INTEGER) * 2
                  + CAST(substr(Codigo || '00000000000', 5, 1) AS INTEGER) * 7
                  + CAST(substr(Codigo || '00000000000', 6, 1) AS INTEGER) * 6
                  + CAST(substr(Codigo || '00000000000', 7, 1) AS INTEGER) * 5
                  + CAST(substr(Codigo || '00000000000', 8, 1) AS INTEGER) * 4
                  + CAST(substr(Codigo || '00000000000', 9, 1) AS INTEGER) * 3
                  + CAST(substr(Codigo || '00000000000', 10, 1) AS INTEGER) * 2
                  + CAST(substr(Codigo || '00000000000', 11, 1) AS INTEGER) * 7) % 11) % 11 / 10 AS TEXT);

-- Accounts kept in foreign currency
UPDATE MA_CUENTAS SET Moneda = 'USD'
 WHERE Codigo IN ('11010102', '11010102001', '11010202002', '21010101002', '41010102001');

-- Accounts adjusted for inflation (non-monetary items)
UPDATE MA_CUENTAS SET AjustaInflacion = 1
 WHERE titulo = 0 AND (substr(Codigo, 1, 4) = '1105' OR substr(Codigo, 1, 2) = '12' OR substr(Codigo, 1, 1) = '3');

-- Confidential accounts: hidden from users who are not administrators
-- (SS_MA_CUENTAS)
UPDATE MA_CUENTAS SET Confidencial = 1
 WHERE Codigo IN ('11040201002', '21050104001', '53010103003');

-- ---------------------------------------------------------------------------
-- Voucher types. The row 'ÿRS' is an internal code that the program leaves
-- out of its voucher list.
-- ---------------------------------------------------------------------------
INSERT INTO TA_CPTE (Codigo, Descripcion, Abreviatura, Modulo, Signo, Letra, Numerador) VALUES
    ('FC',  'Factura',                      'FACT',   'VENTAS',   1, 'A', 10452),
    ('NC',  'Nota de Crédito',              'N.CRED', 'VENTAS',  -1, 'A', 812),
    ('ND',  'Nota de Débito',               'N.DEB',  'VENTAS',   1, 'A', 97),
    ('TK',  'Ticket Factura',               'TICKET', 'VENTAS',   1, 'B', 55321),
    ('RC',  'Recibo',                       'RECIBO', 'COBRANZA', -1, 'X', 8840),
    ('FP',  'Factura de Proveedor',         'F.PROV', 'COMPRAS',  1, 'A', 0),
    ('NCP', 'Nota de Crédito de Proveedor', 'NC.PROV','COMPRAS', -1, 'A', 0),
    ('NDP', 'Nota de Débito de Proveedor',  'ND.PROV','COMPRAS',  1, 'A', 0),
    ('OP',  'Orden de Pago',                'O.PAGO', 'PAGOS',    1, 'X', 3310),
    ('DB',  'Depósito Bancario',            'DEP',    'BANCOS',   1, NULL, 1204),
    ('TR',  'Transferencia Bancaria',       'TRANSF', 'BANCOS',   1, NULL, 688),
    ('LS',  'Liquidación de Sueldos',       'LIQ',    'SUELDOS',  1, NULL, 146),
    ('AS',  'Asiento Manual',               'ASTO',   'CONTABLE', 1, NULL, 2315),
    ('AJ',  'Asiento de Ajuste',            'AJUSTE', 'CONTABLE', 1, NULL, 64),
    ('AP',  'Asiento de Apertura',          'APERT',  'CONTABLE', 1, NULL, 6),
    ('CI',  'Asiento de Cierre',            'CIERRE', 'CONTABLE', 1, NULL, 5),
    ('ÿRS', 'Resumen interno (no usar)',    'RES',    'SISTEMA',  1, NULL, 0);

-- ---------------------------------------------------------------------------
-- Copy-book titles. Ranges run over sub-accounts (11 digits) and do not
-- overlap; the accounts between them (investments, fixed assets, financial
-- results, ...) are the "cuentas varias de mayor".
-- ---------------------------------------------------------------------------
INSERT INTO TA_TITCOPIADORES (CODIGO, DESCRIPCION, DESDE, HASTA, TC, fechahora_grabacion, fechahora_modificacion) VALUES
    ('   1', 'Libro Diario General',             '31010101001', '32020102001', '  AS,  AJ,  AP,  CI',            '2023-01-02 09:12:40', '2024-03-11 16:05:12'),
    ('   2', 'Caja y Bancos',                    '11000101001', '11010202002', '  RC,  OP,  DB,  TR,  AS',       '2023-01-02 09:20:03', NULL),
    ('   3', 'Deudores por Ventas',              '11030101001', '11030201001', '  FC,  NC,  ND,  RC',            '2023-01-02 09:31:55', NULL),
    ('   4', 'Créditos Fiscales - IVA Compras',  '11040101001', '11040104002', '  FP, NCP, NDP,  AS',            '2023-01-02 09:44:18', '2023-07-01 10:02:37'),
    ('   5', 'Compras',                          '51010101001', '51010103001', '  FP, NCP, NDP,  AJ',            '2023-01-02 10:01:09', NULL),
    ('   6', 'Proveedores',                      '21010101001', '21010104001', '  FP, NCP, NDP,  OP',            '2023-01-02 10:15:46', NULL),
    ('   7', 'Sueldos y Cargas Sociales',        '21030101001', '21030102004', '  LS,  OP,  AS',                 '2023-01-03 08:47:21', NULL),
    ('   8', 'Deudas Fiscales - IVA Ventas',     '21040101001', '21040106001', '  FC,  NC,  ND,  TK,  OP',       '2023-01-03 09:05:30', '2024-01-15 11:40:02'),
    ('   9', 'Ventas',                           '41010101001', '41020101002', '  FC,  NC,  ND,  TK',            '2023-01-03 09:22:14', NULL),
    ('  10', 'Gastos Generales',                 '52010101001', '53010111001', '  FP,  OP,  LS,  AS',            '2023-02-14 15:30:00', '2024-05-20 12:18:44');

-- ---------------------------------------------------------------------------
-- Users, menu entries, tasks and access log
-- ---------------------------------------------------------------------------
INSERT INTO TA_USUARIOS (nombre, Administrador, NombreCompleto, Email, Activo) VALUES
    ('ADMIN',    1, 'Administrador del sistema', 'sistemas@dellitoral.com.ar',  1),
    ('OPERADOR', 0, 'María Laura Benítez',       'mbenitez@dellitoral.com.ar',  1),
    ('CONSULTA', 0, 'Jorge Omar Sosa',           'jsosa@dellitoral.com.ar',     1);

-- Proceso holds the executable name(s) of each entry; an entry may list
-- several programs.
INSERT INTO TA_MENU (Clave, Proceso, Nombre, Modulo, Orden) VALUES
    ('CN000', 'CN000PR.EXE',                                'Menu Principal',                 'CONTABILIDAD', 0),
    ('CN010', 'MA_CUENTAS.EXE',                             'Plan de Cuentas',                'CONTABILIDAD', 10),
    ('CN020', 'TA_TITCOPIADORES.EXE',                       'Títulos Copiadores',             'CONTABILIDAD', 20),
    ('CN030', 'MV_ASIENTOS.EXE',                            'Registración de Asientos',       'CONTABILIDAD', 30),
    ('CN040', 'RP_CN030.EXE;RP_CN070.EXE;TA_TITCOPIADORES.EXE', 'Reportes de Copiadores',     'CONTABILIDAD', 40),
    ('CN050', 'RP_DIARIO.EXE',                              'Libro Diario',                   'CONTABILIDAD', 50),
    ('CN060', 'RP_MAYOR.EXE',                               'Libro Mayor',                    'CONTABILIDAD', 60),
    ('CN070', 'TA_CPTE.EXE',                                'Tipos de Comprobante',           'CONTABILIDAD', 70),
    ('SI010', 'TA_CONFIGURACION.EXE',                       'Configuración del Sistema',      'SISTEMA',      10),
    ('SI020', 'TA_USUARIOS.EXE;TA_TAREAS.EXE',              'Usuarios y Permisos',            'SISTEMA',      20);

INSERT INTO TA_TAREAS (USUARIO, TAREA) VALUES
    ('ADMIN',    'CN000'), ('ADMIN',    'CN010'), ('ADMIN',    'CN020'),
    ('ADMIN',    'CN030'), ('ADMIN',    'CN040'), ('ADMIN',    'CN050'),
    ('ADMIN',    'CN060'), ('ADMIN',    'CN070'), ('ADMIN',    'SI010'),
    ('ADMIN',    'SI020'),
    ('OPERADOR', 'CN000'), ('OPERADOR', 'CN020'), ('OPERADOR', 'CN030'),
    ('OPERADOR', 'CN050'), ('OPERADOR', 'CN060'),
    ('CONSULTA', 'CN000'), ('CONSULTA', 'CN050'), ('CONSULTA', 'CN060');

INSERT INTO Control_Acceso (Maquina, Usuario, Formulario, Tarea, Ingreso, NombreUsuario) VALUES
    ('CONTAB-01', 'MBENITEZ', '', 'TÍTULOS COPIADORES', '11/03/24 16:02', 'OPERADOR'),
    ('CONTAB-01', 'MBENITEZ', '', 'REGISTRACIÓN DE ASIENTOS', '11/03/24 16:20', 'OPERADOR'),
    ('GERENCIA',  'JSOSA',    '', 'LIBRO DIARIO', '12/03/24 09:41', 'CONSULTA'),
    ('SERVIDOR',  'ADMINISTRADOR', '', 'TÍTULOS COPIADORES', '20/05/24 12:10', 'ADMIN');

-- ---------------------------------------------------------------------------
-- Journal entries (a few, for the restricted synonym)
-- ---------------------------------------------------------------------------
INSERT INTO MV_ASIENTOS (NroAsiento, Renglon, Fecha, Cuenta, Comprobante, NroCpte, Concepto, Debe, Haber, Confidencial) VALUES
    (1, 1, '2024-01-02 00:00:00', '11010101001', 'AP', '0000-00000001', 'Asiento de apertura',        1250000.00,       0, 0),
    (1, 2, '2024-01-02 00:00:00', '11010201001', 'AP', '0000-00000001', 'Asiento de apertura',        8430500.00,       0, 0),
    (1, 3, '2024-01-02 00:00:00', '31010101001', 'AP', '0000-00000001', 'Asiento de apertura',                 0, 9680500.00, 0),
    (2, 1, '2024-01-05 00:00:00', '11030101001', 'FC', '0003-00010452', 'Factura A 0003-00010452',     605000.00,       0, 0),
    (2, 2, '2024-01-05 00:00:00', '41010101001', 'FC', '0003-00010452', 'Factura A 0003-00010452',             0, 500000.00, 0),
    (2, 3, '2024-01-05 00:00:00', '21040101001', 'FC', '0003-00010452', 'Factura A 0003-00010452',             0, 105000.00, 0),
    (3, 1, '2024-01-10 00:00:00', '11010201001', 'RC', '0001-00008840', 'Cobranza Supermercado La Ribera', 605000.00,   0, 0),
    (3, 2, '2024-01-10 00:00:00', '11030101001', 'RC', '0001-00008840', 'Cobranza Supermercado La Ribera',     0, 605000.00, 0),
    (4, 1, '2024-01-31 00:00:00', '53010103003', 'AS', '0000-00002315', 'Honorarios de directores enero',  950000.00,   0, 1),
    (4, 2, '2024-01-31 00:00:00', '21050104001', 'AS', '0000-00002315', 'Honorarios de directores enero',      0, 950000.00, 1);

-- ---------------------------------------------------------------------------
-- Depots, cash boxes and salesmen
-- ---------------------------------------------------------------------------
INSERT INTO TA_DEPOSITO (IDDEPOSITO, DESCRIPCION, UnidadNegocio, Domicilio, Restringido) VALUES
    ('1', 'Depósito Central Santa Fe', '1', 'Ruta Nacional 11 km 468, Santa Fe', 0),
    ('2', 'Depósito Rosario',          '2', 'Av. Circunvalación 2500, Rosario',  0),
    ('3', 'Depósito de Devoluciones',  '1', 'Ruta Nacional 11 km 468, Santa Fe', 1);

INSERT INTO TA_CAJAS (IDCajas, DESCRIPCION, Cuenta, Moneda, Restringida) VALUES
    ('1', 'Caja Central',            '11010101001', 'ARS', 0),
    ('2', 'Caja Sucursal Rosario',   '11010101002', 'ARS', 0),
    ('3', 'Fondo Fijo Administración','11010101003', 'ARS', 0),
    ('4', 'Caja Dólares',            '11010102001', 'USD', 1);

INSERT INTO TA_VENDEDORES (IDVENDEDOR, NOMBRE, Comision, Zona, Activo) VALUES
    ('1', 'Gómez, Carlos Alberto',  3.00, 'Santa Fe capital',  1),
    ('2', 'Fernández, Lucía',       3.50, 'Rosario y Gran Rosario', 1),
    ('3', 'Pereyra, Martín',        2.50, 'Centro-norte santafesino', 1),
    ('4', 'Acosta, Raúl',           2.00, 'Entre Ríos', 0);

-- ---------------------------------------------------------------------------
-- Article families and articles
-- ---------------------------------------------------------------------------
INSERT INTO TA_FAMILIAS (IdFamilia, Descripcion, IdPadre, Restringida) VALUES
    ('1',     'ALMACÉN',                NULL,  0),
    ('101',   'BEBIDAS',                '1',   0),
    ('10101', 'Gaseosas',               '101', 0),
    ('10102', 'Aguas y sodas',          '101', 0),
    ('10103', 'Vinos',                  '101', 0),
    ('102',   'COMESTIBLES SECOS',      '1',   0),
    ('10201', 'Yerbas e infusiones',    '102', 0),
    ('10202', 'Harinas y fideos',       '102', 0),
    ('10203', 'Aceites y aderezos',     '102', 0),
    ('2',     'LIMPIEZA E HIGIENE',     NULL,  0),
    ('201',   'Limpieza del hogar',     '2',   0),
    ('202',   'Higiene personal',       '2',   0),
    ('3',     'BAZAR',                  NULL,  0),
    ('9',     'ARTÍCULOS DE USO INTERNO', NULL, 1);

INSERT INTO VT_MA_ARTICULOS (IDARTICULO, DESCRIPCION, IdFamilia, Unidad, PRECIO1, PRECIO2, STOCK, PUNTOPEDIDO, SUSPENDIDO) VALUES
    ('10101001', 'Gaseosa cola 2,25 L',                 '10101', 'UN', 1450.00, 1790.00, 1240, 300, 0),
    ('10101002', 'Gaseosa lima-limón 2,25 L',           '10101', 'UN', 1380.00, 1700.00,  180, 250, 0),
    ('10101003', 'Gaseosa naranja 2,25 L',              '10101', 'UN', 1380.00, 1700.00,  640, 250, 0),
    ('10101004', 'Gaseosa cola sin azúcar 1,5 L',       '10101', 'UN', 1190.00, 1470.00,    0, 200, 0),
    ('10101005', 'Agua tónica 1,5 L',                   '10101', 'UN', 1210.00, 1490.00,  320,   0, 0),
    ('10102001', 'Agua mineral sin gas 1,5 L',          '10102', 'UN',  690.00,  850.00, 2100, 500, 0),
    ('10102002', 'Agua mineral con gas 1,5 L',          '10102', 'UN',  690.00,  850.00,  450, 500, 0),
    ('10102003', 'Soda en sifón 2 L',                   '10102', 'UN',  540.00,  680.00,  260,   0, 0),
    ('10103001', 'Vino tinto Malbec 750 ml',            '10103', 'UN', 2890.00, 3590.00,  720, 120, 0),
    ('10103002', 'Vino blanco Torrontés 750 ml',        '10103', 'UN', 2650.00, 3290.00,   85, 120, 0),
    ('10103003', 'Vino tinto de mesa 1 L (tetra)',      '10103', 'UN',  990.00, 1230.00, 1500, 400, 0),
    ('10103004', 'Vino espumante extra brut 750 ml',    '10103', 'UN', 4350.00, 5390.00,   60,  24, 0),
    ('10201001', 'Yerba mate con palo 1 kg',            '10201', 'KG', 3150.00, 3890.00, 2300, 600, 0),
    ('10201002', 'Yerba mate suave 500 g',              '10201', 'UN', 1690.00, 2090.00,  410, 300, 0),
    ('10201003', 'Té en saquitos x 50',                 '10201', 'UN',  890.00, 1100.00,  150, 200, 0),
    ('10201004', 'Café molido 250 g',                   '10201', 'UN', 2480.00, 3070.00,    0,  80, 0),
    ('10202001', 'Harina de trigo 000 1 kg',            '10202', 'KG',  720.00,  890.00, 3100, 800, 0),
    ('10202002', 'Fideos tallarines 500 g',             '10202', 'UN',  640.00,  790.00, 1800, 500, 0),
    ('10202003', 'Fideos mostachol 500 g',              '10202', 'UN',  640.00,  790.00,  390, 500, 0),
    ('10203001', 'Aceite de girasol 1,5 L',             '10203', 'UN', 2190.00, 2710.00,  960, 300, 0),
    ('10203002', 'Aceite de oliva extra virgen 500 ml', '10203', 'UN', 5850.00, 7250.00,   45,   0, 0),
    ('10203003', 'Mayonesa doypack 500 g',              '10203', 'UN', 1350.00, 1670.00,  520, 150, 0),
    ('20101001', 'Lavandina 2 L',                       '201',   'UN',  780.00,  960.00, 1350, 300, 0),
    ('20101002', 'Detergente concentrado 750 ml',       '201',   'UN', 1150.00, 1420.00,  240, 250, 0),
    ('20101003', 'Jabón en polvo 3 kg',                 '201',   'UN', 6200.00, 7680.00,  310, 100, 0),
    ('20101004', 'Limpiador líquido pisos 900 ml',      '201',   'UN',  930.00, 1150.00,    0,   0, 1),
    ('20201001', 'Jabón de tocador x 3',                '202',   'UN', 1290.00, 1600.00,  680, 200, 0),
    ('20201002', 'Shampoo 400 ml',                      '202',   'UN', 2350.00, 2910.00,  190, 120, 0),
    ('20201003', 'Papel higiénico x 4 rollos 30 m',     '202',   'UN', 1480.00, 1830.00, 1150, 400, 0),
    ('30001001', 'Vaso de vidrio 300 ml x 6',           '3',     'UN', 3900.00, 4830.00,   35,  20, 0),
    ('30001002', 'Termo acero inoxidable 1 L',          '3',     'UN',18900.00,23400.00,   12,   5, 0),
    ('30001003', 'Mate de calabaza con bombilla',       '3',     'UN', 4200.00, 5200.00,    0,   0, 1);

-- ---------------------------------------------------------------------------
-- Customers and suppliers
-- ---------------------------------------------------------------------------
INSERT INTO VT_CLIENTES (CODIGO, RAZON_SOCIAL, CUIT, CondicionIVA, Localidad, Dada_De_Baja) VALUES
    ('C0001', 'Supermercado La Ribera S.R.L.',      '30-70845123-9', 'Responsable Inscripto', 'Santa Fe',        0),
    ('C0002', 'Autoservicio Don Pedro',             '20-17456321-5', 'Responsable Inscripto', 'Santo Tomé',      0),
    ('C0003', 'Almacén El Ceibo',                   '27-28123987-4', 'Monotributo',           'Esperanza',       0),
    ('C0004', 'Distribuidora Paraná Norte S.A.',    '30-71002458-1', 'Responsable Inscripto', 'Paraná',          0),
    ('C0005', 'Mayorista San Justo S.R.L.',         '30-69874512-3', 'Responsable Inscripto', 'San Justo',       0),
    ('C0006', 'Kiosco La Esquina',                  '23-31456789-9', 'Monotributo',           'Santa Fe',        1),
    ('C0007', 'Cooperativa Agrícola Humboldt Ltda.','30-50012345-6', 'Responsable Inscripto', 'Humboldt',        0),
    ('C0008', 'Hotel Los Constituyentes S.A.',      '30-68745123-0', 'Responsable Inscripto', 'Santa Fe',        0),
    ('C0009', 'Comedor Escolar Nº 1234',            '30-99912345-7', 'Exento',                'Rafaela',         0),
    ('C0010', 'Minimercado Rosarino',               '20-25987654-3', 'Responsable Inscripto', 'Rosario',         1);

INSERT INTO VT_PROVEEDORES (CODIGO, RAZON_SOCIAL, CUIT, CondicionIVA, Localidad, Dada_De_Baja) VALUES
    ('P0001', 'Embotelladora del Centro S.A.',      '30-50123456-2', 'Responsable Inscripto', 'Córdoba',              0),
    ('P0002', 'Establecimiento Yerbatero Misiones S.A.', '30-54789123-8', 'Responsable Inscripto', 'Posadas',      0),
    ('P0003', 'Bodegas del Oeste S.A.',             '30-52369874-1', 'Responsable Inscripto', 'Maipú, Mendoza',       0),
    ('P0004', 'Molino Harinero San José S.A.',      '30-51478523-6', 'Responsable Inscripto', 'San José de la Esquina', 0),
    ('P0005', 'Química Industrial Litoral S.R.L.',  '30-70123654-4', 'Responsable Inscripto', 'Santo Tomé',           0),
    ('P0006', 'Transportes Rápido Santafesino',     '20-14789632-1', 'Responsable Inscripto', 'Santa Fe',             0),
    ('P0007', 'Importadora Bazar Oriente S.A.',     '30-71456987-2', 'Responsable Inscripto', 'Ciudad de Buenos Aires', 1);

RELEASE demo;

-- ---------------------------------------------------------------------------
-- Cost centres and positions
-- ---------------------------------------------------------------------------
INSERT INTO TA_CCOSTO (CODIGO, DESCRIPCION) VALUES
    ('1',     'ADMINISTRACIÓN'),
    ('101',   'Contaduría'),
    ('102',   'Tesorería'),
    ('2',     'COMERCIAL'),
    ('201',   'Ventas mostrador'),
    ('202',   'Ventas mayoristas'),
    ('20201', 'Zona Litoral'),
    ('20202', 'Zona Centro'),
    ('3',     'LOGÍSTICA'),
    ('301',   'Depósito Santa Fe'),
    ('302',   'Reparto');

INSERT INTO MA_POSICIONES (IDPOSICION, DESCRIPCION) VALUES
    ('1',     'DIRECCIÓN'),
    ('101',   'Gerencia general'),
    ('10101', 'Asistente de gerencia'),
    ('2',     'ADMINISTRACIÓN'),
    ('201',   'Jefe administrativo'),
    ('20101', 'Auxiliar contable'),
    ('20102', 'Cajero'),
    ('3',     'VENTAS'),
    ('301',   'Vendedor'),
    ('302',   'Repositor');
