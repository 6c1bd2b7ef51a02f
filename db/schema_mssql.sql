-- Company database of jxc on Microsoft SQL Server.
--
-- Run once on an existing, empty database, e.g.
--     sqlcmd -S server -U sa -d jxc_demo -f 65001 -i schema_mssql.sql -b
-- (the file is UTF-8; -f 65001 makes sqlcmd read it so). The program itself
-- runs the same batches through ODBC when it sets up a company.
--
-- The client's statements write Chinese text as plain '...' literals, without
-- the N prefix, so SQL Server converts them through the code page of the
-- database collation before they reach the nvarchar columns. Under a Western
-- collation every Chinese character would be stored as '?', and under a
-- UTF-8 Latin collation names would no longer sort by pinyin. The first batch
-- therefore refuses any database whose collation is not a Chinese one with
-- code page 936 or UTF-8; create it with e.g.
-- "create database jxc_demo collate Chinese_PRC_CI_AS".
-- The refusal also switches the session to "set noexec on", so that a tool
-- that goes on after an error (SSMS, sqlcmd without -b) creates nothing; such
-- a session needs "set noexec off" or a new connection afterwards.
--
-- Text widths: names 100, user names and short category texts 50, party texts
-- ("code-name") 200, remarks and summaries 1000 characters. The embedded
-- engine's script checks the same limits, so a text too long for the server
-- is refused on both.

if convert(nvarchar(128), databasepropertyex(db_name(), 'Collation')) not like 'Chinese[_]%'
    or collationproperty(convert(nvarchar(128), databasepropertyex(db_name(), 'Collation')), 'CodePage') not in (936, 65001)
begin
    raiserror('The database collation must be a Chinese one that stores Simplified Chinese (code page 936 or UTF-8), e.g. Chinese_PRC_CI_AS; nothing of this script is run.', 16, 1)
    set noexec on
end
GO

-- Users, rights and the operation log ----------------------------------------

-- The login and the permission editor address users by name only.
create table login (
    name nvarchar(50) not null primary key,
    password nvarchar(50) not null default ''
)
GO

create table [user] (
    name nvarchar(50) not null primary key,
    power nvarchar(1000) not null default ''
)
GO

-- A heap on purpose: the permission editor lists "select name from power"
-- without an order, and a clustered key on the name would sort the rights
-- instead of keeping the order they are seeded in.
create table power (
    name nvarchar(50) not null
)
GO

create table operator (
    id int identity(1,1) primary key,
    ip nvarchar(50),
    date datetime,
    user_name nvarchar(50),
    operator nvarchar(50)
)
GO

create index ix_operator_date on operator (date)
GO

-- Category lists -------------------------------------------------------------

-- The names are unique by the forms' duplicate checks, not by an index: the
-- lists are read without an order and are meant to come in id order, which a
-- covering index on the name would replace by name order.
create table category (
    id int identity(1,1) primary key,
    name nvarchar(50)
)
GO

create table category_supplier (
    id int identity(1,1) primary key,
    name nvarchar(50)
)
GO

create table category_customer (
    id int identity(1,1) primary key,
    name nvarchar(50)
)
GO

create table inout_category (
    id int identity(1,1) primary key,
    name nvarchar(50)
)
GO

-- Master data ----------------------------------------------------------------

-- The customer form writes only the code, the names and the area. A new
-- customer therefore starts without category, salesmen or accountant, with
-- no commission, not invoiced, on the usual 30-day collection period, and in
-- active cooperation: the tracking reports count a partner only when
-- cooperate is 1, and a customer just entered is one we do business with.
create table customer (
    id int identity(1,1) primary key,
    customer_id int not null,
    customer_name nvarchar(100),
    short_name nvarchar(100),
    area nvarchar(50),
    category nvarchar(50) default '',
    salesman nvarchar(50) default '',
    salesman1 nvarchar(50) default '',
    salesman2 nvarchar(50) default '',
    commision1 decimal(18,3) default 0,
    commision2 decimal(18,3) default 0,
    invoice int default 0,
    cycle int default 30,
    accoutant nvarchar(50) default '',
    cooperate int default 1
)
GO

