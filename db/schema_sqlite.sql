-- Company database of jxc on the embedded engine (SQLite).
--
-- The same tables, columns (in the same order), defaults, indexes and seed
-- rows as schema_mssql.sql. This file runs on a plain SQLite connection, not
-- through the SQL Server translation, one statement at a time: a statement
-- ends with ";" at the end of a line.
--
-- Types. The forms write amounts as quoted text ('5.00'). Decimal columns are
-- REAL so that such text is stored as a number that divides as one: with
-- NUMERIC affinity '5.00' would become the integer 5 and an average price
-- would be cut to a whole number. Integer codes and flags are INTEGER, dates
-- TEXT in the form yyyy-MM-dd (yyyy-MM-dd hh:mm:ss for the log), which
-- compare correctly as text.
--
-- Checks. SQLite keeps any value in any column; SQL Server refuses a write
-- that does not fit. The checks make the embedded engine refuse the same
-- writes, so that a form that works here also works on the server:
-- - a decimal or integer column holds a number (SQLite would keep 'abc');
-- - a date column holds a real date in its canonical form, since dates are
--   compared as text and a '2024-1-5' would silently fall out of every range;
-- - a text column holds no more characters than its nvarchar width there.
-- A list of three types ("IN ('real', 'integer', 'null')") would make SQLite
-- build a small table for the list on every row written; two and IS NULL
-- say the same without it.
--
-- Text columns compare as under the server's Chinese_PRC_CI_AS collation
-- (registered by the embedded driver under that name): letter case and
-- trailing blanks do not count, Chinese sorts by pinyin. A user "Manager" is
-- the user "manager", and a unique name refuses both. Dates keep the plain
-- binary order, which is their calendar order. Decimal values are
-- rounded to their places when stored, see the triggers further down.

-- Users, rights and the operation log ----------------------------------------

-- The login and the permission editor address users by name only.
CREATE TABLE login (
    name TEXT COLLATE Chinese_PRC_CI_AS NOT NULL PRIMARY KEY CHECK (length(name) <= 50),
    password TEXT COLLATE Chinese_PRC_CI_AS NOT NULL DEFAULT '' CHECK (length(password) <= 50)
);

CREATE TABLE [user] (
    name TEXT COLLATE Chinese_PRC_CI_AS NOT NULL PRIMARY KEY CHECK (length(name) <= 50),
    power TEXT COLLATE Chinese_PRC_CI_AS NOT NULL DEFAULT '' CHECK (length(power) <= 1000)
);

-- Without any index on purpose: the permission editor lists
-- "select name from power" without an order, and an index on the name would
-- sort the rights instead of keeping the order they are seeded in.
CREATE TABLE power (
    name TEXT COLLATE Chinese_PRC_CI_AS NOT NULL CHECK (length(name) <= 50)
);

CREATE TABLE operator (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    ip TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(ip) <= 50),
    date TEXT CHECK (date IS datetime(date, '+0 days')),
    user_name TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(user_name) <= 50),
    operator TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(operator) <= 50)
);

CREATE INDEX ix_operator_date ON operator (date);

-- Category lists -------------------------------------------------------------

-- The names are unique by the forms' duplicate checks, not by an index: the
-- lists are read without an order and are meant to come in id order, which a
-- covering index on the name would replace by name order.
CREATE TABLE category (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    name TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(name) <= 50)
);

CREATE TABLE category_supplier (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    name TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(name) <= 50)
);

CREATE TABLE category_customer (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    name TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(name) <= 50)
);

CREATE TABLE inout_category (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    name TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(name) <= 50)
);

-- Master data ----------------------------------------------------------------

