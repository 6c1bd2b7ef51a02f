-- Directory database "sqldb" of jxc on the embedded engine: the list of
-- companies the login dialog offers. Same table, columns and index as the
-- SQL Server script; the checks refuse what the server would refuse, and the
-- names compare without regard to letter case, as under the server's
-- case-insensitive collation.
--
-- This file runs on a plain SQLite connection, one statement at a time: a
-- statement ends with ";" at the end of a line.

-- No key of its own: the login dialog shows the companies in the order they
-- were listed, and the first one is selected at start.
CREATE TABLE erpdb (
    name TEXT COLLATE Chinese_PRC_CI_AS NOT NULL CHECK (length(name) <= 100),
    db_name TEXT COLLATE Chinese_PRC_CI_AS NOT NULL CHECK (length(db_name) <= 128)
);

CREATE UNIQUE INDEX ix_erpdb_db_name ON erpdb (db_name);