create unique index ix_customer_customer_id on customer (customer_id)
GO

-- Same reasoning as for customers: a new supplier is active, pays on 30 days.
create table supplier (
    id int identity(1,1) primary key,
    supplier_id int not null,
    supplier_name nvarchar(100),
    short_name nvarchar(100),
    category nvarchar(50) default '',
    cycle int default 30,
    accoutant nvarchar(50) default '',
    cooperate int default 1
)
GO

create unique index ix_supplier_supplier_id on supplier (supplier_id)
GO

create table employee (
    id int identity(1,1) primary key,
    employee_id nvarchar(50),
    employee_name nvarchar(50)
)
GO

create table food_info (
    id int identity(1,1) primary key,
    food_id int not null,
    food_name nvarchar(100),
    unit nvarchar(50),
    customer_price decimal(18,2),
    purchar_price decimal(18,2),
    category nvarchar(50)
)
GO

create unique index ix_food_info_food_id on food_info (food_id)
GO
create index ix_food_info_category_food_id_food_name_unit_customer_price_purchar_price on food_info (category, food_id) include (food_name, unit, customer_price, purchar_price)
GO
create index ix_food_info_unit on food_info (unit)
GO

-- Stock documents ------------------------------------------------------------
-- Stock and cost are derived from these lines by date and goods, in both
-- directions: per day across goods (statistics, cost price of a day) and per
-- goods across days. (date, food_id) also serves the plain date ranges.

create table purchar (
    id int identity(1,1) primary key,
    purchar_no nvarchar(50),
    date date,
    supplier_id int,
    food_id int,
    quantity decimal(18,2),
    price decimal(18,2),
    remarks nvarchar(1000),
    input nvarchar(50)
)
GO

create index ix_purchar_purchar_no on purchar (purchar_no)
GO
create index ix_purchar_date_food_id on purchar (date, food_id)
GO
create index ix_purchar_food_id_date_quantity_price on purchar (food_id, date) include (quantity, price)
GO
-- Order numbering counts a supplier's orders of a day; deleting a supplier
-- asks whether any order names it.
create index ix_purchar_supplier_id_date on purchar (supplier_id, date)
GO

create table sell (
    id int identity(1,1) primary key,
    sell_no nvarchar(50),
    date date,
    customer_id int,
    food_id int,
    quantity decimal(18,2),
    price decimal(18,2),
    remarks nvarchar(1000),
    input nvarchar(50)
)
GO

create index ix_sell_sell_no on sell (sell_no)
GO
create index ix_sell_date_food_id on sell (date, food_id)
GO
create index ix_sell_food_id_date_quantity on sell (food_id, date) include (quantity)
GO
create index ix_sell_customer_id_date on sell (customer_id, date)
GO

create table inventory (
    id int identity(1,1) primary key,
    date date,
    food_id int,
    quantity decimal(18,2),
    remarks nvarchar(1000),
    input nvarchar(50)
)
GO

create index ix_inventory_date_food_id on inventory (date, food_id)
GO
create index ix_inventory_food_id_date_quantity on inventory (food_id, date) include (quantity)
GO

-- Finance --------------------------------------------------------------------
-- The registers edit invoice, receivable and payment through a table model
-- that addresses columns by position: the column order below is part of the
-- program, id comes last. The entering user of an invoice is "input", as on
-- the stock documents; late-payment interest is "interest".

create table invoice (
    date date,
    invoice_no nvarchar(50),
    money decimal(18,2),
    company nvarchar(200),
    jin_xiao nvarchar(10),
    input nvarchar(50),
    checker nvarchar(50) default '',
    id int identity(1,1) primary key
)
GO

create index ix_invoice_company on invoice (company)
GO
-- An audited day of one kind is closed for new invoices.
create index ix_invoice_date_jin_xiao on invoice (date, jin_xiao)
GO

