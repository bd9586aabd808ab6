-- A small web shop on SQLite, empty, for drafting a scenario from a schema of related tables:
-- categories and suppliers of products, customers with their addresses, employees with their
-- managers, warehouses holding stock, orders with their items, payments, shipments, reviews and
-- coupons. The references cascade on delete, so "Emty table and fill" of a parent empties the
-- records that refer to it, which the scenario fills again after it. Create a database from it:
--
--   sqlite3 shop.sqlite < examples/shop.sql
--
-- and point an alias at that file (docs/aliases.md). The same tables stand in
-- examples/postgres-shop.sql and examples/mariadb-shop.sql.

PRAGMA foreign_keys = ON;

BEGIN;

CREATE TABLE categories (
    id INTEGER PRIMARY KEY,
    name VARCHAR(40) NOT NULL UNIQUE,
    description TEXT
);

CREATE TABLE suppliers (
    id INTEGER PRIMARY KEY,
    company_name VARCHAR(60) NOT NULL UNIQUE,
    contact_name VARCHAR(50),
    email VARCHAR(100) NOT NULL UNIQUE,
    phone VARCHAR(20),
    country VARCHAR(60) NOT NULL
);

CREATE TABLE products (
    id INTEGER PRIMARY KEY,
    sku VARCHAR(12) NOT NULL UNIQUE,
    name VARCHAR(60) NOT NULL,
    category_id INTEGER NOT NULL REFERENCES categories (id) ON DELETE CASCADE,
    supplier_id INTEGER REFERENCES suppliers (id) ON DELETE CASCADE,
    colour VARCHAR(20),
    unit_price DECIMAL(10,2) NOT NULL CHECK (unit_price > 0),
    weight_kg REAL CHECK (weight_kg >= 0),
    discontinued BOOLEAN NOT NULL DEFAULT 0,
    description TEXT,
    created_at DATETIME NOT NULL
);

CREATE TABLE customers (
    id INTEGER PRIMARY KEY,
    first_name VARCHAR(30) NOT NULL,
    last_name VARCHAR(40) NOT NULL,
    email VARCHAR(100) NOT NULL UNIQUE,
    phone VARCHAR(20),
    birth_date DATE,
    loyalty_points INTEGER NOT NULL DEFAULT 0 CHECK (loyalty_points >= 0),
    created_at DATETIME NOT NULL
);

CREATE TABLE addresses (
    id INTEGER PRIMARY KEY,
    customer_id INTEGER NOT NULL REFERENCES customers (id) ON DELETE CASCADE,
    street VARCHAR(80) NOT NULL,
    city VARCHAR(50) NOT NULL,
    postal_code VARCHAR(10) NOT NULL,
    country_code CHAR(2) NOT NULL
);

CREATE TABLE employees (
    id INTEGER PRIMARY KEY,
    first_name VARCHAR(30) NOT NULL,
    last_name VARCHAR(40) NOT NULL,
    email VARCHAR(100) NOT NULL UNIQUE,
    job_title VARCHAR(60),
    department VARCHAR(40),
    manager_id INTEGER REFERENCES employees (id) ON DELETE SET NULL,
    hire_date DATE NOT NULL,
    salary DECIMAL(10,2) NOT NULL CHECK (salary > 0)
);

CREATE TABLE warehouses (
    id INTEGER PRIMARY KEY,
    code VARCHAR(8) NOT NULL UNIQUE,
    city VARCHAR(50) NOT NULL,
    country VARCHAR(60) NOT NULL
);

CREATE TABLE stock (
    id INTEGER PRIMARY KEY,
    warehouse_id INTEGER NOT NULL REFERENCES warehouses (id) ON DELETE CASCADE,
    product_id INTEGER NOT NULL REFERENCES products (id) ON DELETE CASCADE,
    quantity INTEGER NOT NULL CHECK (quantity >= 0),
    updated_at DATETIME
);

CREATE TABLE coupons (
    id INTEGER PRIMARY KEY,
    code VARCHAR(12) NOT NULL UNIQUE,
    discount_percent INTEGER NOT NULL CHECK (discount_percent BETWEEN 1 AND 90),
    valid_from DATE NOT NULL,
    valid_until DATE NOT NULL,
    CHECK (valid_until > valid_from)
);

CREATE TABLE orders (
    id INTEGER PRIMARY KEY,
    customer_id INTEGER NOT NULL REFERENCES customers (id) ON DELETE CASCADE,
    employee_id INTEGER REFERENCES employees (id) ON DELETE SET NULL,
    coupon_id INTEGER REFERENCES coupons (id) ON DELETE SET NULL,
    ordered_at DATETIME NOT NULL,
    total_amount DECIMAL(12,2) NOT NULL CHECK (total_amount >= 0),
    notes TEXT
);

CREATE TABLE order_items (
    id INTEGER PRIMARY KEY,
    order_id INTEGER NOT NULL REFERENCES orders (id) ON DELETE CASCADE,
    product_id INTEGER NOT NULL REFERENCES products (id) ON DELETE CASCADE,
    quantity INTEGER NOT NULL CHECK (quantity >= 1),
    unit_price DECIMAL(10,2) NOT NULL CHECK (unit_price > 0)
);

CREATE TABLE payments (
    id INTEGER PRIMARY KEY,
    order_id INTEGER NOT NULL REFERENCES orders (id) ON DELETE CASCADE,
    amount DECIMAL(12,2) NOT NULL CHECK (amount > 0),
    paid_at DATETIME NOT NULL,
    reference VARCHAR(20) NOT NULL UNIQUE
);

CREATE TABLE shipments (
    id INTEGER PRIMARY KEY,
    order_id INTEGER NOT NULL REFERENCES orders (id) ON DELETE CASCADE,
    address_id INTEGER NOT NULL REFERENCES addresses (id) ON DELETE CASCADE,
    tracking_code VARCHAR(20) UNIQUE,
    shipped_at DATETIME,
    weight_kg REAL CHECK (weight_kg >= 0)
);

CREATE TABLE reviews (
    id INTEGER PRIMARY KEY,
    product_id INTEGER NOT NULL REFERENCES products (id) ON DELETE CASCADE,
    customer_id INTEGER NOT NULL REFERENCES customers (id) ON DELETE CASCADE,
    rating SMALLINT NOT NULL CHECK (rating BETWEEN 1 AND 5),
    comment TEXT,
    created_at DATETIME NOT NULL
);

COMMIT;
