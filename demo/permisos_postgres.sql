-- The rights a login of the suite needs on its database (PostgreSQL):
--   psql -v rol=OPERADOR -d contable -f demo/permisos_postgres.sql
-- Run as the owner of the tables, after demo/schema_postgres.sql. The tables
-- created later need the same grants (or ALTER DEFAULT PRIVILEGES).
GRANT CONNECT ON DATABASE :"DBNAME" TO :"rol";
GRANT USAGE ON SCHEMA public TO :"rol";
GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO :"rol";
-- The serial keys (Control_Acceso, MV_ASIENTOS, ...) take their numbers from sequences.
GRANT USAGE, SELECT ON ALL SEQUENCES IN SCHEMA public TO :"rol";
