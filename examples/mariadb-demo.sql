-- The demo tables on MariaDB or MySQL: the same tables, columns and sample rows as the built-in
-- SQLite alias Demo, so the example scenarios run on a server too. Money columns are
-- DECIMAL(19,4), which Rowsmith takes for money. The references cascade on delete: emptying a
-- table (as "Emty table and fill" does, customers before orders) empties the rows that refer to
-- it, which the scenario fills again afterwards. Load it into an empty database:
--
--   mariadb -e "CREATE DATABASE rowsmith_demo"
--   mariadb rowsmith_demo < examples/mariadb-demo.sql
--
-- and point an alias at that database (docs/aliases.md).

CREATE TABLE employees (
    EmpNo integer AUTO_INCREMENT PRIMARY KEY,
    LastName varchar(20) NOT NULL,
    FirstName varchar(15),
    PhoneExt varchar(4),
    HireDate date,
    StartTime time,
    Salary decimal(19,4),
    Notes text,
    Email varchar(50)
) ENGINE=InnoDB;

CREATE TABLE parts (
    PartNo integer AUTO_INCREMENT PRIMARY KEY,
    Description varchar(40) NOT NULL,
    OnHand smallint DEFAULT 0,
    Cost real,
    ListPrice decimal(19,4),
    Weight double
) ENGINE=InnoDB;

CREATE TABLE customers (
    CustNo integer AUTO_INCREMENT PRIMARY KEY,
    Company varchar(40) NOT NULL,
    Contact varchar(30),
    City varchar(30),
    Country varchar(60),
    Phone varchar(15),
    CreditLimit decimal(19,4),
    Since date,
    Active boolean DEFAULT true,
    FirstName varchar(15),
    LastName varchar(20),
    Email varchar(50)
) ENGINE=InnoDB;

CREATE TABLE orders (
    OrderNo integer AUTO_INCREMENT PRIMARY KEY,
    CustNo integer NOT NULL,
    EmpNo integer,
    SaleDate date,
    ShipDate datetime,
    ShipVia varchar(7),
    AmountPaid decimal(19,4),
    Paid boolean DEFAULT false,
    OrderRef varchar(12),
    FOREIGN KEY (CustNo) REFERENCES customers (CustNo) ON DELETE CASCADE,
    FOREIGN KEY (EmpNo) REFERENCES employees (EmpNo) ON DELETE CASCADE
) ENGINE=InnoDB;

CREATE TABLE items (
    ItemNo integer AUTO_INCREMENT PRIMARY KEY,
    OrderNo integer NOT NULL,
    PartNo integer NOT NULL,
    Qty smallint NOT NULL,
    Discount decimal(5,2) DEFAULT 0,
    FOREIGN KEY (OrderNo) REFERENCES orders (OrderNo) ON DELETE CASCADE,
    FOREIGN KEY (PartNo) REFERENCES parts (PartNo) ON DELETE CASCADE
) ENGINE=InnoDB;

START TRANSACTION;

INSERT INTO employees VALUES
    (1, 'Okafor', 'Amara', '250', '2019-04-01', '08:00:00', 4250.00, 'Sales lead',
     'amara.okafor@example.com'),
    (2, 'Lindgren', 'Tove', '233', '2020-09-15', '09:00:00', 3900.50, NULL,
     'tove.lindgren@mail.example.org'),
    (3, 'Tanaka', 'Ren', '22', '2021-02-01', '08:30:00', 3100.00, 'Part time',
     'ren.tanaka@example.net'),
    (4, 'Moreau', 'Élise', '410', '2022-06-20', '10:00:00', 3350.75, NULL,
     'elise.moreau@staff.example.net');

INSERT INTO parts VALUES
    (1, 'Bicycle pump', 12, 210.5, 399.00, 0.35),
    (2, 'Brake cable', 8, 180.0, 329.95, 1.2),
    (3, 'Rain jacket M', 25, 65.25, 149.00, 2.8),
    (4, 'Bell', 40, 22.4, 59.90, 1.1),
    (5, 'Mudguard', 55, 9.75, 24.50, 0.25);

INSERT INTO customers VALUES
    (1, 'Harbourlight Cycles', 'Inês Carvalho', 'Porto', 'Portugal', '351-555-0141', 5000.00,
     '2018-03-12', true, 'Inês', 'Carvalho', 'ines.carvalho@example.net'),
    (2, 'Quillfeather Books', 'Jonas Brandt', 'Leipzig', 'Germany', '49-555-0172', 2500.00,
     '2019-07-01', true, 'Jonas', 'Brandt', 'jonas.brandt@shop.example.com'),
    (3, 'Tern & Tide Outfitters', 'Maeve Doyle', 'Galway', 'Ireland', '353-555-0119', 1500.00,
     '2020-11-23', false, 'Maeve', 'Doyle', 'maeve.doyle@example.org'),
    (4, 'Copperleaf Studio', 'Kwame Mensah', 'Kumasi', 'Ghana', '233-555-0188', 7500.00,
     '2021-05-30', true, 'Kwame', 'Mensah', 'kwame.mensah@mail.example.com');

INSERT INTO orders VALUES
    (1, 1, 1, '2024-01-08', '2024-01-10 14:30:00', 'UPS', 448.90, true, 'ORD-2401-HC'),
    (2, 2, 2, '2024-01-19', '2024-01-22 09:15:00', 'FedEx', 329.95, true, 'ORD-2402-QB'),
    (3, 1, 4, '2024-02-02', NULL, 'DHL', 0.00, false, 'ORD-2403-HC'),
    (4, 4, 3, '2024-02-14', '2024-02-15 16:45:00', 'UPS', 173.50, false, 'ORD-2404-CS');

INSERT INTO items VALUES
    (1, 1, 1, 1, 0),
    (2, 1, 4, 1, 10),
    (3, 2, 2, 1, 0),
    (4, 3, 3, 2, 5),
    (5, 4, 5, 3, 0),
    (6, 4, 4, 2, 12.5);

COMMIT;