-- The customer form writes only the code, the names and the area. A new
-- customer therefore starts without category, salesmen or accountant, with
-- no commission, not invoiced, on the usual 30-day collection period, and in
-- active cooperation: the tracking reports count a partner only when
-- cooperate is 1, and a customer just entered is one we do business with.
CREATE TABLE customer (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    customer_id INTEGER NOT NULL CHECK (typeof(customer_id) = 'integer'),
    customer_name TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(customer_name) <= 100),
    short_name TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(short_name) <= 100),
    area TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(area) <= 50),
    category TEXT COLLATE Chinese_PRC_CI_AS DEFAULT '' CHECK (length(category) <= 50),
    salesman TEXT COLLATE Chinese_PRC_CI_AS DEFAULT '' CHECK (length(salesman) <= 50),
    salesman1 TEXT COLLATE Chinese_PRC_CI_AS DEFAULT '' CHECK (length(salesman1) <= 50),
    salesman2 TEXT COLLATE Chinese_PRC_CI_AS DEFAULT '' CHECK (length(salesman2) <= 50),
    commision1 REAL DEFAULT 0 CHECK (typeof(commision1) IN ('real', 'integer') OR commision1 IS NULL),
    commision2 REAL DEFAULT 0 CHECK (typeof(commision2) IN ('real', 'integer') OR commision2 IS NULL),
    invoice INTEGER DEFAULT 0 CHECK (typeof(invoice) IN ('integer', 'null')),
    cycle INTEGER DEFAULT 30 CHECK (typeof(cycle) IN ('integer', 'null')),
    accoutant TEXT COLLATE Chinese_PRC_CI_AS DEFAULT '' CHECK (length(accoutant) <= 50),
    cooperate INTEGER DEFAULT 1 CHECK (typeof(cooperate) IN ('integer', 'null'))
);

CREATE UNIQUE INDEX ix_customer_customer_id ON customer (customer_id);

-- Same reasoning as for customers: a new supplier is active, pays on 30 days.
CREATE TABLE supplier (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    supplier_id INTEGER NOT NULL CHECK (typeof(supplier_id) = 'integer'),
    supplier_name TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(supplier_name) <= 100),
    short_name TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(short_name) <= 100),
    category TEXT COLLATE Chinese_PRC_CI_AS DEFAULT '' CHECK (length(category) <= 50),
    cycle INTEGER DEFAULT 30 CHECK (typeof(cycle) IN ('integer', 'null')),
    accoutant TEXT COLLATE Chinese_PRC_CI_AS DEFAULT '' CHECK (length(accoutant) <= 50),
    cooperate INTEGER DEFAULT 1 CHECK (typeof(cooperate) IN ('integer', 'null'))
);

CREATE UNIQUE INDEX ix_supplier_supplier_id ON supplier (supplier_id);

CREATE TABLE employee (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    employee_id TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(employee_id) <= 50),
    employee_name TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(employee_name) <= 50)
);

CREATE TABLE food_info (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    food_id INTEGER NOT NULL CHECK (typeof(food_id) = 'integer'),
    food_name TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(food_name) <= 100),
    unit TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(unit) <= 50),
    customer_price REAL CHECK (typeof(customer_price) IN ('real', 'integer') OR customer_price IS NULL),
    purchar_price REAL CHECK (typeof(purchar_price) IN ('real', 'integer') OR purchar_price IS NULL),
    category TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(category) <= 50)
);

CREATE UNIQUE INDEX ix_food_info_food_id ON food_info (food_id);
-- The goods list is read in category order, and its unit and category boxes
-- list the distinct units and categories: walked from these indexes, a list
-- of a hundred thousand goods needs no sort under the Chinese collation, and
-- the list and its searches read every column from the first one without a
-- visit to the table. (A save that rewrites every goods row pays a tenth
-- more for keeping them.)
CREATE INDEX ix_food_info_category_food_id_food_name_unit_customer_price_purchar_price ON food_info (category, food_id, food_name, unit, customer_price, purchar_price);
CREATE INDEX ix_food_info_unit ON food_info (unit);

-- Stock documents ------------------------------------------------------------
-- Stock and cost are derived from these lines by date and goods, in both
-- directions: per day across goods (statistics, cost price of a day) and per
-- goods across days. (date, food_id) also serves the plain date ranges.

