-- Directory database "sqldb" of jxc on Microsoft SQL Server: the list of
-- companies the login dialog offers.
--
-- Run once on an existing, empty database named sqldb, e.g.
--     sqlcmd -S server -U sa -d sqldb -f 65001 -i directory_mssql.sql -b
-- Company names are Chinese and are written without the N prefix, so the
-- database needs a Chinese collation, as the company databases do; the first
-- batch refuses any other and stops the rest of the script ("set noexec on").

if convert(nvarchar(128), databasepropertyex(db_name(), 'Collation')) not like 'Chinese[_]%'
    or collationproperty(convert(nvarchar(128), databasepropertyex(db_name(), 'Collation')), 'CodePage') not in (936, 65001)
begin
    raiserror('The database collation must be a Chinese one that stores Simplified Chinese (code page 936 or UTF-8), e.g. Chinese_PRC_CI_AS; nothing of this script is run.', 16, 1)
    set noexec on
end
GO

-- A heap: the login dialog shows the companies in the order they were listed
-- ("select name,db_name from erpdb" has no order), and the first one is the
-- one selected at start. One database serves one company.
create table erpdb (
    name nvarchar(100) not null,
    db_name nvarchar(128) not null
)
GO

create unique index ix_erpdb_db_name on erpdb (db_name)
GO