-- New rows come from statements that name only the period, the company, the
-- amount and the kind: unbound (0), no discount or interest, commission not
-- settled (2001-01-01 stands for no date) and not audited ('').
create table receivable (
    date_begin date,
    date_end date,
    company nvarchar(200),
    money decimal(18,2),
    discount decimal(18,2) default 0,
    invoice_id int default 0,
    info_id int default 0,
    interest decimal(18,2) default 0,
    remarks nvarchar(1000),
    date_commision date default '2001-01-01',
    inout_category nvarchar(50),
    operator nvarchar(50),
    checker nvarchar(50) default '',
    id int identity(1,1) primary key
)
GO

create index ix_receivable_company on receivable (company)
GO
create index ix_receivable_date_end on receivable (date_end)
GO

create table payment (
    date_begin date,
    date_end date,
    company nvarchar(200),
    money decimal(18,2),
    invoice_id int default 0,
    info_id int default 0,
    interest decimal(18,2) default 0,
    remarks nvarchar(1000),
    inout_category nvarchar(50),
    operator nvarchar(50),
    checker nvarchar(50) default '',
    id int identity(1,1) primary key
)
GO

create index ix_payment_company on payment (company)
GO
create index ix_payment_date_end on payment (date_end)
GO
-- An invoice is bound to one row only: a save asks which rows hold the
-- invoices it binds (the cash entries have their index below).
create index ix_receivable_invoice_id on receivable (invoice_id)
GO
create index ix_payment_invoice_id on payment (invoice_id)
GO

-- The pick lists build "id-summary-income" by string concatenation, which a
-- NULL amount would turn into NULL: a receipt has pay 0 and a payment income 0.
create table info (
    id int identity(1,1) primary key,
    date date,
    company nvarchar(200),
    summary nvarchar(1000),
    income decimal(18,2) default 0,
    pay decimal(18,2) default 0,
    category nvarchar(50)
)
GO

create index ix_info_company on info (company)
GO
create index ix_info_date on info (date)
GO
-- The cash journal refuses to change or delete an entry that a receivable or
-- payable is bound to, and asks for it on every such save.
create index ix_receivable_info_id on receivable (info_id)
GO
create index ix_payment_info_id on payment (info_id)
GO

-- Seed rows ------------------------------------------------------------------

-- The rights the program tests, in the order the permission editor lists them.
insert into power (name) values (N'权限编辑')
insert into power (name) values (N'资产类别编辑')
insert into power (name) values (N'员工编辑')
insert into power (name) values (N'供应商类别编辑')
insert into power (name) values (N'客户类别编辑')
insert into power (name) values (N'发票审核')
insert into power (name) values (N'发票录入')
insert into power (name) values (N'应付审核')
insert into power (name) values (N'应付录入')
insert into power (name) values (N'应收审核')
insert into power (name) values (N'应收录入')
insert into power (name) values (N'应收导入')
insert into power (name) values (N'资金录入')
GO

-- The account forms pick their kind by position: trade, tender deposits,
-- performance bonds, current accounts.
insert into inout_category (name) values (N'货款')
insert into inout_category (name) values (N'投标保证金')
insert into inout_category (name) values (N'履约保证金')
insert into inout_category (name) values (N'公司往来')
GO

-- Tracking reports --------------------------------------------------------------
-- The tracking reports gather, per partner, its open periods of one kind up
-- to a day, and per customer its last receipt, found from the end of its
-- dates: the periods and the cash entries are read from these indexes alone,
-- without a visit to each row.
create index ix_receivable_company_inout_category_date_end_money_info_id_date_begin on receivable (company, inout_category, date_end) include (money, info_id, date_begin)
GO
create index ix_payment_company_inout_category_date_end_money_info_id on payment (company, inout_category, date_end) include (money, info_id)
GO
create index ix_info_company_date_income on info (company, date) include (income)
GO