CREATE TABLE purchar (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    purchar_no TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(purchar_no) <= 50),
    date TEXT CHECK (date IS date(date, '+0 days')),
    supplier_id INTEGER CHECK (typeof(supplier_id) IN ('integer', 'null')),
    food_id INTEGER CHECK (typeof(food_id) IN ('integer', 'null')),
    quantity REAL CHECK (typeof(quantity) IN ('real', 'integer') OR quantity IS NULL),
    price REAL CHECK (typeof(price) IN ('real', 'integer') OR price IS NULL),
    remarks TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(remarks) <= 1000),
    input TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(input) <= 50)
);

CREATE INDEX ix_purchar_purchar_no ON purchar (purchar_no);
CREATE INDEX ix_purchar_date_food_id ON purchar (date, food_id);
CREATE INDEX ix_purchar_food_id_date_quantity_price ON purchar (food_id, date, quantity, price);
-- Order numbering counts a supplier's orders of a day; deleting a supplier
-- asks whether any order names it.
CREATE INDEX ix_purchar_supplier_id_date ON purchar (supplier_id, date);

CREATE TABLE sell (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    sell_no TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(sell_no) <= 50),
    date TEXT CHECK (date IS date(date, '+0 days')),
    customer_id INTEGER CHECK (typeof(customer_id) IN ('integer', 'null')),
    food_id INTEGER CHECK (typeof(food_id) IN ('integer', 'null')),
    quantity REAL CHECK (typeof(quantity) IN ('real', 'integer') OR quantity IS NULL),
    price REAL CHECK (typeof(price) IN ('real', 'integer') OR price IS NULL),
    remarks TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(remarks) <= 1000),
    input TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(input) <= 50)
);

CREATE INDEX ix_sell_sell_no ON sell (sell_no);
CREATE INDEX ix_sell_date_food_id ON sell (date, food_id);
CREATE INDEX ix_sell_food_id_date_quantity ON sell (food_id, date, quantity);
CREATE INDEX ix_sell_customer_id_date ON sell (customer_id, date);

CREATE TABLE inventory (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    date TEXT CHECK (date IS date(date, '+0 days')),
    food_id INTEGER CHECK (typeof(food_id) IN ('integer', 'null')),
    quantity REAL CHECK (typeof(quantity) IN ('real', 'integer') OR quantity IS NULL),
    remarks TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(remarks) <= 1000),
    input TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(input) <= 50)
);

CREATE INDEX ix_inventory_date_food_id ON inventory (date, food_id);
CREATE INDEX ix_inventory_food_id_date_quantity ON inventory (food_id, date, quantity);

-- Finance --------------------------------------------------------------------
-- The registers edit invoice, receivable and payment through a table model
-- that addresses columns by position: the column order below is part of the
-- program, id comes last. The entering user of an invoice is "input", as on
-- the stock documents; late-payment interest is "interest".

CREATE TABLE invoice (
    date TEXT CHECK (date IS date(date, '+0 days')),
    invoice_no TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(invoice_no) <= 50),
    money REAL CHECK (typeof(money) IN ('real', 'integer') OR money IS NULL),
    company TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(company) <= 200),
    jin_xiao TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(jin_xiao) <= 10),
    input TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(input) <= 50),
    checker TEXT COLLATE Chinese_PRC_CI_AS DEFAULT '' CHECK (length(checker) <= 50),
    id INTEGER PRIMARY KEY AUTOINCREMENT
);

CREATE INDEX ix_invoice_company ON invoice (company);
-- An audited day of one kind is closed for new invoices.
CREATE INDEX ix_invoice_date_jin_xiao ON invoice (date, jin_xiao);

