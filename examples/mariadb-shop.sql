-- The shop tables of examples/shop.sql on MariaDB or MySQL: the same tables, columns, keys and
-- checks, empty, for drafting a scenario from a schema of related tables. Keys are AUTO_INCREMENT
-- columns, which the database numbers itself. Load it into an empty database:
--
--   mariadb -e "CREATE DATABASE rowsmith_shop"
--   mariadb rowsmith_shop < examples/mariadb-shop.sql
--
-- and point an alias at that database (docs/aliases.md).

CREATE TABLE categories (
    id integer AUTO_INCREMENT PRIMARY KEY,
    name VARCHAR(40) NOT NULL UNIQUE,
    description TEXT
) ENGINE=InnoDB;

CREATE TABLE suppliers (
    id integer AUTO_INCREMENT PRIMARY KEY,
    company_name VARCHAR(60) NOT NULL UNIQUE,
    contact_name VARCHAR(50),
    email VARCHAR(100) NOT NULL UNIQUE,
    phone VARCHAR(20),
    country VARCHAR(60) NOT NULL
) ENGINE=InnoDB;

CREATE TABLE products (
    id integer AUTO_INCREMENT PRIMARY KEY,
    sku VARCHAR(12) NOT NULL UNIQUE,
    name VARCHAR(60) NOT NULL,
    category_id INTEGER NOT NULL,
    supplier_id INTEGER,
    colour VARCHAR(20),
    unit_price DECIMAL(10,2) NOT NULL CHECK (unit_price > 0),
    weight_kg double CHECK (weight_kg >= 0),
    discontinued BOOLEAN NOT NULL DEFAULT false,
    description TEXT,
    created_at DATETIME NOT NULL,
    FOREIGN KEY (category_id) REFERENCES categories (id) ON DELETE CASCADE,
    FOREIGN KEY (supplier_id) REFERENCES suppliers (id) ON DELETE CASCADE
) ENGINE=InnoDB;

CREATE TABLE customers (
    id integer AUTO_INCREMENT PRIMARY KEY,
    first_name VARCHAR(30) NOT NULL,
    last_name VARCHAR(40) NOT NULL,
    email VARCHAR(100) NOT NULL UNIQUE,
    phone VARCHAR(20),
    birth_date DATE,
    loyalty_points INTEGER NOT NULL DEFAULT 0 CHECK (loyalty_points >= 0),
    created_at DATETIME NOT NULL
) ENGINE=InnoDB;

CREATE TABLE addresses (
    id integer AUTO_INCREMENT PRIMARY KEY,
    customer_id INTEGER NOT NULL,
    street VARCHAR(80) NOT NULL,
    city VARCHAR(50) NOT NULL,
    postal_code VARCHAR(10) NOT NULL,
    country_code CHAR(2) NOT NULL,
    FOREIGN KEY (customer_id) REFERENCES customers (id) ON DELETE CASCADE
) ENGINE=InnoDB;

CREATE TABLE employees (
    id integer AUTO_INCREMENT PRIMARY KEY,
    first_name VARCHAR(30) NOT NULL,
    last_name VARCHAR(40) NOT NULL,
    email VARCHAR(100) NOT NULL UNIQUE,
    job_title VARCHAR(60),
    department VARCHAR(40),
    manager_id INTEGER,
    hire_date DATE NOT NULL,
    salary DECIMAL(10,2) NOT NULL CHECK (salary > 0),
    FOREIGN KEY (manager_id) REFERENCES employees (id) ON DELETE SET NULL
) ENGINE=InnoDB;

CREATE TABLE warehouses (
    id integer AUTO_INCREMENT PRIMARY KEY,
    code VARCHAR(8) NOT NULL UNIQUE,
    city VARCHAR(50) NOT NULL,
    country VARCHAR(60) NOT NULL
) ENGINE=InnoDB;

CREATE TABLE stock (
    id integer AUTO_INCREMENT PRIMARY KEY,
    warehouse_id INTEGER NOT NULL,
    product_id INTEGER NOT NULL,
    quantity INTEGER NOT NULL CHECK (quantity >= 0),
    updated_at DATETIME,
    FOREIGN KEY (warehouse_id) REFERENCES warehouses (id) ON DELETE CASCADE,
    FOREIGN KEY (product_id) REFERENCES products (id) ON DELETE CASCADE
) ENGINE=InnoDB;

CREATE TABLE coupons (
    id integer AUTO_INCREMENT PRIMARY KEY,
    code VARCHAR(12) NOT NULL UNIQUE,
    discount_percent INTEGER NOT NULL CHECK (discount_percent BETWEEN 1 AND 90),
    valid_from DATE NOT NULL,
    valid_until DATE NOT NULL,
    CHECK (valid_until > valid_from)
) ENGINE=InnoDB;

CREATE TABLE orders (
    id integer AUTO_INCREMENT PRIMARY KEY,
    customer_id INTEGER NOT NULL,
    employee_id INTEGER,
    coupon_id INTEGER,
    ordered_at DATETIME NOT NULL,
    total_amount DECIMAL(12,2) NOT NULL CHECK (total_amount >= 0),
    notes TEXT,
    FOREIGN KEY (customer_id) REFERENCES customers (id) ON DELETE CASCADE,
    FOREIGN KEY (employee_id) REFERENCES employees (id) ON DELETE SET NULL,
    FOREIGN KEY (coupon_id) REFERENCES coupons (id) ON DELETE SET NULL
) ENGINE=InnoDB;

CREATE TABLE order_items (
    id integer AUTO_INCREMENT PRIMARY KEY,
    order_id INTEGER NOT NULL,
    product_id INTEGER NOT NULL,
    quantity INTEGER NOT NULL CHECK (quantity >= 1),
    unit_price DECIMAL(10,2) NOT NULL CHECK (unit_price > 0),
    FOREIGN KEY (order_id) REFERENCES orders (id) ON DELETE CASCADE,
    FOREIGN KEY (product_id) REFERENCES products (id) ON DELETE CASCADE
) ENGINE=InnoDB;

CREATE TABLE payments (
    id integer AUTO_INCREMENT PRIMARY KEY,
    order_id INTEGER NOT NULL,
    amount DECIMAL(12,2) NOT NULL CHECK (amount > 0),
    paid_at DATETIME NOT NULL,
    reference VARCHAR(20) NOT NULL UNIQUE,
    FOREIGN KEY (order_id) REFERENCES orders (id) ON DELETE CASCADE
) ENGINE=InnoDB;

CREATE TABLE shipments (
    id integer AUTO_INCREMENT PRIMARY KEY,
    order_id INTEGER NOT NULL,
    address_id INTEGER NOT NULL,
    tracking_code VARCHAR(20) UNIQUE,
    shipped_at DATETIME,
    weight_kg double CHECK (weight_kg >= 0),
    FOREIGN KEY (order_id) REFERENCES orders (id) ON DELETE CASCADE,
    FOREIGN KEY (address_id) REFERENCES addresses (id) ON DELETE CASCADE
) ENGINE=InnoDB;

CREATE TABLE reviews (
    id integer AUTO_INCREMENT PRIMARY KEY,
    product_id INTEGER NOT NULL,
    customer_id INTEGER NOT NULL,
    rating SMALLINT NOT NULL CHECK (rating BETWEEN 1 AND 5),
    comment TEXT,
    created_at DATETIME NOT NULL,
    FOREIGN KEY (product_id) REFERENCES products (id) ON DELETE CASCADE,
    FOREIGN KEY (customer_id) REFERENCES customers (id) ON DELETE CASCADE
) ENGINE=InnoDB;
