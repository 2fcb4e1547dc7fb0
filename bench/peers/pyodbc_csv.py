"""What a Python user would write instead of vodbc: fetch the whole result
with pyodbc and write it as CSV. Prints the number of rows.

    python3 pyodbc_csv.py CONNECTION SQL OUT.csv
"""
import csv
import sys

import pyodbc


def main():
    connection, sql, out = sys.argv[1:4]
    with pyodbc.connect(connection, autocommit=True) as db:
        # Every driver here hands out UTF-8 as SQL_C_CHAR (the ANSI
        # PostgreSQL driver has no wide characters to offer).
        db.setdecoding(pyodbc.SQL_CHAR, encoding="utf-8")
        db.setdecoding(pyodbc.SQL_WCHAR, encoding="utf-8")
        db.setencoding(encoding="utf-8")
        rows = db.cursor().execute(sql).fetchall()
    with open(out, "w", newline="") as f:
        csv.writer(f).writerows(rows)
    print(len(rows))


main()