-- New rows come from statements that name only the period, the company, the
-- amount and the kind: unbound (0), no discount or interest, commission not
-- settled (2001-01-01 stands for no date) and not audited ('').
CREATE TABLE receivable (
    date_begin TEXT CHECK (date_begin IS date(date_begin, '+0 days')),
    date_end TEXT CHECK (date_end IS date(date_end, '+0 days')),
    company TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(company) <= 200),
    money REAL CHECK (typeof(money) IN ('real', 'integer') OR money IS NULL),
    discount REAL DEFAULT 0 CHECK (typeof(discount) IN ('real', 'integer') OR discount IS NULL),
    invoice_id INTEGER DEFAULT 0 CHECK (typeof(invoice_id) IN ('integer', 'null')),
    info_id INTEGER DEFAULT 0 CHECK (typeof(info_id) IN ('integer', 'null')),
    interest REAL DEFAULT 0 CHECK (typeof(interest) IN ('real', 'integer') OR interest IS NULL),
    remarks TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(remarks) <= 1000),
    date_commision TEXT DEFAULT '2001-01-01' CHECK (date_commision IS date(date_commision, '+0 days')),
    inout_category TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(inout_category) <= 50),
    operator TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(operator) <= 50),
    checker TEXT COLLATE Chinese_PRC_CI_AS DEFAULT '' CHECK (length(checker) <= 50),
    id INTEGER PRIMARY KEY AUTOINCREMENT
);

CREATE INDEX ix_receivable_company ON receivable (company);
CREATE INDEX ix_receivable_date_end ON receivable (date_end);

CREATE TABLE payment (
    date_begin TEXT CHECK (date_begin IS date(date_begin, '+0 days')),
    date_end TEXT CHECK (date_end IS date(date_end, '+0 days')),
    company TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(company) <= 200),
    money REAL CHECK (typeof(money) IN ('real', 'integer') OR money IS NULL),
    invoice_id INTEGER DEFAULT 0 CHECK (typeof(invoice_id) IN ('integer', 'null')),
    info_id INTEGER DEFAULT 0 CHECK (typeof(info_id) IN ('integer', 'null')),
    interest REAL DEFAULT 0 CHECK (typeof(interest) IN ('real', 'integer') OR interest IS NULL),
    remarks TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(remarks) <= 1000),
    inout_category TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(inout_category) <= 50),
    operator TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(operator) <= 50),
    checker TEXT COLLATE Chinese_PRC_CI_AS DEFAULT '' CHECK (length(checker) <= 50),
    id INTEGER PRIMARY KEY AUTOINCREMENT
);

CREATE INDEX ix_payment_company ON payment (company);
CREATE INDEX ix_payment_date_end ON payment (date_end);
-- An invoice is bound to one row only: a save asks which rows hold the
-- invoices it binds (the cash entries have their index below).
CREATE INDEX ix_receivable_invoice_id ON receivable (invoice_id);
CREATE INDEX ix_payment_invoice_id ON payment (invoice_id);

-- The pick lists build "id-summary-income" by string concatenation, which a
-- NULL amount would turn into NULL: a receipt has pay 0 and a payment income 0.
CREATE TABLE info (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    date TEXT CHECK (date IS date(date, '+0 days')),
    company TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(company) <= 200),
    summary TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(summary) <= 1000),
    income REAL DEFAULT 0 CHECK (typeof(income) IN ('real', 'integer') OR income IS NULL),
    pay REAL DEFAULT 0 CHECK (typeof(pay) IN ('real', 'integer') OR pay IS NULL),
    category TEXT COLLATE Chinese_PRC_CI_AS CHECK (length(category) <= 50)
);

CREATE INDEX ix_info_company ON info (company);
CREATE INDEX ix_info_date ON info (date);
-- The cash journal refuses to change or delete an entry that a receivable or
-- payable is bound to, and asks for it on every such save.
CREATE INDEX ix_receivable_info_id ON receivable (info_id);
CREATE INDEX ix_payment_info_id ON payment (info_id);

-- Decimal places ---------------------------------------------------------------
-- A decimal(18,2) column on the server rounds what it is given ('3.456' is
-- stored as 3.46, half away from zero, as SQLite's round() does); REAL keeps
-- every digit. These triggers round a stored value to its column's places
-- (3 for the commission rates), so that sums and comparisons see the same
-- numbers on both engines.

CREATE TRIGGER tr_customer_round_insert AFTER INSERT ON customer
WHEN NEW.commision1 IS NOT round(NEW.commision1, 3) OR NEW.commision2 IS NOT round(NEW.commision2, 3)
BEGIN UPDATE customer SET commision1 = round(commision1, 3), commision2 = round(commision2, 3) WHERE id = NEW.id; END;
CREATE TRIGGER tr_customer_round_update AFTER UPDATE OF commision1, commision2 ON customer
WHEN NEW.commision1 IS NOT round(NEW.commision1, 3) OR NEW.commision2 IS NOT round(NEW.commision2, 3)
BEGIN UPDATE customer SET commision1 = round(commision1, 3), commision2 = round(commision2, 3) WHERE id = NEW.id; END;

CREATE TRIGGER tr_food_info_round_insert AFTER INSERT ON food_info
WHEN NEW.customer_price IS NOT round(NEW.customer_price, 2) OR NEW.purchar_price IS NOT round(NEW.purchar_price, 2)
BEGIN UPDATE food_info SET customer_price = round(customer_price, 2), purchar_price = round(purchar_price, 2) WHERE id = NEW.id; END;
CREATE TRIGGER tr_food_info_round_update AFTER UPDATE OF customer_price, purchar_price ON food_info
WHEN NEW.customer_price IS NOT round(NEW.customer_price, 2) OR NEW.purchar_price IS NOT round(NEW.purchar_price, 2)
BEGIN UPDATE food_info SET customer_price = round(customer_price, 2), purchar_price = round(purchar_price, 2) WHERE id = NEW.id; END;

CREATE TRIGGER tr_purchar_round_insert AFTER INSERT ON purchar
WHEN NEW.quantity IS NOT round(NEW.quantity, 2) OR NEW.price IS NOT round(NEW.price, 2)
BEGIN UPDATE purchar SET quantity = round(quantity, 2), price = round(price, 2) WHERE id = NEW.id; END;
CREATE TRIGGER tr_purchar_round_update AFTER UPDATE OF quantity, price ON purchar
WHEN NEW.quantity IS NOT round(NEW.quantity, 2) OR NEW.price IS NOT round(NEW.price, 2)
BEGIN UPDATE purchar SET quantity = round(quantity, 2), price = round(price, 2) WHERE id = NEW.id; END;

CREATE TRIGGER tr_sell_round_insert AFTER INSERT ON sell
WHEN NEW.quantity IS NOT round(NEW.quantity, 2) OR NEW.price IS NOT round(NEW.price, 2)
BEGIN UPDATE sell SET quantity = round(quantity, 2), price = round(price, 2) WHERE id = NEW.id; END;
CREATE TRIGGER tr_sell_round_update AFTER UPDATE OF quantity, price ON sell
WHEN NEW.quantity IS NOT round(NEW.quantity, 2) OR NEW.price IS NOT round(NEW.price, 2)
BEGIN UPDATE sell SET quantity = round(quantity, 2), price = round(price, 2) WHERE id = NEW.id; END;

CREATE TRIGGER tr_inventory_round_insert AFTER INSERT ON inventory
WHEN NEW.quantity IS NOT round(NEW.quantity, 2)
BEGIN UPDATE inventory SET quantity = round(quantity, 2) WHERE id = NEW.id; END;
CREATE TRIGGER tr_inventory_round_update AFTER UPDATE OF quantity ON inventory
WHEN NEW.quantity IS NOT round(NEW.quantity, 2)
BEGIN UPDATE inventory SET quantity = round(quantity, 2) WHERE id = NEW.id; END;

CREATE TRIGGER tr_invoice_round_insert AFTER INSERT ON invoice
WHEN NEW.money IS NOT round(NEW.money, 2)
BEGIN UPDATE invoice SET money = round(money, 2) WHERE id = NEW.id; END;
CREATE TRIGGER tr_invoice_round_update AFTER UPDATE OF money ON invoice
WHEN NEW.money IS NOT round(NEW.money, 2)
BEGIN UPDATE invoice SET money = round(money, 2) WHERE id = NEW.id; END;

CREATE TRIGGER tr_receivable_round_insert AFTER INSERT ON receivable
WHEN NEW.money IS NOT round(NEW.money, 2) OR NEW.discount IS NOT round(NEW.discount, 2) OR NEW.interest IS NOT round(NEW.interest, 2)
BEGIN UPDATE receivable SET money = round(money, 2), discount = round(discount, 2), interest = round(interest, 2) WHERE id = NEW.id; END;
CREATE TRIGGER tr_receivable_round_update AFTER UPDATE OF money, discount, interest ON receivable
WHEN NEW.money IS NOT round(NEW.money, 2) OR NEW.discount IS NOT round(NEW.discount, 2) OR NEW.interest IS NOT round(NEW.interest, 2)
BEGIN UPDATE receivable SET money = round(money, 2), discount = round(discount, 2), interest = round(interest, 2) WHERE id = NEW.id; END;

CREATE TRIGGER tr_payment_round_insert AFTER INSERT ON payment
WHEN NEW.money IS NOT round(NEW.money, 2) OR NEW.interest IS NOT round(NEW.interest, 2)
BEGIN UPDATE payment SET money = round(money, 2), interest = round(interest, 2) WHERE id = NEW.id; END;
CREATE TRIGGER tr_payment_round_update AFTER UPDATE OF money, interest ON payment
WHEN NEW.money IS NOT round(NEW.money, 2) OR NEW.interest IS NOT round(NEW.interest, 2)
BEGIN UPDATE payment SET money = round(money, 2), interest = round(interest, 2) WHERE id = NEW.id; END;

CREATE TRIGGER tr_info_round_insert AFTER INSERT ON info
WHEN NEW.income IS NOT round(NEW.income, 2) OR NEW.pay IS NOT round(NEW.pay, 2)
BEGIN UPDATE info SET income = round(income, 2), pay = round(pay, 2) WHERE id = NEW.id; END;
CREATE TRIGGER tr_info_round_update AFTER UPDATE OF income, pay ON info
WHEN NEW.income IS NOT round(NEW.income, 2) OR NEW.pay IS NOT round(NEW.pay, 2)
BEGIN UPDATE info SET income = round(income, 2), pay = round(pay, 2) WHERE id = NEW.id; END;

-- Seed rows ------------------------------------------------------------------

-- The rights the program tests, in the order the permission editor lists them.
INSERT INTO power (name) VALUES ('权限编辑');
INSERT INTO power (name) VALUES ('资产类别编辑');
INSERT INTO power (name) VALUES ('员工编辑');
INSERT INTO power (name) VALUES ('供应商类别编辑');
INSERT INTO power (name) VALUES ('客户类别编辑');
INSERT INTO power (name) VALUES ('发票审核');
INSERT INTO power (name) VALUES ('发票录入');
INSERT INTO power (name) VALUES ('应付审核');
INSERT INTO power (name) VALUES ('应付录入');
INSERT INTO power (name) VALUES ('应收审核');
INSERT INTO power (name) VALUES ('应收录入');
INSERT INTO power (name) VALUES ('应收导入');
INSERT INTO power (name) VALUES ('资金录入');

-- The account forms pick their kind by position: trade, tender deposits,
-- performance bonds, current accounts.
INSERT INTO inout_category (name) VALUES ('货款');
INSERT INTO inout_category (name) VALUES ('投标保证金');
INSERT INTO inout_category (name) VALUES ('履约保证金');
INSERT INTO inout_category (name) VALUES ('公司往来');

-- Tracking reports --------------------------------------------------------------
-- The tracking reports gather, per partner, its open periods of one kind up
-- to a day, and per customer its last receipt, found from the end of its
-- dates: the periods and the cash entries are read from these indexes alone,
-- without a visit to each row.
CREATE INDEX ix_receivable_company_inout_category_date_end_money_info_id_date_begin ON receivable (company, inout_category, date_end, money, info_id, date_begin);
CREATE INDEX ix_payment_company_inout_category_date_end_money_info_id ON payment (company, inout_category, date_end, money, info_id);
CREATE INDEX ix_info_company_date_income ON info (company, date, income);
